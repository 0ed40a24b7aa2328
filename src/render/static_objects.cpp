#include "render/static_objects.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "model/mapping.h"
#include "model/vec.h"
#include "render/canvas.h"
#include "render/fonts.h"

namespace quorrel {
namespace {

using i64 = std::int64_t;

constexpr Colour G_ARROW = 0xC8C8C8;
constexpr Colour G_LETTER = 0x64FAFA;
constexpr Colour Z_OUTLINE = 0x647878;
constexpr Colour Z_DOT = 0x646464;
constexpr Colour M_CIRCLE = 0x64C8C8;
constexpr Colour M_LETTER = 0xFFFFFF;
constexpr Colour E_CIRCLE = 0xFA9696;
constexpr Colour E_SIGN = 0xFFC8C8;
constexpr Colour EA_OUTLINE = 0xFAA0A0;
constexpr Colour EA_LINE = 0xFAB4B4;
constexpr Colour EA_ARROW = 0x78FA78;
constexpr Colour BA_OUTLINE = 0x78EBB4;
constexpr Colour BA_SYMBOL = 0xB4B4B4;
constexpr Colour TRACK_WIDE = 0x64C8C8;
constexpr Colour TRACK_NARROW = 0x96FAFA;

// Hatching and lattice spacing in pixels.
constexpr double STEP = 20.0;
// How far beyond the picture a hatch line or symbol can still show a pixel.
constexpr double MARGIN = 20.0;
// Z dots are one per thousand square pixels; a region so large that it would
// need more than this many gets only this many.
constexpr i64 MAX_Z_DOTS = 1 << 16;
// The dots' generator starts from this seed for every region, so a scene
// looks the same each time it is drawn.
constexpr std::uint32_t Z_SEED = 20011;

// A scale that maps world lengths to finite pixel lengths.
bool scale_usable(const Settings& st) {
    return std::isfinite(st.scale) && st.scale != 0.0;
}

int px(const Settings& st, double x) {
    return trunc_px(world_px(st, x));
}
int py(const Settings& st, double y) {
    return trunc_px(world_py(st, y));
}

// Copy mode, solid pen of the given colour in `line_width`, clear brush.
void outline_pen(Canvas& c, const Settings& st, Colour colour) {
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, colour, st.line_width);
    set_brush_clear(c);
}

// First index k >= 0 with start + STEP * k >= lo (start and lo finite).
i64 first_index(double start, double lo) {
    if (start >= lo) return 0;
    return static_cast<i64>(std::ceil((lo - start) / STEP));
}

// Arrowhead at (x, y): a 15-pixel barb toward each of the angles b1 and b2,
// measured back from the tip.
void d_line(Canvas& c, int x, int y, double b1, double b2) {
    set_pen_colour(c, EA_ARROW);
    for (const double b : {b1, b2}) {
        line(c, trunc_px(x - 15.0 * std::cos(b)), trunc_px(y + 15.0 * std::sin(b)), x, y);
    }
}

// Oblique hatch lines cross the box (width W, height H) along
// u / o + v / r = k, with u measured from the start corner's vertical edge
// and v down from the top; k = 1 .. count + n - 1.
struct Hatch {
    double o, r;
    double W, H;
};

// Upper and lower ends of hatch line k in (u, v).
void hatch_ends(const Hatch& h, double k, double& u_up, double& v_up, double& u_lo, double& v_lo) {
    if (k * h.o <= h.W) {
        u_up = k * h.o;  // crosses the top edge
        v_up = 0.0;
    } else {
        u_up = h.W;  // crosses the far vertical edge
        v_up = (k - h.W / h.o) * h.r;
    }
    if (k * h.r <= h.H) {
        u_lo = 0.0;  // crosses the near vertical edge
        v_lo = k * h.r;
    } else {
        u_lo = (k - h.H / h.r) * h.o;  // crosses the bottom edge
        v_lo = h.H;
    }
}

// Field lines of direction th (radians) across the box, steps o and r along
// its border; only the lines that can reach the picture are visited.
void oblique_hatch(Canvas& c, int left, int top, int right, int bottom, double th, const QRect& pic) {
    const double sn = std::sin(th), cs = std::cos(th), t = std::fabs(std::tan(th));
    double o = STEP, r = STEP;
    if (sn * sn > 0.5)
        r = std::trunc(t * STEP);
    else
        o = std::trunc(STEP / t);
    if (!(o >= 1.0 && r >= 1.0)) return;  // NaN
    const Hatch h{o, r, static_cast<double>(right) - left, static_cast<double>(bottom) - top};
    if (!(h.W > 0.0 && h.H > 0.0)) return;  // corners given the other way round: no lines
    const double count = std::floor(h.W / o), n = std::floor(h.H / r);
    const double k_last = count + n - 1.0;

    // Lines start from the left corner when the direction rises to the right
    // (or falls to the left), else from the right corner.
    const bool from_left = sn * cs > 0.0;
    const double near_x = from_left ? left : right;
    const double dir = from_left ? 1.0 : -1.0;
    // k over the picture (with a margin) is bounded by its corners' values.
    const double u_a = dir * (pic.left() - MARGIN - near_x), u_b = dir * (pic.right() + 1 + MARGIN - near_x);
    const double v_min = pic.top() - MARGIN - top, v_max = pic.bottom() + 1 + MARGIN - top;
    const double k_lo = std::min(u_a, u_b) / o + v_min / r, k_hi = std::max(u_a, u_b) / o + v_max / r;
    const double k_from = std::max(1.0, std::floor(k_lo)), k_to = std::min(k_last, std::ceil(k_hi));

    for (double k = k_from; k <= k_to; k += 1.0) {
        double u_up, v_up, u_lo, v_lo;
        hatch_ends(h, k, u_up, v_up, u_lo, v_lo);
        const int xu = trunc_px(near_x + dir * u_up), yu = trunc_px(top + v_up);
        const int xl = trunc_px(near_x + dir * u_lo), yl = trunc_px(top + v_lo);
        set_pen_colour(c, EA_LINE);
        line(c, xl, yl, xu, yu);
        if (sn > 0.0)
            d_line(c, xu, yu, th - 10.0 * DEG, th + 10.0 * DEG);
        else
            d_line(c, xl, yl, th - 10.0 * DEG, th + 10.0 * DEG);
    }
}

// Outline of a field region and its field lines in direction phi (degrees),
// 20 pixels apart, each with an arrowhead at its downstream end.
void z_line(Canvas& c, int left, int top, double phi, int bottom, int right, const QRect& pic) {
    set_brush_clear(c);
    set_pen_colour(c, EA_OUTLINE);
    rectangle(c, left, top, right, bottom);
    const double th = phi * PI / 180.0;
    if (!std::isfinite(th)) return;
    const double b1 = th - 10.0 * DEG, b2 = th + 10.0 * DEG;

    if (th == 0.0 || std::fabs(th - PI) < 0.001) {
        const double end = std::min(static_cast<double>(bottom), pic.bottom() + 1 + MARGIN);
        for (i64 k = std::max<i64>(1, first_index(top, pic.top() - MARGIN));; ++k) {
            const double y = top + STEP * static_cast<double>(k);
            if (!(y < end)) break;
            const int yi = static_cast<int>(y);
            set_pen_colour(c, EA_LINE);
            line(c, right, yi, left, yi);
            d_line(c, th == 0.0 ? right : left, yi, b1, b2);
        }
        return;
    }
    const bool up = std::fabs(th - PI / 2) < 0.001;
    if (up || std::fabs(th - 3 * PI / 2) < 0.001) {
        const double end = std::min(static_cast<double>(right), pic.right() + 1 + MARGIN);
        for (i64 k = std::max<i64>(1, first_index(left, pic.left() - MARGIN));; ++k) {
            const double x = left + STEP * static_cast<double>(k);
            if (!(x < end)) break;
            const int xi = static_cast<int>(x);
            set_pen_colour(c, EA_LINE);
            line(c, xi, bottom, xi, top);
            d_line(c, xi, up ? top : bottom, b1, b2);
        }
        return;
    }
    oblique_hatch(c, left, top, right, bottom, th, pic);
}

// A dot (tiny ring) or a cross of a magnetic field region at (u, v).
void ba_symbol(Canvas& c, double u, double v, bool dot) {
    if (dot) {
        ellipse(c, trunc_px(u - 1), trunc_px(v - 1), trunc_px(u + 1), trunc_px(v + 1));
        return;
    }
    line(c, trunc_px(u), trunc_px(v), trunc_px(u + 7), trunc_px(v - 7));
    line(c, trunc_px(u), trunc_px(v - 6), trunc_px(u + 7), trunc_px(v + 1));
}

// Symbols on the 20-pixel lattice from (u0, v0) while u < u_end and v < v_end,
// limited to the picture; `radius` > 0 keeps only points closer than it to
// the centre (cx, cy).
void ba_lattice(Canvas& c, double u0, double v0, double u_end, double v_end, bool dot, double cx, double cy,
                double radius, const QRect& pic) {
    if (!(std::isfinite(u0) && std::isfinite(v0) && std::isfinite(u_end) && std::isfinite(v_end))) return;
    u_end = std::min(u_end, pic.right() + 1 + MARGIN);
    v_end = std::min(v_end, pic.bottom() + 1 + MARGIN);
    const i64 j0 = first_index(v0, pic.top() - MARGIN);
    for (i64 i = first_index(u0, pic.left() - MARGIN);; ++i) {
        const double u = u0 + STEP * static_cast<double>(i);
        if (!(u < u_end)) break;
        for (i64 j = j0;; ++j) {
            const double v = v0 + STEP * static_cast<double>(j);
            if (!(v < v_end)) break;
            if (radius > 0.0 && !(length(u - cx, v - cy) < radius)) continue;
            ba_symbol(c, u, v, dot);
        }
    }
}

// The two strokes of a track: wide and dark, then narrow and light.
void track_pens(Canvas& c, const Settings& st, bool wide) {
    if (wide)
        set_pen(c, TRACK_WIDE, 2);
    else
        set_pen(c, TRACK_NARROW, st.line_width);
}

}  // namespace

