// The one mapping from world coordinates to pixels, shared by the engine
// (screen positions, the drawable-range test), the drawing, the hit tests and
// the function-graph curves. It is part of the model: the screen positions it
// gives are stored with the objects.
//
// Out-of-range rule: a real pixel coordinate is cut toward zero, and NaN or a
// value beyond ±1e9 pixels (far off any picture) becomes -1e9 or +1e9, so every
// conversion to int is defined.
//
// World y points up, pixel y down; a world length L is L / scale pixels.
#pragma once

#include "model/model.h"

namespace quorrel {

// Clamp of far-off and NaN pixel values (see the rule above).
inline constexpr double PIXEL_LIMIT = 1e9;

inline int trunc_px(double v) {
    if (!(v > -PIXEL_LIMIT)) return -static_cast<int>(PIXEL_LIMIT);  // NaN lands here too
    if (v > PIXEL_LIMIT) return static_cast<int>(PIXEL_LIMIT);
    return static_cast<int>(v);  // the conversion cuts toward zero
}

struct ScreenXY {
    int x, y;
};

// Unrounded pixel position of a world coordinate: origin_x + x / scale and
// origin_y - y / scale.
inline double world_px(const Settings& s, double x) {
    return s.origin_x + x / s.scale;
}
inline double world_py(const Settings& s, double y) {
    return s.origin_y - y / s.scale;
}

// The scene's mapping: trunc(origin_x + x / scale + 0.5), trunc(origin_y - y / scale + 0.5).
inline ScreenXY to_screen(const Model& m, double x, double y) {
    return {trunc_px(world_px(m.settings, x) + 0.5), trunc_px(world_py(m.settings, y) + 0.5)};
}

// The static objects' mapping: cut toward zero without the half-pixel term.
inline ScreenXY to_screen_trunc(const Model& m, double x, double y) {
    return {trunc_px(world_px(m.settings, x)), trunc_px(world_py(m.settings, y))};
}

// The inverse of the scene's mapping: the world position at pixel (px, py).
inline XY to_world(const Model& m, double px, double py) {
    const Settings& s = m.settings;
    return {(px - s.origin_x) * s.scale, (s.origin_y - py) * s.scale};
}

// screen_x, screen_y of object o := to_screen of the world position (x, y).
inline void set_screen_position(const Model& m, MovingObject& o, double x, double y) {
    const ScreenXY p = to_screen(m, x, y);
    o.screen_x = p.x;
    o.screen_y = p.y;
}

// screen_x, screen_y of every object from its current x, y.
inline void update_screen_positions(Model& m) {
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != KIND_NONE; ++i) {
        set_screen_position(m, m.objects[i], m.objects[i].x, m.objects[i].y);
    }
}

// A curve value inside a function graph's 240 x 240 picture: 30 pixels per
// x_scale (y_scale) world units from the graph's origin, origin y counted up
// from the bottom edge, rounded by the half-pixel term.
inline double graph_px(const FunctionGraph& g, double x) {
    return x / g.x_scale * 30 + g.origin_x + 0.5;
}
inline double graph_py(const FunctionGraph& g, double y) {
    return GRAPH_PICTURE_SIZE - g.origin_y - y / g.y_scale * 30 + 0.5;
}

}  // namespace quorrel
