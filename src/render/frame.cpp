#include "render/frame.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/numtext.h"
#include "render/annotations.h"
#include "render/connectors.h"
#include "render/graphs.h"
#include "render/legend.h"
#include "render/measurements.h"
#include "render/objects.h"
#include "render/points.h"
#include "render/static_objects.h"
#include "render/vectors.h"

namespace quorrel {
namespace {

Colour scale_channels(Colour c, int num, int den) {
    const auto u = static_cast<std::uint32_t>(c);
    const std::uint32_t r = (u & 0xFF) * num / den, g = ((u >> 8) & 0xFF) * num / den,
                        b = ((u >> 16) & 0xFF) * num / den;
    return static_cast<Colour>(r | (g << 8) | (b << 16));
}

// The design pixels the coordinate system covers: the picture's area, and
// for the loops' ends the main window's right and bottom edges (beyond the
// picture at the design size, as the window is larger than Image1).
struct Extent {
    std::int64_t left, top;       // first visible design pixel
    std::int64_t right, bottom;   // lines run to here (excluded)
    std::int64_t last_x, last_y;  // the loops stop past these
};

Extent extent(const Scene& s) {
    const Canvas& c = s.canvas;
    const QRect area = design_area(c);
    const View& v = s.view;
    const auto design = [&](double screen, int d) {
        return static_cast<std::int64_t>(std::floor((screen * v.pixel_ratio - d) / c.scale));
    };
    return {area.left(),
            area.top(),
            std::int64_t{area.right()} + 1,
            std::int64_t{area.bottom()} + 1,
            std::max<std::int64_t>(area.right() + 1, design(s.window_width, c.dx)),
            std::max<std::int64_t>(area.bottom() + 1, design(s.window_height, c.dy))};
}

// First k >= k_min with origin + step * k >= lo: lines left of or above the
// picture are skipped anyway, and a far-off origin must not make the loop long.
std::int64_t first_visible(std::int64_t origin, int step, std::int64_t k_min, std::int64_t lo) {
    const std::int64_t d = lo - origin;  // k >= d / step, rounded up
    const std::int64_t k = d >= 0 ? (d + step - 1) / step : -((-d) / step);
    return std::max(k, k_min);
}

int px(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
}

// Vertical lines x = origin_x + step * k and horizontal lines likewise, from
// k = k_min, while the position does not pass the window's size; each runs
// across the whole picture.
void grid_lines(const Model& m, Scene& s, int step, std::int64_t k_min) {
    Canvas& c = s.canvas;
    const Extent e = extent(s);
    const std::int64_t ox = m.settings.origin_x, oy = m.settings.origin_y;
    for (std::int64_t k = first_visible(ox, step, k_min, e.left);; ++k) {
        const std::int64_t x = ox + step * k;
        if (x > e.last_x) break;
        line(c, px(x), px(e.top), px(x), px(e.bottom));
    }
    for (std::int64_t k = first_visible(oy, step, k_min, e.top);; ++k) {
        const std::int64_t y = oy + step * k;
        if (y > e.last_y) break;
        line(c, px(e.left), px(y), px(e.right), px(y));
    }
}

void axis_lines(const Model& m, Scene& s) {
    const Extent e = extent(s);
    const Settings& st = m.settings;
    line(s.canvas, st.origin_x, px(e.top), st.origin_x, px(e.bottom));
    line(s.canvas, px(e.left), st.origin_y, px(e.right), st.origin_y);
}

void axis_labels(const Model& m, Scene& s) {
    Canvas& c = s.canvas;
    const Settings& st = m.settings;
    const Extent e = extent(s);
    set_font(c, s.fonts.axis, st.axes_colour);
    // Labels more than this far left of or above the picture cannot show.
    constexpr std::int64_t MARGIN = 1000;
    const std::int64_t ox = st.origin_x, oy = st.origin_y;
    for (std::int64_t k = first_visible(ox, 100, -20, e.left - MARGIN);; ++k) {
        const std::int64_t x = ox + 100 * k;
        if (x > e.last_x) break;
        const double value = static_cast<double>(k) * st.scale * 100.0;
        text_out(c, static_cast<int>(x - 10), static_cast<int>(oy + 3),
                 QString::fromStdString(format_g(value, m.digits)));
    }
    for (std::int64_t k = first_visible(oy, 100, -20, e.top - MARGIN);; ++k) {
        const std::int64_t y = oy + 100 * k;
        if (y > e.last_y) break;
        if (k == 0) continue;
        const double value = static_cast<double>(-k) * st.scale * 100.0;
        text_out(c, static_cast<int>(ox + 3), static_cast<int>(y - 8),
                 QString::fromStdString(format_g(value, m.digits)));
    }
}

// The static elements in drawing order, each with the drag that moves it.
struct StaticElement {
    int drag_state;
    void (*draw)(const Model&, Scene&);
};
constexpr StaticElement STATIC_ELEMENTS[] = {{DRAG_Z, Draw_Z},   {DRAG_M, Draw_M},   {DRAG_E, Draw_E},
                                             {DRAG_EA, Draw_EA}, {DRAG_BA, Draw_BA}, {DRAG_TB, Draw_TB},
                                             {DRAG_CT, Draw_CT}};

void ensure_rgb32(QImage& image) {
    if (!image.isNull() && image.depth() != 32) image.convertTo(QImage::Format_RGB32);
}

// What every picture of the scene draws over the graphs, in this order:
// springs, ropes and rods, points and readings, the object pictures (with
// Draw_obj, which also places blocks on their hosts, or as they stand), live
// vectors and the vector legend.
enum class Blocks { Place, AsTheyStand };
void draw_over_graphs(Model& m, Scene& s, Blocks blocks) {
    frame_connectors(m, s, 0);
    frame_points_and_readings(m, s, 0);
    if (blocks == Blocks::Place)
        Draw_obj(m, s);
    else
        frame_object_pictures(m, s);
    Draw_obj_v(m, s, 0);
    draw_legend(m, s);
}

}  // namespace

void Draw_Cross(const Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    const Settings& st = m.settings;
    if (c.measuring) return;  // it spans every picture: not part of the content
    set_pen_style(c, PenStyle::Solid);
    if (mode == 1) {
        set_pen_mode(c, PenMode::Xor);
        set_pen(c, 0xB4B4B4, st.line_width);
        const Extent e = extent(s);
        line(c, px(e.left), st.origin_y, px(e.right), st.origin_y);
        line(c, st.origin_x, px(e.top), st.origin_x, px(e.bottom));
        set_pen_mode(c, PenMode::Copy);
        return;
    }
    set_brush_clear(c);
    set_pen_mode(c, PenMode::Copy);
    set_pen_width(c, st.line_width);
    if (st.show_fine_grid) {
        set_pen_colour(c, scale_channels(st.axes_colour, 1, 3));
        grid_lines(m, s, 10, -200);
    }
    if (st.show_grid) {
        set_pen_colour(c, scale_channels(st.axes_colour, 2, 3));
        grid_lines(m, s, 100, -20);
    }
    if (!st.show_axes) return;
    set_pen(c, st.axes_colour, 2);
    axis_lines(m, s);
    set_pen_width(c, st.line_width);
    axis_labels(m, s);
}

int TouMing(int column, int row, double factor, QImage& foreground, bool transparent, Colour key, QImage& background) {
    ensure_rgb32(foreground);
    ensure_rgb32(background);
    if (foreground.isNull() || background.isNull()) return 0;
    const std::uint32_t k = to_rgb(key) & 0x00FFFFFFu;
    const double keep = 1.0 - factor;
    auto mix = [&](std::uint32_t b, std::uint32_t f) -> std::uint32_t {
        const double v = static_cast<double>(b) * keep + static_cast<double>(f) * factor;
        if (!(v >= 0.0)) return 0;  // also NaN from a damaged factor
        return v >= 255.0 ? 255u : static_cast<std::uint32_t>(v);
    };
    for (int i = 0; i < foreground.height(); ++i) {
        const int by = i + row;
        if (by < 0 || by >= background.height()) continue;
        auto* f = reinterpret_cast<std::uint32_t*>(foreground.scanLine(i));
        const auto* b = reinterpret_cast<const std::uint32_t*>(background.constScanLine(by));
        for (int j = 0; j < foreground.width(); ++j) {
            const int bx = j + column;
            if (bx < 0 || bx >= background.width()) continue;
            const std::uint32_t F = f[j], B = b[bx];
            if (transparent && (F & 0x00FFFFFFu) == k) continue;
            const std::uint32_t r = mix((B >> 16) & 0xFF, (F >> 16) & 0xFF);
            const std::uint32_t g = mix((B >> 8) & 0xFF, (F >> 8) & 0xFF);
            const std::uint32_t bl = mix(B & 0xFF, F & 0xFF);
            f[j] = (F & 0xFF000000u) | (r << 16) | (g << 8) | bl;
        }
    }
    return 0;
}

void fill_scene_background(const Model& m, Scene& s) {
    Canvas& c = s.canvas;
    if (c.measuring) return;  // the ground is not part of the content
    const Colour bg = m.settings.background_colour;
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen_colour(c, bg);
    set_brush(c, bg);
    const QRect area = design_area(c);
    fill_rect(c, area.left(), area.top(), area.right() + 1, area.bottom() + 1);
}

void draw_background_picture(const Model& m, Scene& s) {
    const QImage& pic = m.background_picture;
    if (pic.isNull() || s.canvas.measuring) return;
    // Centred in and stretched over what the picture shows.
    const QRect area = design_area(s.canvas);
    const int W = area.width(), H = area.height();
    switch (m.settings.background_mode) {
        case 1:
            draw_picture(s.canvas, 0, 0, pic);
            break;
        case 2:
            // Each half cut toward zero on its own, as integer division does.
            draw_picture(s.canvas, area.left() + (W - pic.width()) / 2, area.top() + (H - pic.height()) / 2, pic);
            break;
        case 3:
            stretch_picture(s.canvas, area, pic);
            break;
        default:
            break;
    }
}

void prepare_scene_ground(const Model& m, Scene& s) {
    fill_scene_background(m, s);
    draw_background_picture(m, s);
}

void draw_static_layers(const Model& m, Scene& s) {
    Draw_Cross(m, s, 0);
    Draw_zhu_shi_s(m, s);
    Draw_G(m, s);
    draw_static_elements(m, s);
}

void prepare_static_scene(Model& m, Scene& s) {
    draw_static_layers(m, s);
    copy_whole(s.scene_canvas, s.image1);
}

void build_static_scene(Model& m, Scene& s) {
    prepare_scene_ground(m, s);
    prepare_static_scene(m, s);
}

void prepare_dynamic_scene(Model& m, Scene& s) {
    Draw_fun_graph(m, s);
    draw_over_graphs(m, s, Blocks::Place);
}

void draw_static_elements(const Model& m, Scene& s, StaticDrag which, int drag_state) {
    const bool origin = drag_state == DRAG_ORIGIN;  // the origin moves them all
    for (const StaticElement& e : STATIC_ELEMENTS) {
        const bool moving = origin || e.drag_state == drag_state;
        if (which == StaticDrag::All || moving == (which == StaticDrag::Moving)) e.draw(m, s);
    }
}

void frame_connectors(const Model& m, Scene& s, int mode) {
    Draw_TH(m, s, mode);
    Draw_E_TH(m, s, mode);
    Draw_SH(m, s, mode);
    Draw_E_SH(m, s, mode);
    Draw_GAN(m, s, mode);
    Draw_E_GAN(m, s, mode);
}

void frame_points_and_readings(Model& m, Scene& s, int mode) {
    Draw_gu_ding_dian(m, s);
    Draw_gdd_v(m, s, mode);
    Draw_du_lianxian(m, s, mode);
    Draw_du_liang(m, s, mode);
    Draw_zhu_shi(m, s, mode);
}

void frame_object_pictures(const Model& m, Scene& s) {
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != KIND_NONE; ++i) draw_object_picture(m, s, i);
}

