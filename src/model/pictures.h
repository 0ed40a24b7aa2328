// Pictures of an experiment, decoded from memory.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

#include "model/model.h"

namespace quorrel {

// A Windows bitmap file; a null image when it does not decode.
QImage decode_bmp(std::string_view bytes);
// A JPEG file, decoded with libjpeg from memory; a null image when it does not decode.
QImage decode_jpeg(std::string_view bytes);
// The bytes of a Windows bitmap file holding `image`.
std::string encode_bmp(const QImage& image);

// The generated shaded-ball picture of an object without a picture of its own.
QImage make_ball_picture(const Model& m, int slot);

}  // namespace quorrel
