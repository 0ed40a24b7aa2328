// The step driver's outlet for the trail segments of moving objects. The
// engine only calls it; the player connects it to the drawing (a segment into
// scene_bitmap), so the engine never depends on how or where trails are drawn.
#pragma once

#include "model/model.h"

namespace quorrel {

// Draws one trail segment from (x0, y0) to (x1, y1) in pixels.
using TrailSegmentFn = void (*)(void* context, int x0, int y0, int x1, int y1, Colour colour, int width);

// Where movin draws trail segments: the player points it at scene_bitmap.
// `segment` may be null (headless runs).
struct TrailSink {
    void* context = nullptr;
    TrailSegmentFn segment = nullptr;
};

}  // namespace quorrel
