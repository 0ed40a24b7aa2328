// The canvas's raster backend: design pixels are picture pixels. Thin lines
// are rastered here with a midpoint rule, boxes and pixels written directly,
// wide lines, ellipses, arcs and text drawn by QPainter without smoothing
// (text alone is smoothed); see canvas.h for the pixel rules.
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/mapping.h"
#include "render/canvas_detail.h"

namespace quorrel::canvas_detail {
namespace {

// Brings the painter's pen up to the canvas state (for figures QPainter draws).
void sync_pen(Canvas& c) {
    if (!c.pen_dirty) return;
    QPen pen(QColor::fromRgb(to_rgb(c.pen_colour)));
    pen.setWidth(std::max(1, c.pen_width));
    pen.setCapStyle(c.pen_width > 1 ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (c.pen_style == PenStyle::Dot) pen.setStyle(Qt::DotLine);
    c.painter.setPen(pen);
    c.pen_dirty = false;
}

// Writes one pixel by the pen mode; the caller has checked the bounds.
inline void plot(std::uint32_t* row, int x, std::uint32_t rgb, PenMode mode) {
    if (mode == PenMode::Xor)
        row[x] ^= (rgb & 0x00FFFFFFu);
    else
        row[x] = rgb;
}

// Midpoint raster of a one-pixel line from (x0, y0) to (x1, y1), the end
// pixel excluded; only the part inside the picture is walked.
void thin_line(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1) {
    if (far_out(x0) || far_out(y0) || far_out(x1) || far_out(y1)) {
        if (!clip_far(x0, y0, x1, y1)) return;
    }
    const i64 dx = x1 - x0, dy = y1 - y0;
    const i64 adx = std::llabs(dx), ady = std::llabs(dy);
    const i64 n = std::max(adx, ady);
    if (n == 0) return;
    QImage& im = *c.image;
    const bool x_major = adx >= ady;
    const i64 a0 = x_major ? x0 : y0, b0 = x_major ? y0 : x0;
    const i64 sa = (x_major ? dx : dy) < 0 ? -1 : 1;
    const i64 sb = (x_major ? dy : dx) < 0 ? -1 : 1;
    const i64 amaj = x_major ? adx : ady, amin = x_major ? ady : adx;
    const i64 major_size = x_major ? im.width() : im.height();
    const i64 minor_size = x_major ? im.height() : im.width();

    // Steps whose major coordinate lies in the picture.
    i64 lo = sa > 0 ? -a0 : a0 - (major_size - 1);
    i64 hi = sa > 0 ? major_size - 1 - a0 : a0;
    lo = std::max<i64>(lo, 0);
    hi = std::min<i64>(hi, n - 1);
    // Steps whose minor coordinate can lie in the picture (widened by a step
    // each side; every pixel is checked again below).
    if (amin == 0) {
        if (b0 < 0 || b0 >= minor_size) return;
    } else {
        const i64 kmin = sb > 0 ? -b0 : b0 - (minor_size - 1);
        const i64 kmax = sb > 0 ? minor_size - 1 - b0 : b0;
        if (kmax < 0 || kmin > amin) return;
        lo = std::max<i64>(lo, ((2 * kmin - 1) * amaj) / (2 * amin) - 1);
        hi = std::min<i64>(hi, ((2 * kmax + 1) * amaj) / (2 * amin) + 1);
    }
    if (lo > hi) return;

    const std::uint32_t rgb = to_rgb(c.pen_colour);
    const bool dotted = c.pen_style == PenStyle::Dot;
    uchar* bits = im.bits();
    const qsizetype bpl = im.bytesPerLine();
    for (i64 i = lo; i <= hi; ++i) {
        if (dotted && i % DOT_PERIOD >= DOT_ON) continue;
        const i64 k = (2 * i * amin + amaj) / (2 * amaj);
        const i64 a = a0 + sa * i, b = b0 + sb * k;
        const i64 px = x_major ? a : b, py = x_major ? b : a;
        if (px < 0 || py < 0 || px >= im.width() || py >= im.height()) continue;
        plot(reinterpret_cast<std::uint32_t*>(bits + py * bpl), static_cast<int>(px), rgb, c.pen_mode);
    }
}

void wide_line(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1) {
    if (far_out(x0) || far_out(y0) || far_out(x1) || far_out(y1)) {
        if (!clip_far(x0, y0, x1, y1)) return;
    }
    if (!painting(c)) return;
    sync_pen(c);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawLine(QPointF(static_cast<double>(x0), static_cast<double>(y0)),
                       QPointF(static_cast<double>(x1), static_cast<double>(y1)));
}

// A horizontal run of pixels [x0, x1) on row y in the pen mode.
void span(Canvas& c, int x0, int x1, int y, std::uint32_t rgb, PenMode mode) {
    QImage& im = *c.image;
    if (y < 0 || y >= im.height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, im.width());
    auto* row = reinterpret_cast<std::uint32_t*>(im.scanLine(y));
    for (int x = x0; x < x1; ++x) plot(row, x, rgb, mode);
}

QRect clamp_box(int left, int top, int right, int bottom) {
    // Boxes far outside the picture are cut so QRect arithmetic cannot overflow.
    auto cl = [](int v) { return std::clamp(v, -(1 << 22), 1 << 22); };
    return QRect(QPoint(cl(left), cl(top)), QPoint(cl(right) - 1, cl(bottom) - 1));
}

void raster_line(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1) {
    if (c.pen_width <= 1)
        thin_line(c, x0, y0, x1, y1);
    else
        wide_line(c, x0, y0, x1, y1);
}

// At 1:1 a continuous position lies in the pixel its coordinates cut toward zero name.
void raster_line_f(Canvas& c, double x0, double y0, double x1, double y1) {
    line(c, trunc_px(x0), trunc_px(y0), trunc_px(x1), trunc_px(y1));
}

void raster_polyline(Canvas& c, const QPoint* points, int n) {
    if (c.pen_width <= 1) {
        for (int i = 1; i < n; ++i) thin_line(c, points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
        return;
    }
    if (!painting(c)) return;
    sync_pen(c);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawPolyline(points, n);
}

void raster_fill_rect(Canvas& c, int left, int top, int right, int bottom) {
    const std::uint32_t rgb = to_rgb(c.brush_colour);
    const int y0 = std::max(top, 0), y1 = std::min(bottom, c.image->height());
    for (int y = y0; y < y1; ++y) span(c, left, right, y, rgb, c.pen_mode);
}

void raster_rectangle(Canvas& c, int left, int top, int right, int bottom) {
    if (!c.brush_clear) raster_fill_rect(c, left, top, right, bottom);
    if (c.pen_width <= 1) {
        const std::uint32_t rgb = to_rgb(c.pen_colour);
        if (right - left == 1 || bottom - top == 1) {
            // A one-pixel-thin box: its outline is the box itself.
            for (int y = std::max(top, 0); y < std::min(bottom, c.image->height()); ++y)
                span(c, left, right, y, rgb, c.pen_mode);
            return;
        }
        const PenStyle style = c.pen_style;
        c.pen_style = PenStyle::Solid;
        thin_line(c, left, top, right - 1, top);
        thin_line(c, right - 1, top, right - 1, bottom - 1);
        thin_line(c, right - 1, bottom - 1, left, bottom - 1);
        thin_line(c, left, bottom - 1, left, top);
        c.pen_style = style;
        return;
    }
    if (!painting(c)) return;
    sync_pen(c);
    c.painter.setBrush(Qt::NoBrush);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawRect(clamp_box(left, top, right - 1, bottom - 1));
}

void raster_ellipse(Canvas& c, int left, int top, int right, int bottom) {
    sync_pen(c);
    sync_brush(c);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawEllipse(clamp_box(left, top, right - 1, bottom - 1));
}

void raster_arc(Canvas& c, int left, int top, int right, int bottom, double start_deg, double span_deg) {
    sync_pen(c);
    c.painter.setBrush(Qt::NoBrush);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawArc(clamp_box(left, top, right - 1, bottom - 1), static_cast<int>(std::lround(start_deg * 16.0)),
                      static_cast<int>(std::lround(span_deg * 16.0)));
}

void raster_set_pixel(Canvas& c, int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= c.image->width() || y >= c.image->height()) return;
    reinterpret_cast<std::uint32_t*>(c.image->scanLine(y))[x] = to_rgb(colour);
}

void raster_text_out(Canvas& c, int x, int y, const QString& text) {
    const QFontMetrics fm = c.painter.fontMetrics();
    if (!c.brush_clear) {
        c.painter.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()),
                           QColor::fromRgb(to_rgb(c.brush_colour)));
    }
    c.painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    c.painter.setPen(QColor::fromRgb(to_rgb(c.font_colour)));
    c.pen_dirty = true;
    c.painter.drawText(QPoint(x, y + fm.ascent()), text);
}

void raster_copy_rect(Canvas& c, const QRect& to, const QImage& src, const QRect& from) {
    if (to.size() == from.size() && src.depth() == 32 && &src != c.image) {
        blit(*c.image, to.x(), to.y(), src, from.x(), from.y(), from.width(), from.height(), -1);
        return;
    }
    if (!painting(c)) return;
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(QRectF(to), src, QRectF(from));
}

void raster_restore_rect(Canvas& c, const QRect& box, const QImage& same) {
    raster_copy_rect(c, box, same, box);
}

void raster_picture(Canvas& c, int x, int y, const QImage& picture, i64 key, ScaledPicture*) {
    if (picture.depth() == 32) {
        blit(*c.image, x, y, picture, 0, 0, picture.width(), picture.height(), key);
        return;
    }
    if (key >= 0) {
        const QImage p = picture.convertToFormat(QImage::Format_RGB32);
        blit(*c.image, x, y, p, 0, 0, p.width(), p.height(), key);
        return;
    }
    if (!painting(c)) return;
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(QPoint(x, y), picture);
}

void raster_stretch_picture(Canvas& c, const QRect& to, const QImage& picture) {
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(QRectF(to), picture, QRectF(picture.rect()));
}

}  // namespace

const Backend RASTER = {.line = raster_line,
                        .line_f = raster_line_f,
                        .polyline = raster_polyline,
                        .rectangle = raster_rectangle,
                        .fill_rect = raster_fill_rect,
                        .ellipse = raster_ellipse,
                        .arc = raster_arc,
                        .set_pixel = raster_set_pixel,
                        .text_out = raster_text_out,
                        .copy_rect = raster_copy_rect,
                        .restore_rect = raster_restore_rect,
                        .picture = raster_picture,
                        .stretch_picture = raster_stretch_picture};

}  // namespace quorrel::canvas_detail
