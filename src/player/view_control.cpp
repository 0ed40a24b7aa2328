#include "player/view_control.h"

#include <algorithm>
#include <cmath>

#include "engine/object_params.h"
#include "model/mapping.h"
#include "player/player.h"
#include "render/bounds.h"
#include "render/frame.h"
#include "render/graphs.h"
#include "render/objects.h"

namespace quorrel {
namespace {

// Margin around the fitted content: this share of its larger side, at least
// MIN_MARGIN design pixels.
constexpr double MARGIN_SHARE = 0.03;
constexpr int MIN_MARGIN = 8;

double valid_ratio(double r) {
    return std::isfinite(r) && r > 0.0 ? r : 1.0;
}

int round_px(double v) {
    return static_cast<int>(std::clamp(std::lround(v), -(1L << 28), 1L << 28));
}

bool dragging(const ViewState& vs) {
    return vs.mouse.mouse_down && vs.mouse.drag_state != DRAG_NONE;
}

}  // namespace

View fitted_view(const QRect& content, int width, int height, double pixel_ratio) {
    QRect box = content.isEmpty() ? QRect(0, 0, DESIGN_WIDTH, DESIGN_HEIGHT) : content;
    const int margin = std::max(MIN_MARGIN, static_cast<int>(MARGIN_SHARE * std::max(box.width(), box.height())));
    box.adjust(-margin, -margin, margin, margin);
    View v;
    v.pixel_ratio = valid_ratio(pixel_ratio);
    const double w = std::max(width, 1), h = std::max(height, 1);
    v.zoom = std::clamp(std::min(w / box.width(), h / box.height()), MIN_ZOOM, MAX_ZOOM);
    const double k = v.scale();
    v.dx = round_px((w * v.pixel_ratio - box.width() * k) / 2.0 - box.left() * k);
    v.dy = round_px((h * v.pixel_ratio - box.height() * k) / 2.0 - box.top() * k);
    return v;
}

namespace {

// The view that fits `content` to the picture as it is (its size in screen units).
View fitted_to_picture(const Scene& s, const QRect& content) {
    const double ratio = s.view.pixel_ratio;
    return fitted_view(content, static_cast<int>(std::lround(s.image1.width() / ratio)),
                       static_cast<int>(std::lround(s.image1.height() / ratio)), ratio);
}

}  // namespace

ScreenXY design_point(const View& v, double x, double y) {
    const double k = v.scale();
    return {trunc_px(std::floor((x * v.pixel_ratio - v.dx) / k)), trunc_px(std::floor((y * v.pixel_ratio - v.dy) / k))};
}

QPointF screen_point(const View& v, double x, double y) {
    const double k = v.scale();
    return {(x * k + v.dx) / v.pixel_ratio, (y * k + v.dy) / v.pixel_ratio};
}

void redraw_for_view(Document& d, ViewState& vs, const View& old_view, const QImage& old_scene, const View& v) {
    Model& m = *d.model;
    Scene& s = vs.scene;
    scene_end(s);
    if (!d.model_loaded) {
        scene_set_view(s, v);
        s.image1.fill(0xFF000000u);
        s.scene_bitmap.fill(0xFF000000u);
        return;
    }
    redraw_graph_pictures(m, s, old_view.scale(), v.scale());
    if (before_run(m)) {
        // Before a run: the scene as preparation draws it, without running
        // the programs again.
        scene_set_view(s, v);
        build_static_scene(m, s);
        prepare_dynamic_scene(m, s);
        if (m.settings.selected_object != -1) draw_selection(m, s);
        return;
    }
    // The old static scene, to tell what the run added to the old scene_bitmap.
    QImage old_clean(old_scene.size(), QImage::Format_RGB32);
    canvas_attach(s.canvas, &old_clean);
    canvas_set_view(s.canvas, old_view.scale(), old_view.dx, old_view.dy);
    prepare_scene_ground(m, s);
    draw_static_layers(m, s);
    canvas_attach(s.canvas, &s.image1);
    scene_set_view(s, v);
    build_static_scene(m, s);
    scene_end(s);
    carry_over(s.scene_bitmap, v.scale(), v.dx, v.dy, old_scene, old_clean, old_view.scale(), old_view.dx, old_view.dy);
    s.dirty.mark_all();
    redraw_frame(m, s);
}

void set_view(Document& d, ViewState& vs, View v) {
    Scene& s = vs.scene;
    if (dragging(vs) || s.image1.isNull()) return;
    v.pixel_ratio = valid_ratio(v.pixel_ratio);
    if (!std::isfinite(v.zoom)) return;
    v.zoom = std::clamp(v.zoom, MIN_ZOOM, MAX_ZOOM);
    if (v == s.view) return;
    const View old_view = s.view;
    scene_end(s);
    const QImage old_scene = s.scene_bitmap;
    redraw_for_view(d, vs, old_view, old_scene, v);
}

void redraw_scene(Document& d, ViewState& vs) {
    Scene& s = vs.scene;
    if (dragging(vs) || s.image1.isNull()) return;
    scene_end(s);
    const QImage old_scene = s.scene_bitmap;
    redraw_for_view(d, vs, s.view, old_scene, s.view);
}

void prepar_obj_fitted(PlayerState& p) {
    Scene& s = p.scene;
    if (!p.fit_view || !p.model_loaded || s.image1.isNull()) {
        prepar_obj(p);
        return;
    }
    start_measuring(s);
    prepar_obj(p);
    const QRect content = stop_measuring(s);
    const View v = fitted_to_picture(s, content);
    const Model& m = *p.model;
    if (before_run(m)) {
        // Drawn once, for the fitted view: nothing was drawn while measuring.
        redraw_for_view(p, p, s.view, s.scene_bitmap, v);
        return;
    }
    // Not at the start (no load does this): prepared again for real.
    redraw_graph_pictures(*p.model, s, s.view.scale(), v.scale());
    scene_set_view(s, v);
    prepar_obj(p);
}

void view_fit(Document& d, ViewState& vs) {
    vs.fit_view = true;
    if (!d.model_loaded || dragging(vs) || vs.scene.image1.isNull()) return;
    Scene& s = vs.scene;
    set_view(d, vs, fitted_to_picture(s, content_bounds(*d.model, s)));
}

void view_one_to_one(Document& d, ViewState& vs) {
    vs.fit_view = false;
    View v;
    v.pixel_ratio = vs.scene.view.pixel_ratio;
    set_view(d, vs, v);
}

void view_zoom(Document& d, ViewState& vs, double factor, double x, double y) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return;
    vs.fit_view = false;
    const View& old_view = vs.scene.view;
    View v = old_view;
    v.zoom = std::clamp(old_view.zoom * factor, MIN_ZOOM, MAX_ZOOM);
    // The design point under (x, y) stays there.
    const double px = x * v.pixel_ratio, py = y * v.pixel_ratio;
    const double fx = (px - old_view.dx) / old_view.scale(), fy = (py - old_view.dy) / old_view.scale();
    v.dx = round_px(px - fx * v.scale());
    v.dy = round_px(py - fy * v.scale());
    set_view(d, vs, v);
}

void view_pan(Document& d, ViewState& vs, double dx, double dy) {
    vs.fit_view = false;
    View v = vs.scene.view;
    v.dx = round_px(v.dx + dx * v.pixel_ratio);
    v.dy = round_px(v.dy + dy * v.pixel_ratio);
    set_view(d, vs, v);
}

}  // namespace quorrel
