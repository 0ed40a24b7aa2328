#include "demos/demos.h"

namespace quorrel {

std::span<const DemoInfo> basic_demos() { return {}; }

}  // namespace quorrel
