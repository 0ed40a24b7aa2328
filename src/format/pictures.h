// Pictures of an experiment, decoded from memory.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

#include "model/ball_picture.h"
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

}  // namespace quorrel
