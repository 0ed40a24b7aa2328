// The canvas's view backend, for every view transform but the identity: the
// scene's design pixels drawn at the picture's resolution.
//
// - A line along an axis, a box outline, a filled box and a set pixel land on
//   whole picture pixels: the band of a pen of width w is round(w * scale)
//   pixels wide, centred on the design pixels' centres, so every grid line has
//   the same width and nothing is blurred.
// - Other lines, polylines, ellipses and arcs are smoothed in copy mode; in
//   exclusive-or mode they are not, so each pixel is flipped exactly once per
//   drawing and drawing twice restores the picture.
// - Text is laid out in design pixels (its widths are those the hit tests
//   use) and rendered at the picture's resolution.
// - Pictures are resampled smoothly; a left-out colour becomes transparent
//   before resampling, so its edge blends instead of fringing.
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/mapping.h"
#include "render/canvas_detail.h"

namespace quorrel::canvas_detail {
namespace {

// Width of the pen in picture pixels: whole pixels for bands and the
// exclusive-or mode, the exact width for smoothed strokes.
int band_width(const Canvas& c) {
    return std::max(1, static_cast<int>(std::lround(c.pen_width * c.scale)));
}
double smooth_width(const Canvas& c) {
    return std::max(1.0, c.pen_width * c.scale);
}

// Picture coordinate of the centre of design pixel v.
double centre_x(const Canvas& c, double v) {
    return (v + 0.5) * c.scale + c.dx;
}
double centre_y(const Canvas& c, double v) {
    return (v + 0.5) * c.scale + c.dy;
}
// First picture pixel of a band of `w` pixels centred on design pixel v.
i64 band_x(const Canvas& c, i64 v, int w) {
    return static_cast<i64>(std::floor(centre_x(c, static_cast<double>(v)))) - w / 2;
}
i64 band_y(const Canvas& c, i64 v, int w) {
    return static_cast<i64>(std::floor(centre_y(c, static_cast<double>(v)))) - w / 2;
}
i64 edge_x(const Canvas& c, i64 v) {
    return device_x(c, static_cast<double>(v));
}
i64 edge_y(const Canvas& c, i64 v) {
    return device_y(c, static_cast<double>(v));
}

std::uint32_t pen_rgb(const Canvas& c) {
    return to_rgb(c.pen_colour);
}

bool smoothed(const Canvas& c) {
    return c.pen_mode == PenMode::Copy;
}

// A pen for QPainter in picture pixels; the canvas's own pen state is left
// dirty, as the raster backend keeps the painter's pen in step with it.
// Smoothed strokes take square caps where a round end is asked for: QPainter
// fills smoothed round caps through its general path filler, which costs a
// hundred times a straight stroke, and at these widths the ends look alike.
void stroke_pen(Canvas& c, bool round_caps) {
    const bool smooth = smoothed(c);
    const double w = smooth ? smooth_width(c) : band_width(c);
    QPen pen(QColor::fromRgb(pen_rgb(c)), w);
    pen.setCapStyle(!round_caps ? Qt::FlatCap : smooth ? Qt::SquareCap : Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (c.pen_style == PenStyle::Dot) {
        const double dash = static_cast<double>(DOT_ON) * c.scale / w;
        pen.setDashPattern({dash, dash});
    }
    c.painter.setPen(pen);
    c.painter.setBrush(Qt::NoBrush);
    c.painter.setRenderHint(QPainter::Antialiasing, smooth);
    c.painter.setCompositionMode(smooth ? QPainter::CompositionMode_SourceOver : pen_composition(c));
    c.pen_dirty = true;
}

// Restores what the raster backend expects of the painter (the view may return to 1:1 with it active).
void plain_painter(Canvas& c) {
    c.painter.setRenderHint(QPainter::Antialiasing, false);
    c.pen_dirty = true;
}

// Design pixels [a0, a1) of column x (vertical) or row y: a band along the
// axis, cut into dots when the pen is dotted.
void axis_band(Canvas& c, bool vertical, i64 across, i64 a0, i64 a1, i64 lead, i64 trail) {
    const int w = band_width(c);
    const std::uint32_t rgb = pen_rgb(c);
    const i64 b0 = vertical ? band_x(c, across, w) : band_y(c, across, w);
    auto run = [&](i64 from, i64 to, i64 extra_lo, i64 extra_hi) {
        const i64 d0 = (vertical ? edge_y(c, from) : edge_x(c, from)) - extra_lo;
        const i64 d1 = (vertical ? edge_y(c, to) : edge_x(c, to)) + extra_hi;
        if (vertical)
            fill_box(c, b0, d0, b0 + w, d1, rgb, c.pen_mode);
        else
            fill_box(c, d0, b0, d1, b0 + w, rgb, c.pen_mode);
    };
    if (c.pen_style != PenStyle::Dot) {
        run(a0, a1, lead, trail);
        return;
    }
    const i64 n = a1 - a0;
    for (i64 i = 0; i < n; i += DOT_PERIOD) run(a0 + i, a0 + std::min(i + DOT_ON, n), 0, 0);
}

void view_line(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1) {
    if (far_out(x0) || far_out(y0) || far_out(x1) || far_out(y1)) {
        if (!clip_far(x0, y0, x1, y1)) return;
    }
    if (x0 == x1 && y0 == y1) return;
    const bool thin = c.pen_width <= 1;
    if (x0 == x1 || y0 == y1) {
        const bool vertical = x0 == x1;
        const i64 a = vertical ? y0 : x0, b = vertical ? y1 : x1;
        if (thin) {
            // The first pixel is painted, the last one is not.
            if (a < b)
                axis_band(c, vertical, vertical ? x0 : y0, a, b, 0, 0);
            else
                axis_band(c, vertical, vertical ? x0 : y0, b + 1, a + 1, 0, 0);
        } else {
            // A wide pen has round caps: half its width beyond both ends.
            const i64 cap = band_width(c) / 2;
            axis_band(c, vertical, vertical ? x0 : y0, std::min(a, b), std::max(a, b) + 1, cap, cap);
        }
        return;
    }
    if (!painting(c)) return;
    stroke_pen(c, !thin || smoothed(c));
    c.painter.drawLine(QPointF(centre_x(c, static_cast<double>(x0)), centre_y(c, static_cast<double>(y0))),
                       QPointF(centre_x(c, static_cast<double>(x1)), centre_y(c, static_cast<double>(y1))));
    plain_painter(c);
}

void view_line_f(Canvas& c, double x0, double y0, double x1, double y1) {
    const int w = c.pen_width;
    record(c, trunc_px(std::min(x0, x1)) - w, trunc_px(std::min(y0, y1)) - w, trunc_px(std::max(x0, x1)) + w + 1,
           trunc_px(std::max(y0, y1)) + w + 1, w);
    if (!own_pixels(c)) return;
    constexpr double LIM = static_cast<double>(COORD_LIMIT / 2);
    if (std::fabs(x0) > LIM || std::fabs(y0) > LIM || std::fabs(x1) > LIM || std::fabs(y1) > LIM) {
        view_line(c, trunc_px(x0), trunc_px(y0), trunc_px(x1), trunc_px(y1));
        return;
    }
    if (!painting(c)) return;
    stroke_pen(c, true);
    c.painter.drawLine(QPointF(x0 * c.scale + c.dx, y0 * c.scale + c.dy),
                       QPointF(x1 * c.scale + c.dx, y1 * c.scale + c.dy));
    plain_painter(c);
}

void view_polyline(Canvas& c, const QPoint* points, int n) {
    if (!painting(c)) return;
    if (!smoothed(c)) {
        // One stroke, so the exclusive-or flips each pixel once.
        QPolygonF poly;
        poly.reserve(n);
        for (int i = 0; i < n; ++i) poly << QPointF(centre_x(c, points[i].x()), centre_y(c, points[i].y()));
        stroke_pen(c, c.pen_width > 1);
        c.painter.drawPolyline(poly);
        plain_painter(c);
        return;
    }
    for (int i = 1; i < n; ++i) view_line(c, points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
}

void view_fill_rect(Canvas& c, int left, int top, int right, int bottom) {
    fill_box(c, edge_x(c, left), edge_y(c, top), edge_x(c, right), edge_y(c, bottom), to_rgb(c.brush_colour),
             c.pen_mode);
}

void view_rectangle(Canvas& c, int left, int top, int right, int bottom) {
    if (!c.brush_clear) view_fill_rect(c, left, top, right, bottom);
    // Four bands centred on the border pixels; none overlaps another, so the
    // exclusive-or mode flips every pixel of the outline once.
    const int w = band_width(c);
    const std::uint32_t rgb = pen_rgb(c);
    const i64 x0 = band_x(c, left, w), x1 = band_x(c, right - 1, w) + w;
    const i64 y0 = band_y(c, top, w), y1 = band_y(c, bottom - 1, w) + w;
    const i64 top_end = std::min(y0 + w, y1);
    const i64 bottom_start = std::max(y1 - w, top_end);
    fill_box(c, x0, y0, x1, top_end, rgb, c.pen_mode);
    fill_box(c, x0, bottom_start, x1, y1, rgb, c.pen_mode);
    const i64 left_end = std::min(x0 + w, x1);
    const i64 right_start = std::max(x1 - w, left_end);
    fill_box(c, x0, top_end, left_end, bottom_start, rgb, c.pen_mode);
    fill_box(c, right_start, top_end, x1, bottom_start, rgb, c.pen_mode);
}

// The ellipse of the box through the centres of its border pixels.
QRectF centre_box(const Canvas& c, int left, int top, int right, int bottom) {
    const double x0 = centre_x(c, left), y0 = centre_y(c, top);
    return QRectF(x0, y0, centre_x(c, right - 1) - x0, centre_y(c, bottom - 1) - y0);
}

void view_ellipse(Canvas& c, int left, int top, int right, int bottom) {
    stroke_pen(c, false);
    sync_brush(c);
    c.painter.drawEllipse(centre_box(c, left, top, right, bottom));
    plain_painter(c);
}

void view_arc(Canvas& c, int left, int top, int right, int bottom, double start_deg, double span_deg) {
    stroke_pen(c, false);
    c.painter.drawArc(centre_box(c, left, top, right, bottom), static_cast<int>(std::lround(start_deg * 16.0)),
                      static_cast<int>(std::lround(span_deg * 16.0)));
    plain_painter(c);
}

void view_set_pixel(Canvas& c, int x, int y, Colour colour) {
    fill_box(c, edge_x(c, x), edge_y(c, y), edge_x(c, i64{x} + 1), edge_y(c, i64{y} + 1), to_rgb(colour),
             PenMode::Copy);
}

void view_text_out(Canvas& c, int x, int y, const QString& text) {
    const QFontMetrics fm(c.font);
    if (!c.brush_clear) {
        fill_box(c, edge_x(c, x), edge_y(c, y), edge_x(c, i64{x} + fm.horizontalAdvance(text)),
                 edge_y(c, i64{y} + fm.height()), to_rgb(c.brush_colour), PenMode::Copy);
    }
    c.painter.setTransform(QTransform(c.scale, 0, 0, c.scale, c.dx, c.dy));
    c.painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    c.painter.setPen(QColor::fromRgb(to_rgb(c.font_colour)));
    c.painter.drawText(QPointF(x, static_cast<double>(y) + fm.ascent()), text);
    c.painter.resetTransform();
    c.pen_dirty = true;
}

QRectF device_box(const Canvas& c, const QRect& r) {
    const i64 x0 = edge_x(c, r.left()), y0 = edge_y(c, r.top());
    return QRectF(static_cast<double>(x0), static_cast<double>(y0),
                  static_cast<double>(edge_x(c, i64{r.right()} + 1) - x0),
                  static_cast<double>(edge_y(c, i64{r.bottom()} + 1) - y0));
}

// The picture with `key` (>= 0) transparent, resampled to w x h.
QImage resampled(const QImage& picture, std::int64_t key, int w, int h) {
    QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    if (key >= 0) {
        const std::uint32_t k = to_rgb(static_cast<Colour>(key)) & 0x00FFFFFFu;
        for (int y = 0; y < src.height(); ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x)
                if ((row[x] & 0x00FFFFFFu) == k) row[x] = 0;
        }
    }
    src.convertTo(QImage::Format_ARGB32_Premultiplied);
    return src.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void view_copy_rect(Canvas& c, const QRect& to, const QImage& src, const QRect& from) {
    if (&src == c.image || !painting(c)) return;
    c.painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(device_box(c, to), src, QRectF(from));
    c.painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void view_restore_rect(Canvas& c, const QRect& box, const QImage& same) {
    if (same.depth() != 32 || &same == c.image) return;
    const i64 x0 = edge_x(c, box.left()), y0 = edge_y(c, box.top());
    const i64 x1 = edge_x(c, i64{box.right()} + 1), y1 = edge_y(c, i64{box.bottom()} + 1);
    const auto cut = [](i64 v, int size) { return static_cast<int>(std::clamp<i64>(v, 0, size)); };
    const int l = cut(x0, same.width()), t = cut(y0, same.height());
    const int r = cut(x1, same.width()), b = cut(y1, same.height());
    if (r <= l || b <= t) return;
    blit(*c.image, l, t, same, l, t, r - l, b - t, -1);
}

void view_stretch_picture(Canvas& c, const QRect& to, const QImage& picture) {
    c.painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(device_box(c, to), picture, QRectF(picture.rect()));
    c.painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

}  // namespace

void draw_resampled(Canvas& c, int x, int y, const QImage& picture, i64 key, ScaledPicture* cache) {
    const int w = std::max(1, static_cast<int>(std::lround(picture.width() * c.scale)));
    const int h = std::max(1, static_cast<int>(std::lround(picture.height() * c.scale)));
    QImage local;
    const QImage* scaled = &local;
    if (cache != nullptr) {
        if (cache->source != picture.cacheKey() || cache->scale != c.scale || cache->key != key ||
            cache->image.size() != QSize(w, h)) {
            cache->image = resampled(picture, key, w, h);
            cache->source = picture.cacheKey();
            cache->scale = c.scale;
            cache->key = key;
        }
        scaled = &cache->image;
    } else {
        local = resampled(picture, key, w, h);
    }
    if (!painting(c)) return;
    c.painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    c.painter.drawImage(QPoint(static_cast<int>(edge_x(c, x)), static_cast<int>(edge_y(c, y))), *scaled);
}

const Backend VIEW = {.line = view_line,
                      .line_f = view_line_f,
                      .polyline = view_polyline,
                      .rectangle = view_rectangle,
                      .fill_rect = view_fill_rect,
                      .ellipse = view_ellipse,
                      .arc = view_arc,
                      .set_pixel = view_set_pixel,
                      .text_out = view_text_out,
                      .copy_rect = view_copy_rect,
                      .restore_rect = view_restore_rect,
                      .picture = draw_resampled,
                      .stretch_picture = view_stretch_picture};

}  // namespace quorrel::canvas_detail
