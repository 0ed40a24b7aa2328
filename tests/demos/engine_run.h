// The demo tests' engine run (tests/support/engine_run.h) and what they
// measure on it.
#pragma once

#include "model/vec.h"
#include "support/engine_run.h"

namespace quorrel::test {

// The distance between the centres of two objects.
inline double object_distance(const MovingObject& a, const MovingObject& b) {
    return length(a.x - b.x, a.y - b.y);
}

}  // namespace quorrel::test
