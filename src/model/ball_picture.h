// The shaded ball drawn for an object that has no picture of its own.
#pragma once

#include <QImage>

#include "model/model.h"

namespace quorrel {

// The generated shaded-ball picture of an object without a picture of its own:
// 2b x 2b pixels with b = trunc(radius / scale + 1), at least 3 and at most
// MAX_BALL_HALF_SIZE (a guard against a zero scale or a runaway radius).
// The picture carries a mark (is_generated_picture) so that drawing can tell
// it from a picture of the object's own.
QImage make_ball_picture(const Model& m, int slot);
bool is_generated_picture(const QImage& picture);
inline constexpr int MAX_BALL_HALF_SIZE = 512;
int ball_half_size(const Model& m, int slot);

}  // namespace quorrel