std::string time_readout(const Model& m) {
    return "  t = " + format_g(m.sim_time, m.digits);
}

namespace {

// Image1 := scene_bitmap within the dirty boxes, leaving out what the opaque
// graphs drawn next cover.
void restore_around_graphs(const Model& m, Scene& s) {
    QRect holes[MAX_GRAPHS];
    const int n = opaque_graph_boxes(m, s, holes);
    const DirtyBoxes& d = s.dirty;
    if (d.all)
        copy_whole_except(s.canvas, s.scene_bitmap, s.image1.rect(), holes, n);
    else
        for (int i = 0; i < d.n; ++i) copy_whole_except(s.canvas, s.scene_bitmap, d.box[i], holes, n);
    s.dirty.clear();
}

}  // namespace

void draw_frame(Model& m, Scene& s, GraphSampler sample_graphs, void* ctx) {
    draw_flash(m, s);
    restore_around_graphs(m, s);
    update_screen_positions(m);
    if (sample_graphs != nullptr) sample_graphs(ctx, m);
    Draw_fun_graph(m, s);
    draw_over_graphs(m, s, Blocks::AsTheyStand);
}

void redraw_frame(Model& m, Scene& s) {
    restore_around_graphs(m, s);
    Draw_fun_graph(m, s);
    draw_over_graphs(m, s, Blocks::AsTheyStand);
}

void drag_frame(Model& m, Scene& s, int drag_state, const QImage& backdrop) {
    copy_whole(s.canvas, backdrop);
    const bool all = drag_state == DRAG_ORIGIN;
    if (all) Draw_Cross(m, s, 0);
    Draw_fun_graph(m, s);
    if (drag_state == DRAG_TEXT_BLOCK) Draw_zhu_shi_s(m, s);
    draw_static_elements(m, s, StaticDrag::Moving, drag_state);
    draw_over_graphs(m, s, Blocks::Place);
}

}  // namespace quorrel
