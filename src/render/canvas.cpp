#include "render/canvas.h"

#include <QPen>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/mapping.h"
#include "model/vec.h"
#include "render/canvas_detail.h"

namespace quorrel {

namespace canvas_detail {

bool usable(const Canvas& c) {
    return c.image != nullptr && !c.image->isNull() && c.image->depth() == 32;
}

// Raw pixel access: the picture must own its buffer, or a write would go to a
// copy while the painter keeps drawing into the shared one.
bool own_pixels(Canvas& c) {
    if (!usable(c)) return false;
    if (!c.image->isDetached()) {
        if (c.painter.isActive()) c.painter.end();
        c.image->bits();  // detaches
        c.pen_dirty = c.font_dirty = true;
    }
    return true;
}

bool painting(Canvas& c) {
    if (!own_pixels(c)) return false;
    if (!c.painter.isActive()) {
        if (!c.painter.begin(c.image)) return false;
        c.painter.setRenderHint(QPainter::Antialiasing, false);
        c.painter.setRenderHint(QPainter::TextAntialiasing, true);
        c.painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        c.pen_dirty = c.font_dirty = true;
    }
    return true;
}

QPainter::CompositionMode pen_composition(const Canvas& c) {
    return c.pen_mode == PenMode::Xor ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_Source;
}

void sync_brush(Canvas& c) {
    if (c.brush_clear)
        c.painter.setBrush(Qt::NoBrush);
    else
        c.painter.setBrush(QColor::fromRgb(to_rgb(c.brush_colour)));
}

bool far_out(i64 v) {
    return v > COORD_LIMIT || v < -COORD_LIMIT;
}

// Liang-Barsky.
bool clip_far(i64& x0, i64& y0, i64& x1, i64& y1) {
    const double lim = static_cast<double>(COORD_LIMIT / 2);
    double t0 = 0.0, t1 = 1.0;
    const double fx = static_cast<double>(x0), fy = static_cast<double>(y0);
    const double dx = static_cast<double>(x1 - x0), dy = static_cast<double>(y1 - y0);
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {fx + lim, lim - fx, fy + lim, lim - fy};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) return false;
            continue;
        }
        const double r = q[k] / p[k];
        if (p[k] < 0.0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
    }
    const i64 nx0 = static_cast<i64>(std::llround(fx + t0 * dx)), ny0 = static_cast<i64>(std::llround(fy + t0 * dy));
    const i64 nx1 = static_cast<i64>(std::llround(fx + t1 * dx)), ny1 = static_cast<i64>(std::llround(fy + t1 * dy));
    x0 = nx0;
    y0 = ny0;
    x1 = nx1;
    y1 = ny1;
    return true;
}

