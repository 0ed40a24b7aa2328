#include "render/looks.h"

#include <QPoint>
#include <algorithm>
#include <cmath>

#include "model/ball_picture.h"
#include "model/mapping.h"
#include "model/vec.h"
#include "render/canvas.h"

namespace quorrel {
namespace {

// Colours 0x00BBGGRR.
constexpr Colour WARM_RED = 0x3C46E6;
constexpr Colour DARK_BLUE = 0xAA3C1E;
constexpr Colour BLOCK_FILL = 0x5096D6;
constexpr Colour PLANK_FILL = 0x4678AA;
constexpr Colour INCLINE_FILL = 0xB49678;
constexpr Colour LIGHT_EDGE = 0xF0F0F0;
constexpr Colour DARK_EDGE = 0x202020;
// A look larger than this many design pixels on a side is not drawn: a zero
// scale or a runaway size must not ask for endless scan lines.
constexpr double MAX_LOOK = 20000.0;

int channel(Colour c, int k) {
    return static_cast<int>((static_cast<std::uint32_t>(c) >> (8 * k)) & 0xFFu);
}

bool dark_background(const Model& m) {
    const Colour c = m.settings.background_colour;
    return 299 * channel(c, 0) + 587 * channel(c, 1) + 114 * channel(c, 2) < 128 * 1000;
}

// a + (b - a) * t per channel.
Colour mix(Colour a, Colour b, double t) {
    Colour out = 0;
    for (int k = 0; k < 3; ++k) {
        const double v = channel(a, k) + (channel(b, k) - channel(a, k)) * t;
        out |= static_cast<Colour>(std::clamp(static_cast<int>(std::lround(v)), 0, 255)) << (8 * k);
    }
    return out;
}

// The world offset (dx, dy) from object o's place, in design pixels.
QPointF at(const MovingObject& o, double scale, double dx, double dy) {
    return {o.screen_x + dx / scale, o.screen_y - dy / scale};
}

void polygon_look(Look& look, const QPointF* p, int n) {
    look.n = n;
    double l = p[0].x(), r = l, t = p[0].y(), b = t;
    for (int k = 0; k < n; ++k) {
        look.corner[k] = p[k];
        l = std::min(l, p[k].x());
        r = std::max(r, p[k].x());
        t = std::min(t, p[k].y());
        b = std::max(b, p[k].y());
    }
    look.box = QRectF(QPointF(l, t), QPointF(r, b));
}

// A rectangle w x h (world) centred on the object, turned by phi (radians,
// counter-clockwise in the world).
void rectangle_look(Look& look, const MovingObject& o, double scale, double w, double h, double phi) {
    const double c = std::cos(phi), s = std::sin(phi);
    const double hw = w / 2.0, hh = h / 2.0;
    const double ux[4] = {-hw, hw, hw, -hw}, uy[4] = {-hh, -hh, hh, hh};
    QPointF p[4];
    for (int k = 0; k < 4; ++k) p[k] = at(o, scale, ux[k] * c - uy[k] * s, ux[k] * s + uy[k] * c);
    polygon_look(look, p, 4);
}

// The incline's right triangle around its centroid: the base at y − h/3 from
// x − 2w/3 to x + w/3 (orientation 0, rising to the right) or from x − w/3 to
// x + 2w/3 (orientation 1, its mirror image).
void incline_look(Look& look, const MovingObject& o, double scale) {
    const double w = o.width, h = o.height;
    const double side = o.orientation == 0 ? 1.0 : -1.0;
    const QPointF p[3] = {at(o, scale, -side * 2.0 * w / 3.0, -h / 3.0), at(o, scale, side * w / 3.0, -h / 3.0),
                          at(o, scale, side * w / 3.0, 2.0 * h / 3.0)};
    polygon_look(look, p, 3);
}

// A block resting on an incline leans with its slope.
double block_tilt(const Model& m, const MovingObject& o) {
    if (o.host < 0 || o.host >= MAX_OBJECTS || m.objects[o.host].kind != KIND_INCLINE) return 0.0;
    const double th = (o.orientation == 0 ? o.angle_a : o.angle_b) * DEG;
    return o.orientation == 0 ? th : -th;
}

// Fills a convex polygon row by row: each pixel whose centre lies inside.
void fill_polygon(Canvas& c, const Look& look) {
    const int top = static_cast<int>(std::floor(look.box.top()));
    const int bottom = static_cast<int>(std::ceil(look.box.bottom()));
    for (int y = top; y < bottom; ++y) {
        const double cy = y + 0.5;
        double left = 1e300, right = -1e300;
        for (int k = 0; k < look.n; ++k) {
            const QPointF a = look.corner[k], b = look.corner[(k + 1) % look.n];
            if ((a.y() <= cy) == (b.y() <= cy)) continue;
            const double x = a.x() + (cy - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
            left = std::min(left, x);
            right = std::max(right, x);
        }
        // A row that meets no side (at a corner's height) has nothing to fill.
        if (!(left <= right)) continue;
        const int from = static_cast<int>(std::ceil(std::clamp(left, -1e9, 1e9) - 0.5));
        const int to = static_cast<int>(std::floor(std::clamp(right, -1e9, 1e9) - 0.5));
        if (from <= to) line(c, from, y, to + 1, y);
    }
}

// The polygon moved inwards by d on every side (a convex polygon): the
// corner between two sides goes along both inward normals n1, n2 by
// d (n1 + n2) / (1 + n1·n2).
Look inset(const Look& look, double d) {
    Look out = look;
    double turn = 0.0;  // the polygon's orientation decides which normal is inward
    for (int k = 0; k < look.n; ++k) {
        const QPointF a = look.corner[k], b = look.corner[(k + 1) % look.n];
        turn += a.x() * b.y() - b.x() * a.y();
    }
    const double sign = turn > 0.0 ? 1.0 : -1.0;
    const auto normal = [&](QPointF a, QPointF b) {
        const QPointF e = b - a;
        const double len = std::hypot(e.x(), e.y());
        return len > 0.0 ? QPointF(-e.y(), e.x()) * (sign / len) : QPointF();
    };
    for (int k = 0; k < look.n; ++k) {
        const QPointF prev = look.corner[(k + look.n - 1) % look.n], p = look.corner[k],
                      next = look.corner[(k + 1) % look.n];
        const QPointF n1 = normal(prev, p), n2 = normal(p, next);
        const double dot = 1.0 + n1.x() * n2.x() + n1.y() * n2.y();
        if (dot > 0.1) out.corner[k] = p + (n1 + n2) * (d / dot);
    }
    return out;
}

}  // namespace

Colour body_colour(const Model& m, int i) {
    const MovingObject& o = m.objects[i];
    if (o.ball_r == 0 && o.ball_g == 0 && o.ball_b == 0) return dark_background(m) ? WARM_RED : DARK_BLUE;
    const auto c = [](std::int32_t v) { return static_cast<Colour>(std::clamp(v, 0, 255)); };
    return c(o.ball_r) | c(o.ball_g) << 8 | c(o.ball_b) << 16;
}

bool default_look(const Model& m, int i, Look& look) {
    const MovingObject& o = m.objects[i];
    if (!is_generated_picture(m.object_pictures[i])) return false;
    const double scale = m.settings.scale;
    if (!(scale > 0.0) || !std::isfinite(scale)) return false;
    look = Look();
    switch (o.kind) {
        case KIND_BODY: {
            if (o.picture_dx != 0 || o.picture_dy != 0) return false;
            const int b = ball_half_size(m, i);
            look.disc = true;
            look.box = QRectF(o.screen_x - b, o.screen_y - b, 2 * b, 2 * b);
            return true;
        }
        case KIND_BLOCK:
            rectangle_look(look, o, scale, o.width, o.height, block_tilt(m, o));
            break;
        case KIND_PLANK:
            rectangle_look(look, o, scale, o.width, o.height, 0.0);
            break;
        case KIND_INCLINE:
            incline_look(look, o, scale);
            break;
        default:
            return false;
    }
    const QRectF& r = look.box;
    return std::isfinite(r.left()) && std::isfinite(r.right()) && std::isfinite(r.top()) && std::isfinite(r.bottom()) &&
           r.width() <= MAX_LOOK && r.height() <= MAX_LOOK && std::fabs(r.left()) < PIXEL_LIMIT &&
           std::fabs(r.top()) < PIXEL_LIMIT;
}

QRect look_bounds(const Look& look) {
    const QRectF& r = look.box;
    const int l = static_cast<int>(std::floor(r.left())), t = static_cast<int>(std::floor(r.top()));
    return {l, t, std::max(1, static_cast<int>(std::ceil(r.right())) - l),
            std::max(1, static_cast<int>(std::ceil(r.bottom())) - t)};
}

void draw_default_look(const Model& m, Scene& s, int i) {
    Look look;
    if (!default_look(m, i, look)) return;
    Canvas& c = s.canvas;
    const bool dark = dark_background(m);
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    const QRect r = look_bounds(look);
    if (look.disc) {
        // Shaded: rings lighter towards a highlight up and to the left.
        const Colour base = body_colour(m, i);
        set_pen(c, mix(base, 0, 0.35), 1);
        set_brush(c, base);
        ellipse(c, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        const double b = r.width() / 2.0;
        for (int k = 1; k <= 3; ++k) {
            const double rk = b * (1.0 - 0.25 * k), shift = (b - rk) * 0.5;
            const Colour shade = mix(base, 0xFFFFFF, 0.16 * k);
            set_pen(c, shade, 1);
            set_brush(c, shade);
            const double cx = r.left() + b - shift, cy = r.top() + b - shift;
            ellipse(c, static_cast<int>(std::lround(cx - rk)), static_cast<int>(std::lround(cy - rk)),
                    static_cast<int>(std::lround(cx + rk)), static_cast<int>(std::lround(cy + rk)));
        }
        return;
    }
    const std::int32_t kind = m.objects[i].kind;
    const Colour fill = kind == KIND_BLOCK ? BLOCK_FILL : kind == KIND_PLANK ? PLANK_FILL : INCLINE_FILL;
    const Colour edge = dark ? LIGHT_EDGE : DARK_EDGE;
    set_pen(c, fill, 1);
    // Scaled, the rows of the fill are bands of whole design pixels while the
    // outline is smoothed: the fill stays within the outline's width so its
    // steps do not show along a slanted side.
    fill_polygon(c, canvas_identity(c) ? look : inset(look, 0.75));
    // The outline runs through the pixels at the fill's edge: a corner right
    // of or below the middle lands on the last pixel the fill covers.
    QPoint ring[5];
    const QPointF mid = look.box.center();
    for (int k = 0; k <= look.n; ++k) {
        const QPointF p = look.corner[k % look.n];
        const auto edge = [](double v, double centre) {
            return static_cast<int>(std::lround(v)) - (v > centre ? 1 : 0);
        };
        ring[k] = QPoint(edge(p.x(), mid.x()), edge(p.y(), mid.y()));
    }
    set_pen(c, edge, 1);
    polyline(c, ring, look.n + 1);
}

}  // namespace quorrel
