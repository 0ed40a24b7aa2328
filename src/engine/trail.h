// The step driver's outlet for the trail segments of moving objects. The
// engine only calls it; the player connects it to the drawing (a segment into
// scene_bitmap), so the engine never depends on how or where trails are drawn.
#pragma once

#include "model/model.h"

namespace quorrel {

// Draws one trail segment from (x0, y0) to (x1, y1) in pixels.
using TrailSegmentFn = void (*)(void* context, int x0, int y0, int x1, int y1, Colour colour, int width);
// The same segment between the unrounded positions (pixel p covers
// [p, p + 1), so the pixels holding them are the screen positions), for a
// drawing finer than the pixels.
using TrailPreciseFn = void (*)(void* context, double x0, double y0, double x1, double y1, Colour colour, int width);

// Where movin draws trail segments: the player points it at scene_bitmap.
// Either outlet may be null (headless runs); `precise`, when set, is used
// instead of `segment`.
struct TrailSink {
    void* context = nullptr;
    TrailSegmentFn segment = nullptr;
    TrailPreciseFn precise = nullptr;
};

}  // namespace quorrel
