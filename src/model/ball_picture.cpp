#include "model/ball_picture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quorrel {

namespace {
// The text key marking a generated picture; BMP files carry no texts, so a
// picture read from a file never has it.
const QString GENERATED_KEY = QStringLiteral("quorrel-generated");
}  // namespace

bool is_generated_picture(const QImage& picture) {
    return !picture.isNull() && !picture.text(GENERATED_KEY).isEmpty();
}

int ball_half_size(const Model& m, int slot) {
    const double r = m.objects[slot].radius / m.settings.scale + 1.0;
    // A zero scale, NaN or a huge radius must not ask for an enormous picture.
    if (!(r >= 3.0)) return 3;
    return static_cast<int>(std::min(r, static_cast<double>(MAX_BALL_HALF_SIZE)));
}

QImage make_ball_picture(const Model& m, int slot) {
    const int b = ball_half_size(m, slot);
    QImage image(2 * b, 2 * b, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(QColor(0x0A, 0x0A, 0x0A));
        p.setPen(QColor(0x64, 0x64, 0x64));
        // The circle fills the picture: pixels 0 to 2b - 1 on each axis.
        p.drawEllipse(QRect(0, 0, 2 * b - 1, 2 * b - 1));
    }
    const MovingObject& o = m.objects[slot];
    const int e = b + b / 5;
    const int base[3] = {o.ball_r, o.ball_g, o.ball_b};
    const int falloff[3] = {o.ball_r / e, o.ball_g / e, o.ball_b / e};
    const int h = b - b / 5;  // the highlight point (h, h)
    for (int j = 0; j < 2 * b; ++j) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = 0; i < 2 * b; ++i) {
            if ((row[i] & 0xFFFFFF) == 0) continue;
            const double l = std::sqrt(static_cast<double>((i - h) * (i - h) + (j - h) * (j - h)));
            int c[3];
            for (int k = 0; k < 3; ++k) {
                // Computed in reals so that no colour word can overflow.
                double v = std::trunc(static_cast<double>(base[k]) - static_cast<double>(falloff[k]) * l);
                if (v < 1.0) v = 0.0;
                c[k] = static_cast<int>(std::min(v + 48.0, 255.0));
            }
            row[i] = qRgb(c[0], c[1], c[2]);
        }
    }
    image.setText(GENERATED_KEY, QStringLiteral("ball"));
    return image;
}

}  // namespace quorrel
