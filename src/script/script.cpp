#include "script/script.h"

namespace quorrel {

std::unique_ptr<Script> make_script(Platform* platform, ProgramHost* host) {
    auto s = std::make_unique<Script>();
    s->platform = platform;
    s->host = host;
    return s;
}

}  // namespace quorrel
