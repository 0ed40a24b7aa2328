// Function graphs: each owns a picture of 240 x 240 design pixels
// (m.graph_pictures, at the view's resolution) with its own grid, axes, tick
// labels and live curves; Draw_fun_graph places the pictures on Image1,
// centred on the graphs' positions.
#pragma once

#include "model/curve_segment.h"
#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// Makes graph `graph`'s picture (240 x 240) filled with its background colour.
void create_graph_picture(Model& m, int graph);

// Draws graph `graph`'s frame into its picture, resized to the view's
// resolution first: background, grid 30 pixels apart, axes and tick labels.
// This also clears the curves.
void draw_graph_frame(Model& m, Scene& s, int graph);

// Every graph picture drawn again for the view scale `scale`, its curves
// carried over from the picture drawn at `old_scale`; the graph canvas
// keeps `scale`.
void redraw_graph_pictures(Model& m, Scene& s, double old_scale, double scale);

// Draws the pictures of the graphs up to the first unused slot on Image1,
// top-left corner at (x - 120, y - 120); a transparent graph leaves out the
// pixels of its background colour.
void Draw_fun_graph(const Model& m, Scene& s);

// The boxes of Image1 (picture pixels) that the opaque graph pictures cover
// entirely when Draw_fun_graph places them; returns their count.
int opaque_graph_boxes(const Model& m, const Scene& s, QRect (&out)[MAX_GRAPHS]);

// The colour of the tick labels on a view larger than the design: the axis
// colour when it stands out enough from the background, else white on a
// dark background and black on a light one.
Colour readable_label_colour(Colour background, Colour axis);

// Draws sampled curve segments into their graphs' pictures: pen width 2 in the
// curve's colour; a segment with a non-finite pixel position is left out.
void draw_curve_segments(Model& m, Scene& s, const CurveSegment* segments, int n);

}  // namespace quorrel
