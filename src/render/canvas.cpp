// The canvas's state and its primitives' common part: each primitive orders
// and checks its arguments, notes the box it covers (or only measures it) and
// hands the drawing to the backend chosen with the view (canvas_detail.h).
// Whole-picture copies and pictures already at the view's resolution need no
// backend.
#include "render/canvas.h"

#include <QPainter>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/mapping.h"
#include "model/vec.h"
#include "render/canvas_detail.h"

namespace quorrel {

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
    c.backend = canvas_identity(c) ? &RASTER : &VIEW;
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
    if (own_pixels(c)) c.backend->line(c, x0, y0, x1, y1);
}

void line_f(Canvas& c, double x0, double y0, double x1, double y1) {
    if (c.measuring || !(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) {
        line(c, trunc_px(x0), trunc_px(y0), trunc_px(x1), trunc_px(y1));
        return;
    }
    c.backend->line_f(c, x0, y0, x1, y1);
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
    if (own_pixels(c)) c.backend->polyline(c, points, n);
}

void rectangle(Canvas& c, int left, int top, int right, int bottom) {
    normalise(left, top, right, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    if (record(c, left, top, right, bottom, c.pen_width)) return;
    if (own_pixels(c)) c.backend->rectangle(c, left, top, right, bottom);
}

void fill_rect(Canvas& c, int left, int top, int right, int bottom) {
    normalise(left, top, right, bottom);
    if (record(c, left, top, right, bottom, c.pen_width)) return;
    if (own_pixels(c)) c.backend->fill_rect(c, left, top, right, bottom);
}

void ellipse(Canvas& c, int left, int top, int right, int bottom) {
    normalise(left, top, right, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    if (record(c, left, top, right, bottom, c.pen_width)) return;
    if (painting(c)) c.backend->ellipse(c, left, top, right, bottom);
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
    if (painting(c)) c.backend->arc(c, left, top, right, bottom, a, span_deg);
}

void set_pixel(Canvas& c, int x, int y, Colour colour) {
    if (record(c, x, y, i64{x} + 1, i64{y} + 1, 0)) return;
    if (own_pixels(c)) c.backend->set_pixel(c, x, y, colour);
}

Colour get_pixel(const Canvas& c, int x, int y) {
    if (!usable(c)) return -1;
    // The picture pixel under the design pixel's centre (at 1:1 the pixel itself).
    x = static_cast<int>(std::floor((x + 0.5) * c.scale)) + c.dx;
    y = static_cast<int>(std::floor((y + 0.5) * c.scale)) + c.dy;
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
    c.backend->text_out(c, x, y, text);
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
    if (own_pixels(c)) c.backend->copy_rect(c, to, src, from);
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
    c.backend->restore_rect(c, box, same);
}

namespace {

void picture_at(Canvas& c, int x, int y, const QImage& picture, std::int64_t key, ScaledPicture* cache) {
    if (picture.isNull()) return;
    if (record(c, x, y, i64{x} + picture.width(), i64{y} + picture.height(), 0)) return;
    if (own_pixels(c)) c.backend->picture(c, x, y, picture, key, cache);
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
    draw_resampled(c, x, y, picture, key, cache);
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
    if (painting(c)) c.backend->stretch_picture(c, to, picture);
}

}  // namespace quorrel