void Draw_G(const Model& m, Scene& s) {
    if (!m.settings.use_gravity) return;
    Canvas& c = s.canvas;
    outline_pen(c, m.settings, G_ARROW);
    line(c, 30, 40, 30, 80);
    line(c, 30, 80, 26, 70);
    line(c, 30, 80, 34, 70);
    set_font(c, scene_font("Arial", 18), G_LETTER);
    text_out(c, 10, 50, QStringLiteral("G"));
}

void Draw_Z(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    if (!scale_usable(st)) return;
    Canvas& c = s.canvas;
    outline_pen(c, st, Z_OUTLINE);
    for (int i = 0; i < MAX_ELEMENTS && m.Z.rec[i].coefficient != 0.0; ++i) {
        const ZRegion& z = m.Z.rec[i];
        set_pen_colour(c, Z_OUTLINE);
        rectangle(c, px(st, z.x1), py(st, z.y2), px(st, z.x2), py(st, z.y1));

        const double w = std::fabs(z.x1 - z.x2) / st.scale, h = std::fabs(z.y1 - z.y2) / st.scale;
        const double wanted = w * h * 0.001;
        if (!(wanted >= 1.0)) continue;  // also NaN
        const i64 dots = wanted < static_cast<double>(MAX_Z_DOTS) ? static_cast<i64>(wanted) : MAX_Z_DOTS;
        // Random offsets below trunc(w) and trunc(h - 1); 0 when that is 0.
        const auto range = [](double v) -> std::uint64_t {
            return v >= 1.0 ? static_cast<std::uint64_t>(std::min(v, PIXEL_LIMIT)) : 0;
        };
        const std::uint64_t iw = range(w), ih = range(h - 1.0);
        const double x0 = world_px(st, z.x1), y0 = world_py(st, z.y2);
        std::minstd_rand rng(Z_SEED);
        for (i64 d = 0; d < dots; ++d) {
            const std::uint64_t a = iw != 0 ? rng() % iw : 0;
            const std::uint64_t b = ih != 0 ? rng() % ih : 0;
            set_pixel(c, trunc_px(x0 + static_cast<double>(a)), trunc_px(y0 + static_cast<double>(b)), Z_DOT);
        }
    }
}

