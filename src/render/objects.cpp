#include "render/objects.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>

#include "model/numtext.h"
#include "model/units.h"
#include "render/canvas.h"
#include "render/frame.h"
#include "render/looks.h"
#include "render/vectors.h"

namespace quorrel {
namespace {

constexpr Colour SELECTION_RED = 0x0000FF;
// A strobe stamp is due when the time lies within this fraction of a step of
// its moment: the sum of many steps never hits it exactly.
constexpr double STROBE_WINDOW = 0.001;
// A block dropped beyond its host's edge is put back inside by this fraction of
// its own width (on a plank, on an incline).
constexpr double PLANK_EDGE_INSET = 0.02;
constexpr double INCLINE_EDGE_INSET = 0.01;

bool valid_host(const Model& m, int host, std::int32_t kind) {
    return host >= 0 && host < MAX_OBJECTS && m.objects[host].kind == kind;
}

// Places object i at its start position and draws its picture.
void place_and_draw(Model& m, Scene& s, int i) {
    MovingObject& o = m.objects[i];
    o.x = o.x0;
    o.y = o.y0;
    set_screen_position(m, o, o.x0, o.y0);
    draw_object_picture(m, s, i);
}

bool host_dragged(const Scene& s, int host) {
    return s.drag_state == DRAG_MOVING && s.drag_index == host;
}

// A block on a plank sits on its top face and stays within its length.
void seat_on_plank(Model& m, const Scene& s, int i) {
    MovingObject& b = m.objects[i];
    const MovingObject& h = m.objects[b.host];
    b.y0 = h.y0 + h.height / 2.0 + b.height / 2.0;
    if (host_dragged(s, b.host))
        b.x0 = h.x0 + b.rel_x;
    else
        b.rel_x = b.x0 - h.x0;
    if (h.x0 - h.width / 2.0 > b.x0) b.x0 = h.x0 - h.width / 2.0 + PLANK_EDGE_INSET * b.width;
    if (b.x0 > h.x0 + h.width / 2.0) b.x0 = h.x0 + h.width / 2.0 - PLANK_EDGE_INSET * b.width;
}

// A block on an incline: its centre half its height above the slope,
// measured perpendicular to it, and within the slope's extent. The incline's
// reference point is the centroid of its right triangle.
void seat_on_incline(Model& m, const Scene& s, int i) {
    MovingObject& b = m.objects[i];
    const MovingObject& h = m.objects[b.host];
    if (host_dragged(s, b.host)) {
        b.x0 = h.x0 + b.rel_x;
        b.y0 = h.y0 + b.rel_y;
    } else {
        b.rel_x = b.x0 - h.x0;
    }
    const double th = (b.orientation == 0 ? b.angle_a : b.angle_b) * DEG;
    const double Wd = h.width, Hd = h.height;
    const double half = b.height / 2.0;
    const double sh = std::sin(th) * half;
    if (b.orientation == 0) {
        if (h.x0 - 2.0 * Wd / 3.0 > b.x0 + sh) b.x0 = h.x0 - 2.0 * Wd / 3.0 - sh + INCLINE_EDGE_INSET * b.width;
        if (b.x0 + sh > h.x0 + Wd / 3.0) b.x0 = h.x0 + Wd / 3.0 - sh - INCLINE_EDGE_INSET * b.width;
        b.y0 = half / std::cos(th) + (h.y0 - Hd / 3.0) + std::tan(th) * (b.x0 - (h.x0 - 2.0 * Wd / 3.0));
    } else {
        if (h.x0 - Wd / 3.0 > b.x0 - sh) b.x0 = h.x0 - Wd / 3.0 + sh + INCLINE_EDGE_INSET * b.width;
        if (b.x0 - sh > h.x0 + 2.0 * Wd / 3.0) b.x0 = h.x0 + 2.0 * Wd / 3.0 + sh - INCLINE_EDGE_INSET * b.width;
        b.y0 = half / std::cos(th) + (h.y0 - Hd / 3.0) + std::tan(th) * ((h.x0 + 2.0 * Wd / 3.0) - b.x0);
    }
    b.rel_y = b.y0 - h.y0;
}

// dst := src as 32-bit pixels, reusing dst's buffer when the size matches.
void copy_into(QImage& dst, const QImage& src) {
    if (src.depth() != 32) {
        dst = src.convertToFormat(QImage::Format_RGB32);
        return;
    }
    if (dst.size() != src.size() || dst.format() != QImage::Format_RGB32 || !dst.isDetached()) {
        dst = QImage(src.size(), QImage::Format_RGB32);
    }
    copy_pixels(dst, 0, 0, src, src.rect());
}

// A faded copy of the object's picture, 0.55 picture over 0.45 scene, centred
// on (sx, sy) in scene_bitmap, where it stays for the rest of the run.
void stamp(Model& m, Scene& s, int i, int sx, int sy) {
    const MovingObject& o = m.objects[i];
    const QImage& pic = m.object_pictures[i];
    if (pic.isNull()) return;
    const int w = pic.width(), h = pic.height();
    const int left = sx - w / 2, top = sy - h / 2;
    if (!canvas_identity(s.scene_canvas)) {
        const std::int64_t key =
            o.transparent == 1 ? (static_cast<std::uint32_t>(o.transparent_colour) & 0xFFFFFFu) : -1;
        blend_picture(s.scene_canvas, left, top, pic, key, 0.55, &s.object_view[i]);
        return;
    }
    copy_into(s.stamp_a, pic);
    copy_into(s.stamp_b, pic);
    copy_pixels(s.stamp_b, 0, 0, s.scene_bitmap, QRect(left, top, 2 * (w / 2), 2 * (h / 2)));
    const bool transparent = o.transparent == 1;
    TouMing(0, 0, 0.55, s.stamp_a, transparent, o.transparent_colour, s.stamp_b);
    if (transparent)
        draw_transparent(s.scene_canvas, left, top, s.stamp_a, o.transparent_colour);
    else
        draw_picture(s.scene_canvas, left, top, s.stamp_a);
}

std::string g(const Model& m, double v) {
    return format_g(v, m.digits);
}

// A readout's number followed, when the scene shows units, by `unit`.
std::string g(const Model& m, const Scene& s, double v, const char* unit) {
    std::string text = g(m, v);
    if (s.show_units && unit != nullptr) text.append(" ").append(unit);
    return text;
}

// The height of one readout line.
constexpr int READOUT_LINE = 15;
// The gap between a stamp's picture and its readout.
constexpr int READOUT_GAP = 4;

// Two optional parts of one readout line.
std::string pair(bool first, const std::string& a, bool second, const std::string& b) {
    std::string line;
    if (first) line += a;
    if (second) line += b;
    return line;
}

// The lines of a strobe readout, at most one per pair of readout flags, and
// the box they fill.
constexpr std::size_t READOUT_LINES = 6;
struct Readout {
    QString lines[READOUT_LINES];
    int count = 0;
    QRect box;  // where they stand, READOUT_LINE apart
};

Readout readout_of(const Model& m, const Scene& s, int i, int sx, int sy) {
    const MovingObject& o = m.objects[i];
    const std::uint8_t* f = o.readout_flags;
    double x, y;
    object_position(m, i, x, y);
    const Polar v = vector_polar(o.vx, o.vy), a = vector_polar(o.ax, o.ay);
    // The directions carry their degree sign always, the other values their
    // units when the scene shows units.
    const char* metres = quantity_unit(Q_X);
    const char* speed = quantity_unit(Q_V);
    const char* acceleration = quantity_unit(Q_A);
    const std::string lines[] = {
        f[READ_T] ? "T = " + g(m, s, m.sim_time, TIME_UNIT) : std::string(),
        pair(f[READ_X], "x = " + g(m, s, x, metres), f[READ_Y], "   y = " + g(m, s, y, metres)),
        pair(f[READ_VX], "vx = " + g(m, s, o.vx, speed), f[READ_VY], "   vy = " + g(m, s, o.vy, speed)),
        pair(f[READ_V], "|v| = " + g(m, s, v.magnitude, speed), f[READ_V_ANGLE],
             "   v_θ = " + g(m, degrees(v.angle)) + "°"),
        pair(f[READ_AX], "ax = " + g(m, s, o.ax, acceleration), f[READ_AY], "   ay = " + g(m, s, o.ay, acceleration)),
        pair(f[READ_A], "|a| = " + g(m, s, a.magnitude, acceleration), f[READ_A_ANGLE],
             "   a_θ = " + g(m, degrees(a.angle)) + "°"),
    };
    static_assert(std::size(lines) == READOUT_LINES);
    Readout r;
    int width = 0;
    const QFontMetrics fm(s.fonts.measurement);
    for (const std::string& line : lines)
        if (!line.empty()) {
            r.lines[r.count] = QString::fromStdString(line);
            width = std::max(width, fm.horizontalAdvance(r.lines[r.count++]));
        }
    if (r.count == 0) return r;
    const QImage& pic = m.object_pictures[i];
    const QSize size(width, r.count * READOUT_LINE);
    r.box = QRect(readout_corner(o, std::max(pic.width(), pic.height()) / 2, sx, sy, size), size);
    return r;
}

void readouts(Model& m, Scene& s, int i, int sx, int sy) {
    const Readout r = readout_of(m, s, i, sx, sy);
    if (r.count == 0) return;
    for (Canvas* c : {&s.canvas, &s.scene_canvas}) {
        set_brush_clear(*c);
        set_font(*c, s.fonts.measurement, m.objects[i].trail_colour);
        for (int k = 0; k < r.count; ++k) text_out(*c, r.box.x(), r.box.y() + k * READOUT_LINE, r.lines[k]);
    }
}

}  // namespace

QRect strobe_readout_rect(const Model& m, const Scene& s, int i, int sx, int sy) {
    return readout_of(m, s, i, sx, sy).box;
}

QPoint readout_corner(const MovingObject& o, int half_size, int sx, int sy, QSize box) {
    // Screen y grows downwards.
    const double vx = o.vx, vy = -o.vy, ax = o.ax, ay = -o.ay;
    const double speed = std::hypot(vx, vy);
    double nx = 0.0, ny = -1.0;  // at rest: above the stamp
    if (speed > 0.0 && std::isfinite(speed)) {
        nx = -vy / speed;
        ny = vx / speed;
        // Away from the acceleration; without a bend, the upper side.
        const double bend = nx * ax + ny * ay;
        if (bend > 0.0 || (!(bend < 0.0) && (ny > 0.0 || (ny == 0.0 && nx > 0.0)))) {
            nx = -nx;
            ny = -ny;
        }
    }
    // The box's centre lies far enough along the normal that its nearest
    // corner keeps the gap from the stamp's edge and the velocity's line.
    const double hw = box.width() / 2.0, hh = box.height() / 2.0;
    const double reach = half_size + READOUT_GAP + std::fabs(nx) * hw + std::fabs(ny) * hh;
    const auto place = [&](double ux, double uy, double& left, double& top) {
        left = std::floor(sx + ux * reach - hw);
        top = std::floor(sy + uy * reach - hh);
        // Kept within the quadrant the normal points into, clear of the lines
        // through the stamp where the arrows of vx and vy lie; moving that way
        // only takes it further from the velocity's line.
        if (ux != 0.0 && left <= sx + READOUT_GAP && left + box.width() >= sx - READOUT_GAP)
            left = ux > 0.0 ? sx + READOUT_GAP + 1 : sx - READOUT_GAP - 1 - box.width();
        if (uy != 0.0 && top <= sy + READOUT_GAP && top + box.height() >= sy - READOUT_GAP)
            top = uy > 0.0 ? sy + READOUT_GAP + 1 : sy - READOUT_GAP - 1 - box.height();
    };
    double left, top;
    place(nx, ny, left, top);
    // A readout that would leave the picture over its top or left edge goes
    // to the other side.
    if (left < 0.0 || top < 0.0) place(-nx, -ny, left, top);
    return {trunc_px(left), trunc_px(top)};
}

void draw_object_picture(const Model& m, Scene& s, int i) {
    const MovingObject& o = m.objects[i];
    const QImage& pic = m.object_pictures[i];
    if (pic.isNull()) return;
    Look look;
    if (default_look(m, i, look)) {
        draw_default_look(m, s, i);
        return;
    }
    // Offsets come from the file: add them without overflow.
    const int x = trunc_px(static_cast<double>(o.screen_x) + o.picture_dx);
    const int y = trunc_px(static_cast<double>(o.screen_y) + o.picture_dy);
    if (o.transparent == 1)
        draw_transparent(s.canvas, x, y, pic, o.transparent_colour, &s.object_view[i]);
    else
        draw_picture(s.canvas, x, y, pic, &s.object_view[i]);
}

void Draw_obj(Model& m, Scene& s) {
    const int n = object_count(m);
    // Blocks whose host is no plank or incline are drawn like free bodies.
    auto on_plank = [&](int i) {
        return m.objects[i].kind == KIND_BLOCK && valid_host(m, m.objects[i].host, KIND_PLANK);
    };
    auto on_incline = [&](int i) {
        return m.objects[i].kind == KIND_BLOCK && valid_host(m, m.objects[i].host, KIND_INCLINE);
    };
    for (int i = 0; i < n; ++i)
        if (!on_plank(i) && !on_incline(i)) place_and_draw(m, s, i);
    for (int i = 0; i < n; ++i)
        if (on_plank(i)) seat_on_plank(m, s, i);
    for (int i = 0; i < n; ++i)
        if (on_incline(i)) seat_on_incline(m, s, i);
    for (int i = 0; i < n; ++i)
        if (on_plank(i)) place_and_draw(m, s, i);
    for (int i = 0; i < n; ++i)
        if (on_incline(i)) place_and_draw(m, s, i);
}

void trail_segment(void* ctx, int x0, int y0, int x1, int y1, std::int32_t colour, int width) {
    Canvas& c = static_cast<Scene*>(ctx)->scene_canvas;
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, colour, width);
    line(c, x0, y0, x1, y1);
}

