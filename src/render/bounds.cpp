#include "render/bounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render/frame.h"
#include "render/graphs.h"
#include "render/objects.h"
#include "render/vectors.h"

namespace quorrel {

void start_measuring(Scene& s) {
    for (Canvas* c : {&s.canvas, &s.scene_canvas, &s.backdrop_canvas}) canvas_start_measuring(*c);
}

QRect stop_measuring(Scene& s) {
    QRect box;
    for (Canvas* c : {&s.canvas, &s.scene_canvas, &s.backdrop_canvas}) {
        const QRect r = canvas_stop_measuring(*c);
        if (!r.isEmpty()) box = box.isNull() ? r : box.united(r);
    }
    return box;
}

QRect content_bounds(Model& m, Scene& s) {
    start_measuring(s);
    draw_static_layers(m, s);  // the coordinate system spans every picture: left out
    Draw_fun_graph(m, s);
    frame_connectors(m, s, 0);
    frame_points_and_readings(m, s, 0);
    frame_object_pictures(m, s);
    Draw_obj_v(m, s, 0);
    return stop_measuring(s);
}

void carry_over(QImage& target, double scale, int dx, int dy, const QImage& old_picture, const QImage& old_clean,
                double old_scale, int old_dx, int old_dy) {
    if (target.isNull() || target.depth() != 32 || old_picture.depth() != 32 || old_clean.depth() != 32 ||
        old_picture.size() != old_clean.size() || !(scale > 0.0) || !(old_scale > 0.0))
        return;
    const int ow = old_picture.width(), oh = old_picture.height();
    // The old column of every target column, computed once.
    const double ratio = old_scale / scale;
    std::vector<int> column(static_cast<std::size_t>(target.width()));
    for (int x = 0; x < target.width(); ++x)
        column[static_cast<std::size_t>(x)] = static_cast<int>(std::floor((x + 0.5 - dx) * ratio + old_dx));
    for (int y = 0; y < target.height(); ++y) {
        const int oy = static_cast<int>(std::floor((y + 0.5 - dy) * ratio + old_dy));
        if (oy < 0 || oy >= oh) continue;
        const auto* was = reinterpret_cast<const std::uint32_t*>(old_picture.constScanLine(oy));
        const auto* clean = reinterpret_cast<const std::uint32_t*>(old_clean.constScanLine(oy));
        auto* row = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
        for (int x = 0; x < target.width(); ++x) {
            const int ox = column[static_cast<std::size_t>(x)];
            if (ox < 0 || ox >= ow || ((was[ox] ^ clean[ox]) & 0x00FFFFFFu) == 0) continue;
            row[x] = was[ox] | 0xFF000000u;
        }
    }
}

}  // namespace quorrel