void Draw_M(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    if (!scale_usable(st) || m.M.rec[0].mass == 0.0) return;
    Canvas& c = s.canvas;
    outline_pen(c, st, M_CIRCLE);
    set_font(c, scene_font("Arial", 14), M_LETTER);
    for (int i = 0; i < MAX_ELEMENTS && m.M.rec[i].mass != 0.0; ++i) {
        const ScreenXY p = to_screen_trunc(m, m.M.rec[i].x, m.M.rec[i].y);
        ellipse(c, p.x - 6, p.y - 6, p.x + 6, p.y + 6);
        text_out(c, p.x - 3, p.y - 9, QStringLiteral("m"));
    }
}

void Draw_E(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    if (!scale_usable(st) || m.E.rec[0].charge == 0.0) return;
    Canvas& c = s.canvas;
    outline_pen(c, st, E_CIRCLE);
    set_font(c, scene_font("Arial", 18), E_SIGN);
    for (int i = 0; i < MAX_ELEMENTS && m.E.rec[i].charge != 0.0; ++i) {
        const FixedCharge& e = m.E.rec[i];
        const ScreenXY p = to_screen_trunc(m, e.x, e.y);
        ellipse(c, p.x - 6, p.y - 6, p.x + 6, p.y + 6);
        // The underscore is lifted to mid-height to serve as a minus sign.
        if (e.charge > 0.0)
            text_out(c, p.x - 4, p.y - 8, QStringLiteral("+"));
        else if (e.charge < 0.0)
            text_out(c, p.x - 3, p.y - 17, QStringLiteral("_"));
    }
}