void normalise(int& left, int& top, int& right, int& bottom) {
    constexpr int LIM = 1 << 22;
    for (int* v : {&left, &top, &right, &bottom}) *v = std::clamp(*v, -LIM, LIM);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

void fill_box(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1, std::uint32_t rgb, PenMode mode) {
    QImage& im = *c.image;
    x0 = std::max<i64>(x0, 0);
    y0 = std::max<i64>(y0, 0);
    x1 = std::min<i64>(x1, im.width());
    y1 = std::min<i64>(y1, im.height());
    for (i64 y = y0; y < y1; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(im.scanLine(static_cast<int>(y)));
        if (mode == PenMode::Xor) {
            for (i64 x = x0; x < x1; ++x) row[x] ^= (rgb & 0x00FFFFFFu);
        } else {
            std::fill(row + x0, row + std::max(x0, x1), rgb);
        }
    }
}

void blit(QImage& dst, int x, int y, const QImage& src, int sx, int sy, int w, int h, std::int64_t key) {
    if (sx < 0) {
        x -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    w = std::min({w, src.width() - sx, dst.width() - x});
    h = std::min({h, src.height() - sy, dst.height() - y});
    if (w <= 0 || h <= 0) return;
    const std::uint32_t k = key >= 0 ? (to_rgb(static_cast<Colour>(key)) & 0x00FFFFFFu) : 0;
    for (int j = 0; j < h; ++j) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(src.constScanLine(sy + j)) + sx;
        auto* d = reinterpret_cast<std::uint32_t*>(dst.scanLine(y + j)) + x;
        if (key < 0) {
            for (int i = 0; i < w; ++i) d[i] = s[i] | 0xFF000000u;
        } else {
            for (int i = 0; i < w; ++i) {
                const std::uint32_t p = s[i] & 0x00FFFFFFu;
                if (p != k) d[i] = p | 0xFF000000u;
            }
        }
    }
}

bool record(Canvas& c, i64 left, i64 top, i64 right, i64 bottom, int margin) {
    if (!c.measuring && c.dirty == nullptr) return false;
    const auto cut = [](i64 v) { return static_cast<int>(std::clamp<i64>(v, -COORD_LIMIT, COORD_LIMIT)); };
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (c.measuring) {
        const QRect box(QPoint(cut(left), cut(top)), QPoint(cut(right) - 1, cut(bottom) - 1));
        if (!box.isEmpty()) c.measured = c.measured.isNull() ? box : c.measured.united(box);
        return true;
    }
    if (c.dirty->all || c.image == nullptr) return false;
    // The picture pixels, widened by the margin and by two for smoothed edges.
    const i64 m = static_cast<i64>(std::ceil(margin * c.scale)) + 2;
    const auto dev = [&](i64 v, int d) { return static_cast<i64>(std::floor(static_cast<double>(v) * c.scale)) + d; };
    const QRect box(QPoint(cut(dev(left, c.dx) - m), cut(dev(top, c.dy) - m)),
                    QPoint(cut(dev(right, c.dx) + m + static_cast<i64>(std::ceil(c.scale))),
                           cut(dev(bottom, c.dy) + m + static_cast<i64>(std::ceil(c.scale)))));
    const QRect shown = box.intersected(c.image->rect());
    if (!shown.isEmpty()) c.dirty->add(shown);
    return false;
}

}  // namespace canvas_detail

void DirtyBoxes::add(const QRect& r) {
    if (all) return;
    for (int i = 0; i < n; ++i)
        if (box[i].contains(r)) return;
    if (n < MAX) {
        box[n++] = r;
        return;
    }
    // Full: merged into the box it enlarges least.
    int best = 0;
    long long grow = -1;
    for (int i = 0; i < n; ++i) {
        const QRect u = box[i].united(r);
        const long long g =
            static_cast<long long>(u.width()) * u.height() - static_cast<long long>(box[i].width()) * box[i].height();
        if (grow < 0 || g < grow) {
            grow = g;
            best = i;
        }
    }
    box[best] = box[best].united(r);
}

namespace {

using namespace canvas_detail;

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

double ray_angle(double cx, double cy, int x, int y) {
    return degrees(std::atan2(-(static_cast<double>(y) - cy), static_cast<double>(x) - cx));
}

// The pixels an arc covers: the box of its two ends and of the extreme
// points of its ellipse (centre cx, cy, radii rx, ry) that its span passes;
// angles in degrees, counter-clockwise on the screen.
QRect arc_box(double cx, double cy, double rx, double ry, double start, double span_deg) {
    const auto at = [&](double deg) {
        return QPointF(cx + rx * std::cos(radians(deg)), cy - ry * std::sin(radians(deg)));
    };
    QPointF lo = at(start), hi = lo;
    const auto take = [&](QPointF p) {
        lo = QPointF(std::min(lo.x(), p.x()), std::min(lo.y(), p.y()));
        hi = QPointF(std::max(hi.x(), p.x()), std::max(hi.y(), p.y()));
    };
    take(at(start + span_deg));
    for (double extreme = 0.0; extreme < 360.0; extreme += 90.0)
        if (std::fmod(extreme - start + 720.0, 360.0) <= span_deg) take(at(extreme));
    const int left = trunc_px(std::floor(lo.x())), top = trunc_px(std::floor(lo.y()));
    return QRect(QPoint(left, top), QPoint(std::max(left, trunc_px(std::ceil(hi.x())) - 1),
                                           std::max(top, trunc_px(std::ceil(hi.y())) - 1)));
}

}  // namespace

