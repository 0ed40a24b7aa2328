#include <cstdio>

#include "app/tool.h"

namespace quorrel {

int tool_pack(const Args&) {
    std::fputs("quorrel-tool pack: not available in this build\n", stderr);
    return 2;
}

}  // namespace quorrel
