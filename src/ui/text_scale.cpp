#include "ui/text_scale.h"

#include <QApplication>
#include <cmath>

namespace quorrel {
namespace {

double current_scale = 1.0;

const QFont& platform_font() {
    static const QFont font = QApplication::font();
    return font;
}

}  // namespace

QFont scaled_font(QFont base, double scale) {
    if (base.pixelSize() > 0)
        base.setPixelSize(static_cast<int>(std::lround(base.pixelSize() * scale)));
    else
        base.setPointSizeF(base.pointSizeF() * scale);
    return base;
}

void set_text_scale(double scale) {
    if (!(scale >= 1.0)) scale = 1.0;
    const QFont& base = platform_font();  // captured before the first change
    if (scale == current_scale) return;
    current_scale = scale;
    QApplication::setFont(scale == 1.0 ? base : scaled_font(base, scale));
}

double text_scale() {
    return current_scale;
}

QFont unscaled_font() {
    return platform_font();
}

QSize scaled_size(int width, int height) {
    return QSize(static_cast<int>(std::lround(width * current_scale)),
                 static_cast<int>(std::lround(height * current_scale)));
}

QRect scaled_rect(int x, int y, int width, int height) {
    const QSize corner = scaled_size(x, y);
    return QRect(QPoint(corner.width(), corner.height()), scaled_size(width, height));
}

}  // namespace quorrel
