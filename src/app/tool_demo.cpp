#include <cstdio>

#include "app/tool.h"

namespace quorrel {

int tool_demo(const Args&) {
    std::fputs("quorrel-tool demo: not available in this build\n", stderr);
    return 2;
}

}  // namespace quorrel
