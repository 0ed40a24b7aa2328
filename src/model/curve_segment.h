// One new piece of a live curve of a function graph, in world values: from
// the previous sample (x0, y0) to the new one (x1, y1). The engine samples
// the curves; the drawing turns the segments into lines on the graph pictures.
#pragma once

namespace quorrel {

struct CurveSegment {
    int graph;
    int curve;
    double x0, y0, x1, y1;
};

}  // namespace quorrel
