// Function graph pictures: the frame (grid, axes, tick labels), the curve
// segments and the placing of the pictures on Image1.
#include "render/graphs.h"

#include <algorithm>
#include <cmath>

#include "model/mapping.h"
#include "model/numtext.h"
#include "render/bounds.h"

namespace quorrel {
namespace {

constexpr int SIZE = GRAPH_PICTURE_SIZE;
constexpr int HALF = SIZE / 2;
constexpr double STEP = 30;  // pixels between grid lines

// Tick labels are printed as a variable stores numbers: 15 significant digits.
constexpr int LABEL_DIGITS = 15;

bool has_picture(const Model& m, int graph) {
    const QImage& p = m.graph_pictures[graph];
    return !p.isNull() && p.depth() == 32;
}

// Every channel 3 * (background div 4) + (axis div 4).
Colour grid_colour(Colour background, Colour axis) {
    Colour c = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int b = (background >> shift) & 0xFF, a = (axis >> shift) & 0xFF;
        c |= static_cast<Colour>(3 * (b / 4) + a / 4) << shift;
    }
    return c;
}

// On a view larger than the design (a projector) the tick labels grow faster
// than the picture, up to half again their size at twice the design scale,
// and stand out from the background, so they can be read across a room. At
// scale 1 and below they are the design's.
constexpr double LABEL_GROWTH = 0.5;
constexpr double LABEL_MIN_CONTRAST = 7.0;  // contrast ratio, as for small text

double label_growth(double scale) {
    return scale <= 1.0 ? 1.0 : 1.0 + LABEL_GROWTH * std::min(scale - 1.0, 1.0);
}

// Relative luminance of a 0x00BBGGRR colour (sRGB).
double luminance(Colour c) {
    const auto channel = [c](int shift) {
        const double v = ((c >> shift) & 0xFF) / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(0) + 0.7152 * channel(8) + 0.0722 * channel(16);
}

}  // namespace

Colour readable_label_colour(Colour background, Colour axis) {
    const double lb = luminance(background), la = luminance(axis);
    const double contrast = (std::max(lb, la) + 0.05) / (std::min(lb, la) + 0.05);
    if (contrast >= LABEL_MIN_CONTRAST) return axis;
    // White reaches a contrast of 4.6 or more on any background darker than
    // mid grey, black on any lighter one.
    return lb < 0.18 ? 0xFFFFFF : 0x000000;
}

namespace {

bool inside(double v) {
    return v >= 0 && v <= SIZE;
}

// The grid lines at p0 + 30k and p0 - 30k (k >= 1) that lie within the
// picture, as horizontal (rows) or vertical lines across it. Only the k that
// can land inside are visited, so a far-off origin costs nothing.
void grid_lines(Canvas& c, double p0, bool rows) {
    if (!std::isfinite(p0)) return;
    for (const double dir : {1.0, -1.0}) {
        // p0 + dir * 30k within 0..240
        const double a = (0 - p0) / (dir * STEP), b = (SIZE - p0) / (dir * STEP);
        const double k0 = std::max(1.0, std::ceil(std::min(a, b))), k1 = std::floor(std::max(a, b));
        // At most nine lines fit; the count also ends the loop where k is too
        // large for ++k to change it.
        for (int i = 0; i < 10 && k0 + i <= k1; ++i) {
            const double p = p0 + dir * STEP * (k0 + i);
            if (!inside(p)) continue;
            const int v = trunc_px(p);
            if (rows)
                line(c, 0, v, SIZE, v);
            else
                line(c, v, 0, v, SIZE);
        }
    }
}

void label(Canvas& c, double x, double y, double value) {
    text_out(c, trunc_px(x), trunc_px(y), QString::fromStdString(format_general(value, LABEL_DIGITS)));
}

// `lift` raises the y axis's labels so they sit across their grid line.
// `row` is the top of the x axis's labels.
void tick_labels(Canvas& c, const FunctionGraph& g, double ox, double y0, double row, double lift) {
    if (!std::isfinite(ox) || !std::isfinite(y0)) return;
    label(c, ox + 2, row, 0);
    for (int k = 1; 0 < ox + STEP * k && ox + STEP * k < SIZE; ++k) label(c, ox + STEP * k - 2, row, k * g.x_scale);
    // Left of the origin the labels run down to pixel 0; those right of the
    // picture are invisible, so the count starts at the first that can show.
    double k0 = 1;
    if (ox - STEP - 2 >= SIZE) k0 = std::floor((ox - SIZE - 2) / STEP);
    for (int i = 0; i < 12 && ox - STEP * (k0 + i) >= 0; ++i) {
        const double k = k0 + i;
        label(c, ox - STEP * k - 2, row, -k * g.x_scale);
    }
    for (int j = 1; 0 < y0 - STEP * j && y0 - STEP * j < SIZE; ++j)
        label(c, ox + 3, y0 - STEP * j - lift, j * g.y_scale);
    for (int j = 1; 0 < y0 + STEP * j && y0 + STEP * j < SIZE; ++j)
        label(c, ox + 3, y0 + STEP * j - lift, -j * g.y_scale);
}

int view_size(const Canvas& c) {
    return std::max(1, static_cast<int>(std::lround(SIZE * c.scale)));
}

}  // namespace

void create_graph_picture(Model& m, int graph) {
    if (graph < 0 || graph >= MAX_GRAPHS) return;
    QImage& p = m.graph_pictures[graph];
    p = QImage(SIZE, SIZE, QImage::Format_RGB32);
    p.fill(to_rgb(m.graphs[graph].background));
}

void draw_graph_frame(Model& m, Scene& s, int graph) {
    if (graph < 0 || graph >= MAX_GRAPHS || !has_picture(m, graph)) return;
    const FunctionGraph& g = m.graphs[graph];
    Canvas& c = s.graph_canvas;
    // The picture has the view's resolution: 240 design pixels square.
    QImage& picture = m.graph_pictures[graph];
    const int side = view_size(c);
    if (picture.width() != side || picture.height() != side) picture = QImage(side, side, QImage::Format_RGB32);
    canvas_attach(c, &picture);
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, g.background, 1);
    set_brush(c, g.background);
    fill_rect(c, 0, 0, SIZE, SIZE);
    set_pen_width(c, m.settings.line_width);

