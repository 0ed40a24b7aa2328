#include <cstdio>

#include "app/tool.h"

namespace quorrel {

int tool_eval(const Args&) {
    std::fputs("quorrel-tool eval: not available in this build\n", stderr);
    return 2;
}

}  // namespace quorrel
