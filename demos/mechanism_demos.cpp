#include "demos/demos.h"

namespace quorrel {

std::span<const DemoInfo> mechanism_demos() { return {}; }

}  // namespace quorrel
