// The Quorrel logo, painted with QtGui only so the headless tool can write
// the desktop icons from the same drawing the About box shows.
#pragma once

#include <QImage>

namespace quorrel {

// A ball on a slope with its velocity arrow, size x size pixels.
QImage logo_image(int size);

}  // namespace quorrel