    const double ox = g.origin_x;
    const double y0 = SIZE - g.origin_y;  // row of the x axis
    set_pen_colour(c, grid_colour(g.background, g.colour));
    grid_lines(c, y0, true);
    grid_lines(c, ox, false);

    set_pen_colour(c, g.colour);
    if (inside(y0)) line(c, 0, trunc_px(y0), SIZE, trunc_px(y0));
    if (inside(ox)) line(c, trunc_px(ox), 0, trunc_px(ox), SIZE);

    const double growth = label_growth(c.scale);
    if (growth == 1.0) {
        set_font(c, s.fonts.graph, g.colour);
    } else {
        QFont f = s.fonts.graph;
        f.setPixelSize(static_cast<int>(std::lround(f.pixelSize() * growth)));
        f.setBold(true);
        // A transparent graph's labels stand on the scene's background.
        const Colour under = g.transparent == 1 ? m.settings.background_colour : g.background;
        set_font(c, f, readable_label_colour(under, g.colour));
    }
    set_brush_clear(c);
    // Grown labels that would run off the bottom edge go above the x axis.
    const double height = s.fonts.graph.pixelSize() * growth;
    const double row = growth > 1.0 && y0 + height > SIZE ? y0 - height - 1 : y0;
    tick_labels(c, g, ox, y0, row, 8 * growth);
    set_pen_width(c, 1);
    // The picture belongs to the model: never leave a painter on it.
    canvas_attach(c, nullptr);
}

void redraw_graph_pictures(Model& m, Scene& s, double old_scale, double scale) {
    for (int g = 0; g < MAX_GRAPHS && m.graphs[g].kind != 0; ++g) {
        if (!has_picture(m, g)) continue;
        const QImage old = m.graph_pictures[g];
        canvas_set_view(s.graph_canvas, old_scale, 0, 0);
        draw_graph_frame(m, s, g);
        const QImage old_clean = m.graph_pictures[g];
        canvas_set_view(s.graph_canvas, scale, 0, 0);
        draw_graph_frame(m, s, g);
        carry_over(m.graph_pictures[g], scale, 0, 0, old, old_clean, old_scale, 0, 0);
    }
    canvas_set_view(s.graph_canvas, scale, 0, 0);
}

namespace {

// The top-left corner of graph g's picture on Image1, in design pixels.
// Positions from a damaged file are cut far outside the picture.
QPoint graph_corner(const FunctionGraph& g) {
    const auto cut = [](std::int32_t v) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(v) - HALF, -(1 << 22), 1 << 22));
    };
    return {cut(g.x), cut(g.y)};
}

}  // namespace

int opaque_graph_boxes(const Model& m, const Scene& s, QRect (&out)[MAX_GRAPHS]) {
    int n = 0;
    for (int i = 0; i < MAX_GRAPHS && m.graphs[i].kind != 0; ++i) {
        if (!has_picture(m, i) || m.graphs[i].transparent == 1) continue;
        const QPoint at = graph_corner(m.graphs[i]);
        const QRect box(device_x(s.canvas, at.x()), device_y(s.canvas, at.y()), m.graph_pictures[i].width(),
                        m.graph_pictures[i].height());
        const QRect shown = box.intersected(s.image1.rect());
        if (!shown.isEmpty()) out[n++] = shown;
    }
    return n;
}

void Draw_fun_graph(const Model& m, Scene& s) {
    canvas_end(s.graph_canvas);
    for (int i = 0; i < MAX_GRAPHS && m.graphs[i].kind != 0; ++i) {
        if (!has_picture(m, i)) continue;
        const FunctionGraph& g = m.graphs[i];
        const QPoint at = graph_corner(g);
        draw_view_picture(s.canvas, at.x(), at.y(), m.graph_pictures[i], g.transparent == 1 ? g.background : -1);
    }
}

void draw_curve_segments(Model& m, Scene& s, const CurveSegment* segments, int n) {
    Canvas& c = s.graph_canvas;
    for (int i = 0; i < n; ++i) {
        const CurveSegment& seg = segments[i];
        if (seg.graph < 0 || seg.graph >= MAX_GRAPHS || seg.curve < 0 || seg.curve >= CURVES) continue;
        if (!has_picture(m, seg.graph)) continue;
        const FunctionGraph& g = m.graphs[seg.graph];
        const double x0 = graph_px(g, seg.x0), y0 = graph_py(g, seg.y0);
        const double x1 = graph_px(g, seg.x1), y1 = graph_py(g, seg.y1);
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) continue;
        if (c.image != &m.graph_pictures[seg.graph]) canvas_attach(c, &m.graph_pictures[seg.graph]);
        set_pen_mode(c, PenMode::Copy);
        set_pen_style(c, PenStyle::Solid);
        set_pen(c, g.curve_colour[seg.curve], 2);
        line_f(c, x0, y0, x1, y1);
    }
    set_pen_width(c, 1);
    canvas_attach(c, nullptr);
}

}  // namespace quorrel