void Draw_EA(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    if (!scale_usable(st)) return;
    Canvas& c = s.canvas;
    outline_pen(c, st, EA_OUTLINE);
    for (int i = 0; i < MAX_ELEMENTS && m.EA.rec[i].strength != 0.0; ++i) {
        const ElectricField& f = m.EA.rec[i];
        double phi = f.direction * 180.0 / PI;
        // A negative strength turns the field lines round.
        if (!(f.strength > 0.0)) phi += f.direction > 0.0 ? -180.0 : 180.0;
        z_line(c, px(st, f.x1), py(st, f.y2), phi, py(st, f.y1), px(st, f.x2), design_area(c));
    }
}

void Draw_BA(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    if (!scale_usable(st)) return;
    Canvas& c = s.canvas;
    outline_pen(c, st, BA_OUTLINE);
    const QRect pic = design_area(c);
    for (int i = 0; i < MAX_ELEMENTS && m.BA.rec[i].induction != 0.0; ++i) {
        const MagneticField& b = m.BA.rec[i];
        const bool round = std::fabs(b.shape) >= 5.0;
        set_pen_colour(c, BA_OUTLINE);
        if (round)
            ellipse(c, px(st, b.x1), py(st, b.y2), px(st, b.x2), py(st, b.y1));
        else
            rectangle(c, px(st, b.x1), py(st, b.y2), px(st, b.x2), py(st, b.y1));

        set_pen_colour(c, BA_SYMBOL);
        const bool dot = b.shape * b.induction >= 0.0;
        const double u0 = world_px(st, b.x1), v0 = world_py(st, b.y2);
        const double u1 = world_px(st, b.x2), v1 = world_py(st, b.y1);
        if (round) {
            const double radius = (b.x2 - b.x1) / 2.0 / st.scale - 5.0;
            if (radius > 0.0) ba_lattice(c, u0, v0, u1, v1, dot, (u0 + u1) / 2.0, (v0 + v1) / 2.0, radius, pic);
        } else {
            ba_lattice(c, u0 + 5.0, v0 + 10.0, u1 - 10.0, v1 - 10.0, dot, 0.0, 0.0, 0.0, pic);
        }
    }
}

void Draw_TB(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    Canvas& c = s.canvas;
    if (scale_usable(st)) {
        outline_pen(c, st, TRACK_WIDE);
        for (int i = 0; i < MAX_ELEMENTS && (m.TB.rec[i].a != 0.0 || m.TB.rec[i].b != 0.0); ++i) {
            const StraightTrack& t = m.TB.rec[i];
            const ScreenXY a = to_screen_trunc(m, t.x1, t.y1), b = to_screen_trunc(m, t.x2, t.y2);
            for (const bool wide : {true, false}) {
                track_pens(c, st, wide);
                line(c, a.x, a.y, b.x, b.y);
            }
        }
    }
    set_pen_width(c, st.line_width);
}

void Draw_CT(const Model& m, Scene& s) {
    const Settings& st = m.settings;
    Canvas& c = s.canvas;
    if (scale_usable(st)) {
        outline_pen(c, st, TRACK_WIDE);
        // Every slot is looked at; one without a radius holds no track and
        // would only leave a stray ring at the origin.
        for (const ArcTrack& t : m.CT.rec) {
            if (t.radius == 0.0) continue;
            const double cx = world_px(st, t.cx), cy = world_py(st, t.cy), rp = t.radius / st.scale;
            const int left = trunc_px(cx - rp), top = trunc_px(cy - rp);
            const int right = trunc_px(cx + rp + 2), bottom = trunc_px(cy + rp + 2);
            const int xs = trunc_px(cx + 1000.0 * std::cos(t.start_angle));
            const int ys = trunc_px(cy - 1000.0 * std::sin(t.start_angle));
            const int xe = trunc_px(cx + 1000.0 * std::cos(t.end_angle));
            const int ye = trunc_px(cy - 1000.0 * std::sin(t.end_angle));
            for (const bool wide : {true, false}) {
                track_pens(c, st, wide);
                arc(c, left, top, right, bottom, xs, ys, xe, ye);
            }
        }
    }
    set_pen_width(c, st.line_width);
}

}  // namespace quorrel
