#include <cstdio>

#include "app/tool.h"

namespace quorrel {

int tool_render(const Args&) {
    std::fputs("quorrel-tool render: not available in this build\n", stderr);
    return 2;
}

}  // namespace quorrel