void trail_segment_precise(void* ctx, double x0, double y0, double x1, double y1, Colour colour, int width) {
    Canvas& c = static_cast<Scene*>(ctx)->scene_canvas;
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, colour, width);
    line_f(c, x0, y0, x1, y1);
}

void draw_flash(Model& m, Scene& s) {
    const double t = m.sim_time;
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != KIND_NONE; ++i) {
        MovingObject& o = m.objects[i];
        const bool due =
            o.strobe_on == 1 && (std::fabs(o.next_strobe - t) < STROBE_WINDOW * m.settings.time_step || t == 0.0);
        if (!due) continue;
        if (t != 0.0) o.next_strobe += o.strobe_interval;
        double x, y;
        object_position(m, i, x, y);
        const ScreenXY p = to_screen(m, x, y);
        if (p.x >= -199 && p.x < 2000 && p.y >= -199 && p.y < 2000) stamp(m, s, i, p.x, p.y);
        strobe_motion_vectors(m, s, i, p.x, p.y);
        readouts(m, s, i, p.x, p.y);
        strobe_force_vectors(m, s, i, p.x, p.y);
    }
}

void draw_selection(const Model& m, Scene& s) {
    const int sel = m.settings.selected_object;
    if (m.running || sel < 0 || sel >= object_count(m)) return;
    const MovingObject& o = m.objects[sel];
    Canvas& c = s.canvas;
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, SELECTION_RED, m.settings.line_width);
    set_brush_clear(c);
    const int r = o.screen_radius;
    ellipse(c, o.screen_x - r, o.screen_y - r, o.screen_x + r, o.screen_y + r);
}

}  // namespace quorrel
