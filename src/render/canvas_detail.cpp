// The helpers the canvas's files share: access to the picture and the
// painter, clipping of far coordinates, box fills, pixel block copies and the
// noting of the boxes a primitive covers.
#include "render/canvas_detail.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

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

}  // namespace quorrel
