#include <cstdio>

#include "app/tool.h"

namespace quorrel {

int tool_run(const Args&) {
    std::fputs("quorrel-tool run: not available in this build\n", stderr);
    return 2;
}

}  // namespace quorrel