void copy_pixels(QImage& dst, int x, int y, const QImage& src, const QRect& from) {
    if (dst.isNull() || src.isNull() || dst.depth() != 32 || src.depth() != 32 || &dst == &src) return;
    blit(dst, x, y, src, from.x(), from.y(), from.width(), from.height(), -1);
}

void canvas_attach(Canvas& c, QImage* image) {
    canvas_end(c);
    c.image = image;
    c.pen_dirty = c.font_dirty = true;
}

void canvas_end(Canvas& c) {
    if (c.painter.isActive()) c.painter.end();
    c.pen_dirty = c.font_dirty = true;
}

void canvas_set_view(Canvas& c, double scale, int dx, int dy) {
    c.scale = std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
    c.dx = dx;
    c.dy = dy;
    c.pen_dirty = c.font_dirty = true;
}

QRect design_area(const Canvas& c) {
    if (c.image == nullptr || c.image->isNull()) return {};
    const double s = c.scale;
    const auto lo = [s](int d) { return static_cast<int>(std::floor(static_cast<double>(-d) / s)); };
    const auto hi = [s](int d, int size) { return static_cast<int>(std::ceil(static_cast<double>(size - d) / s)); };
    return QRect(QPoint(lo(c.dx), lo(c.dy)), QPoint(hi(c.dx, c.image->width()) - 1, hi(c.dy, c.image->height()) - 1));
}

void canvas_start_measuring(Canvas& c) {
    c.measuring = true;
    c.measured = QRect();
}

QRect canvas_stop_measuring(Canvas& c) {
    c.measuring = false;
    return c.measured;
}

void set_pen(Canvas& c, Colour colour, int width) {
    set_pen_colour(c, colour);
    set_pen_width(c, width);
}
void set_pen_colour(Canvas& c, Colour colour) {
    if (c.pen_colour != colour) c.pen_dirty = true;
    c.pen_colour = colour;
}
void set_pen_width(Canvas& c, int width) {
    width = std::clamp(width, 1, 100);  // a damaged width must not make a giant stroke
    if (c.pen_width != width) c.pen_dirty = true;
    c.pen_width = width;
}
void set_pen_mode(Canvas& c, PenMode mode) {
    c.pen_mode = mode;
}
void set_pen_style(Canvas& c, PenStyle style) {
    if (c.pen_style != style) c.pen_dirty = true;
    c.pen_style = style;
}
void set_brush(Canvas& c, Colour colour) {
    c.brush_colour = colour;
    c.brush_clear = false;
}
void set_brush_clear(Canvas& c) {
    c.brush_clear = true;
}
void set_font(Canvas& c, const QFont& font, Colour colour) {
    if (!(c.font == font)) {
        c.font = font;
        c.font_dirty = true;
    }
    c.font_colour = colour;
}
void set_font_colour(Canvas& c, Colour colour) {
    c.font_colour = colour;
}

void line(Canvas& c, int x0, int y0, int x1, int y1) {
    const int w = c.pen_width;
    if (record(c, i64{std::min(x0, x1)} - w / 2, i64{std::min(y0, y1)} - w / 2, i64{std::max(x0, x1)} + w,
               i64{std::max(y0, y1)} + w, w))
        return;
    if (!own_pixels(c)) return;
    if (!canvas_identity(c))
        view_line(c, x0, y0, x1, y1);
    else if (c.pen_width <= 1)
        thin_line(c, x0, y0, x1, y1);
    else
        wide_line(c, x0, y0, x1, y1);
}

