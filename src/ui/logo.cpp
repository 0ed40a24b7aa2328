#include "ui/logo.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace quorrel {

QImage logo_image(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(235, 240, 250));
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    const double s = size / 48.0;
    g.scale(s, s);
    // Slope.
    QPainterPath slope;
    slope.moveTo(4, 42);
    slope.lineTo(44, 42);
    slope.lineTo(4, 18);
    slope.closeSubpath();
    g.setPen(QPen(QColor(90, 70, 40), 1));
    g.setBrush(QColor(200, 170, 110));
    g.drawPath(slope);
    // Ball resting on the slope, shaded.
    QRadialGradient shade(QPointF(17, 17), 8);
    shade.setColorAt(0, QColor(255, 200, 200));
    shade.setColorAt(1, QColor(190, 30, 30));
    g.setPen(Qt::NoPen);
    g.setBrush(shade);
    g.drawEllipse(QPointF(19, 20), 6.5, 6.5);
    // Velocity arrow down the slope.
    g.setPen(QPen(QColor(20, 120, 40), 2));
    const QPointF a(27, 25), b(40, 33);
    g.drawLine(a, b);
    const double ang = std::atan2(b.y() - a.y(), b.x() - a.x());
    for (double d : {2.6, -2.6}) g.drawLine(b, b - QPointF(5 * std::cos(ang + d / 6), 5 * std::sin(ang + d / 6)));
    g.end();
    return img;
}

}  // namespace quorrel
