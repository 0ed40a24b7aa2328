#include <cstdio>

#include "app/tool.h"

namespace quorrel {

int tool_dump(const Args&) {
    std::fputs("quorrel-tool dump: not available in this build\n", stderr);
    return 2;
}

}  // namespace quorrel
