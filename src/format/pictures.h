// Pictures of an experiment, decoded from memory.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

#include "model/model.h"

namespace quorrel {

// A Windows bitmap file, read with Qt's image reader; a null image when it does
// not decode or claims more than 4 Mi pixels (8192 on a side).
QImage decode_bmp(std::string_view bytes);
// A JPEG file, decoded with libjpeg from memory; a null image when it does not decode.
QImage decode_jpeg(std::string_view bytes);
// The bytes of a Windows bitmap file holding `image`.
std::string encode_bmp(const QImage& image);
// The bytes of a JPEG file holding `image` (for a background that has no
// stored JPEG bytes); empty when it cannot be encoded.
std::string encode_jpeg(const QImage& image);

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