void line_f(Canvas& c, double x0, double y0, double x1, double y1) {
    if (c.measuring || canvas_identity(c) ||
        !(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) {
        line(c, trunc_px(x0), trunc_px(y0), trunc_px(x1), trunc_px(y1));
        return;
    }
    const int w = c.pen_width;
    record(c, trunc_px(std::min(x0, x1)) - w, trunc_px(std::min(y0, y1)) - w, trunc_px(std::max(x0, x1)) + w + 1,
           trunc_px(std::max(y0, y1)) + w + 1, w);
    if (own_pixels(c)) view_line_f(c, x0, y0, x1, y1);
}

void polyline(Canvas& c, const QPoint* points, int n) {
    if (n < 2) return;
    if (c.measuring) {
        for (int i = 1; i < n; ++i) line(c, points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
        return;
    }
    if (c.dirty != nullptr) {
        i64 l = points[0].x(), t = points[0].y(), r = l, b = t;
        for (int i = 1; i < n; ++i) {
            l = std::min<i64>(l, points[i].x());
            r = std::max<i64>(r, points[i].x());
            t = std::min<i64>(t, points[i].y());
            b = std::max<i64>(b, points[i].y());
        }
        const int w = c.pen_width;
        record(c, l - w, t - w, r + w + 1, b + w + 1, w);
    }
    if (!own_pixels(c)) return;
    if (!canvas_identity(c)) {
        view_polyline(c, points, n);
        return;
    }
    if (c.pen_width <= 1) {
        for (int i = 1; i < n; ++i) thin_line(c, points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
        return;
    }
    if (!painting(c)) return;
    sync_pen(c);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawPolyline(points, n);
}

void rectangle(Canvas& c, int left, int top, int right, int bottom) {
    normalise(left, top, right, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    if (record(c, left, top, right, bottom, c.pen_width)) return;
    if (!own_pixels(c)) return;
    if (!canvas_identity(c)) {
        view_rectangle(c, left, top, right, bottom);
        return;
    }
    if (!c.brush_clear) fill_rect(c, left, top, right, bottom);
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

void fill_rect(Canvas& c, int left, int top, int right, int bottom) {
    normalise(left, top, right, bottom);
    if (record(c, left, top, right, bottom, c.pen_width)) return;
    if (!own_pixels(c)) return;
    if (!canvas_identity(c)) {
        view_fill_rect(c, left, top, right, bottom);
        return;
    }
    const std::uint32_t rgb = to_rgb(c.brush_colour);
    const int y0 = std::max(top, 0), y1 = std::min(bottom, c.image->height());
    for (int y = y0; y < y1; ++y) span(c, left, right, y, rgb, c.pen_mode);
}

void ellipse(Canvas& c, int left, int top, int right, int bottom) {
    normalise(left, top, right, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    if (record(c, left, top, right, bottom, c.pen_width)) return;
    if (!painting(c)) return;
    if (!canvas_identity(c)) {
        view_ellipse(c, left, top, right, bottom);
        return;
    }
    sync_pen(c);
    sync_brush(c);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawEllipse(clamp_box(left, top, right - 1, bottom - 1));
}

void arc(Canvas& c, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
    normalise(left, top, right, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    const double cx = (static_cast<double>(left) + right) / 2.0, cy = (static_cast<double>(top) + bottom) / 2.0;
    const double a = ray_angle(cx, cy, xs, ys);
    double span_deg = ray_angle(cx, cy, xe, ye) - a;
    while (span_deg <= 0.0) span_deg += 360.0;
    while (span_deg > 360.0) span_deg -= 360.0;
    // Only the arc's own points count, not the rest of its ellipse.
    const QRect box = arc_box(cx, cy, (right - left) / 2.0, (bottom - top) / 2.0, a, span_deg);
    if (record(c, box.left(), box.top(), i64{box.right()} + 1, i64{box.bottom()} + 1, c.pen_width)) return;
    if (!painting(c)) return;
    if (!canvas_identity(c)) {
        view_arc(c, left, top, right, bottom, a, span_deg);
        return;
    }
    sync_pen(c);
    c.painter.setBrush(Qt::NoBrush);
    c.painter.setCompositionMode(pen_composition(c));
    c.painter.drawArc(clamp_box(left, top, right - 1, bottom - 1), static_cast<int>(std::lround(a * 16.0)),
                      static_cast<int>(std::lround(span_deg * 16.0)));
}

void set_pixel(Canvas& c, int x, int y, Colour colour) {
    if (record(c, x, y, i64{x} + 1, i64{y} + 1, 0)) return;
    if (!own_pixels(c)) return;
    if (!canvas_identity(c)) {
        view_set_pixel(c, x, y, colour);
        return;
    }
    if (x < 0 || y < 0 || x >= c.image->width() || y >= c.image->height()) return;
    reinterpret_cast<std::uint32_t*>(c.image->scanLine(y))[x] = to_rgb(colour);
}

Colour get_pixel(const Canvas& c, int x, int y) {
    if (!usable(c)) return -1;
    if (!canvas_identity(c)) {
        x = static_cast<int>(std::floor((x + 0.5) * c.scale)) + c.dx;
        y = static_cast<int>(std::floor((y + 0.5) * c.scale)) + c.dy;
    }
    if (x < 0 || y < 0 || x >= c.image->width() || y >= c.image->height()) return -1;
    return from_rgb(c.image->pixel(x, y));
}

void text_out(Canvas& c, int x, int y, const QString& text) {
    if (text.isEmpty()) return;
    if (c.measuring || c.dirty != nullptr) {
        // Glyphs may reach beyond their advance (italics, smoothed edges).
        const QFontMetrics fm(c.font);
        if (record(c, x, y, i64{x} + fm.horizontalAdvance(text), i64{y} + fm.height(), fm.height() / 3 + 1)) return;
    }
    if (!painting(c)) return;
    if (c.font_dirty) {
        c.painter.setFont(c.font);
        c.font_dirty = false;
    }
    if (!canvas_identity(c)) {
        view_text_out(c, x, y, text);
        return;
    }
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

int text_width(Canvas& c, const QString& text) {
    return QFontMetrics(c.font).horizontalAdvance(text);
}
int text_height(Canvas& c) {
    return QFontMetrics(c.font).height();
}

void copy_rect(Canvas& c, const QRect& to, const QImage& src, const QRect& from) {
    if (src.isNull() || to.isEmpty() || from.isEmpty()) return;
    if (record(c, to.left(), to.top(), i64{to.right()} + 1, i64{to.bottom()} + 1, 0)) return;
    if (!own_pixels(c)) return;
    if (!canvas_identity(c)) {
        view_copy_rect(c, to, src, from);
        return;
    }
    if (to.size() == from.size() && src.depth() == 32 && &src != c.image) {
        blit(*c.image, to.x(), to.y(), src, from.x(), from.y(), from.width(), from.height(), -1);
        return;
    }
    if (!painting(c)) return;
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(QRectF(to), src, QRectF(from));
}

void copy_whole(Canvas& c, const QImage& src) {
    if (c.measuring || src.isNull() || &src == c.image || !usable(c)) return;
    // A picture shared with another (the view keeps the shown one) and about
    // to be covered whole needs fresh pixels, not a copy of its old ones.
    if (!c.image->isDetached() && src.size() == c.image->size() && src.format() == c.image->format()) {
        if (c.painter.isActive()) c.painter.end();
        QImage fresh(c.image->size(), c.image->format());
        fresh.setDevicePixelRatio(c.image->devicePixelRatio());
        *c.image = std::move(fresh);
        c.pen_dirty = c.font_dirty = true;
    }
    if (!own_pixels(c)) return;
    if (c.dirty != nullptr) c.dirty->mark_all();
    if (src.depth() == 32) {
        blit(*c.image, 0, 0, src, 0, 0, src.width(), src.height(), -1);
        return;
    }
    if (!painting(c)) return;
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(QPoint(0, 0), src);
}

void copy_whole_except(Canvas& c, const QImage& src, const QRect& area, const QRect* holes, int n) {
    if (c.measuring || src.isNull() || src.depth() != 32 || &src == c.image || !own_pixels(c)) return;
    const QRect a = area.intersected(src.rect()).intersected(c.image->rect());
    if (a.isEmpty()) return;
    const qsizetype sbpl = src.bytesPerLine(), dbpl = c.image->bytesPerLine();
    const uchar* sbits = src.constBits();
    uchar* dbits = c.image->bits();
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(sbits + y * sbpl);
        auto* to = reinterpret_cast<std::uint32_t*>(dbits + y * dbpl);
        // The row's spans between the holes it crosses, left to right.
        int x = a.left();
        const int row_end = a.right() + 1;
        while (x < row_end) {
            int end = row_end, skip_to = x;
            for (int k = 0; k < n; ++k) {
                const QRect& h = holes[k];
                if (y < h.top() || y > h.bottom() || h.right() < x) continue;
                if (h.left() <= x)
                    skip_to = std::max(skip_to, h.right() + 1);
                else
                    end = std::min(end, h.left());
            }
            if (skip_to > x) {
                x = skip_to;
                continue;
            }
            for (int i = x; i < end; ++i) to[i] = from[i] | 0xFF000000u;
            x = end;
        }
    }
}

void restore_rect(Canvas& c, const QRect& box, const QImage& same) {
    if (c.measuring || same.isNull() || box.isEmpty() || !own_pixels(c)) return;
    // What is restored may differ from the clean scene (a backdrop with frames).
    record(c, box.left(), box.top(), i64{box.right()} + 1, i64{box.bottom()} + 1, 0);
    if (!canvas_identity(c)) {
        view_restore_rect(c, box, same);
        return;
    }
    copy_rect(c, box, same, box);
}

namespace {

void picture_at(Canvas& c, int x, int y, const QImage& picture, std::int64_t key, ScaledPicture* cache) {
    if (picture.isNull()) return;
    if (record(c, x, y, i64{x} + picture.width(), i64{y} + picture.height(), 0)) return;
    if (!own_pixels(c)) return;
    if (!canvas_identity(c)) {
        view_draw_picture(c, x, y, picture, key, cache);
        return;
    }
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

}  // namespace

void draw_picture(Canvas& c, int x, int y, const QImage& picture, ScaledPicture* cache) {
    picture_at(c, x, y, picture, -1, cache);
}

void draw_transparent(Canvas& c, int x, int y, const QImage& picture, Colour key, ScaledPicture* cache) {
    picture_at(c, x, y, picture, static_cast<std::uint32_t>(key) & 0x00FFFFFFu, cache);
}

void blend_picture(Canvas& c, int x, int y, const QImage& picture, std::int64_t key, double factor,
                   ScaledPicture* cache) {
    if (picture.isNull()) return;
    if (record(c, x, y, i64{x} + picture.width(), i64{y} + picture.height(), 0)) return;
    if (!painting(c)) return;
    c.painter.setOpacity(std::clamp(std::isfinite(factor) ? factor : 0.0, 0.0, 1.0));
    view_draw_picture(c, x, y, picture, key, cache);
    c.painter.setOpacity(1.0);
}

void draw_view_picture(Canvas& c, int x, int y, const QImage& picture, std::int64_t key) {
    if (picture.isNull()) return;
    if (record(c, x, y, x + static_cast<i64>(std::ceil(picture.width() / c.scale)),
               y + static_cast<i64>(std::ceil(picture.height() / c.scale)), 0))
        return;
    if (!own_pixels(c) || picture.depth() != 32) return;
    if (key >= 0) key = static_cast<std::uint32_t>(key) & 0x00FFFFFFu;
    blit(*c.image, device_x(c, x), device_y(c, y), picture, 0, 0, picture.width(), picture.height(), key);
}

void stretch_picture(Canvas& c, const QRect& to, const QImage& picture) {
    if (picture.isNull() || to.isEmpty()) return;
    if (record(c, to.left(), to.top(), i64{to.right()} + 1, i64{to.bottom()} + 1, 0)) return;
    if (!painting(c)) return;
    if (!canvas_identity(c)) {
        view_stretch_picture(c, to, picture);
        return;
    }
    c.painter.setCompositionMode(QPainter::CompositionMode_Source);
    c.painter.drawImage(QRectF(to), picture, QRectF(picture.rect()));
}

}  // namespace quorrel
