// The frame of the scene: background, coordinate system and grids, the
// transparent blend, and the fixed orders in which run preparation, the
// frame loop and mouse dragging call the drawing routines.
#pragma once

#include <QImage>
#include <string>

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// Coordinate system on Image1, its lines across the whole picture. Mode 1:
// the two axes only, exclusive-or in 0xB4B4B4, so drawing twice removes them
// (origin dragging). Any other mode: fine grid and grid as set, then axes and
// labels when show_axes is on.
void Draw_Cross(const Model& m, Scene& s, int mode);

// Blends `foreground` with `background` at (column, row) in place:
// each channel := trunc(B * (1 - factor) + F * factor), the fourth byte of F
// kept; when `transparent`, pixels of the colour `key` are left alone.
// Pixels whose background position lies outside the background are left
// alone too. Both pictures are switched to 32 bits per pixel. Returns 0.
int TouMing(int column, int row, double factor, QImage& foreground, bool transparent, Colour key, QImage& background);

// Image1 filled with background_colour (copy mode, solid brush).
void fill_scene_background(const Model& m, Scene& s);
// background_picture placed by background_mode: 1 top left, 2 centred in
// Image1, 3 stretched over Image1 (what the view shows of the design);
// any other mode draws nothing.
void draw_background_picture(const Model& m, Scene& s);

// The ground of the scene: background colour and picture on Image1.
void prepare_scene_ground(const Model& m, Scene& s);
// Coordinate system, text blocks and static objects on Image1.
void draw_static_layers(const Model& m, Scene& s);
// The rest of the static scene: the layers above, then scene_bitmap := a copy of Image1.
void prepare_static_scene(Model& m, Scene& s);
// Both of the above: the whole static scene.
void build_static_scene(Model& m, Scene& s);
// The dynamic layer drawn once over a stopped scene: graphs, connectors,
// points and readings, annotations, object pictures with block placement,
// live vectors.
void prepare_dynamic_scene(Model& m, Scene& s);

// The static elements (Z, M, E, EA, BA, TB, CT; the gravity sign is not one)
// in their one drawing order: all of them, or while `drag_state` drags, the
// ones it moves or the ones it leaves in place. Dragging the origin moves
// them all.
enum class StaticDrag { All, Moving, Staying };
void draw_static_elements(const Model& m, Scene& s, StaticDrag which = StaticDrag::All, int drag_state = DRAG_NONE);

// ---- One frame of a run, in drawing order (after the step driver). ----
// Strobe stamps come first (draw_flash, objects.h); then Image1 takes back
// from scene_bitmap what was drawn since (the dirty boxes), which erases the
// previous frame's dynamic layer. Then the function graphs (after their curves are sampled; graphs.h),
// springs, ropes and rods.
void frame_connectors(const Model& m, Scene& s, int mode);
// Points, point vectors, measuring lines, measurements, annotations.
void frame_points_and_readings(Model& m, Scene& s, int mode);
// Each moving object's picture at its screen position plus its offset.
void frame_object_pictures(const Model& m, Scene& s);
// On top come the live vectors, Draw_obj_v(m, s, 0) (vectors.h).
// The time readout: "  t = " and sim_time with `digits` digits.
std::string time_readout(const Model& m);

// The whole frame in the order above, time readout excepted; `sample_graphs`
// (may be null) samples the curves after the screen positions are set.
using GraphSampler = void (*)(void* ctx, Model& m);
void draw_frame(Model& m, Scene& s, GraphSampler sample_graphs, void* ctx);

// The dynamic layer of a run drawn again over scene_bitmap without
// advancing anything (the view changed): the frame above without the
// strobe stamps and the sampling of the curves.
void redraw_frame(Model& m, Scene& s);

// Redraw while dragging: Image1 := `backdrop`; then the coordinate system
// (DRAG_ORIGIN: the origin moves), graphs, text blocks (DRAG_TEXT_BLOCK),
// the static family being dragged (DRAG_Z ... DRAG_CT; all of them when the
// origin moves), connectors, points and readings, Draw_obj and Draw_obj_v.
void drag_frame(Model& m, Scene& s, int drag_state, const QImage& backdrop);

}  // namespace quorrel
