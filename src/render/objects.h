// Moving objects on screen: their pictures, the placement of blocks on
// planks and inclines before a run, trails, strobe stamps with their
// readouts, and the selection ring.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// Places every object at its start position and draws its picture on
// Image1; blocks resting on planks and inclines are first moved onto their
// host (x0, y0, rel_x, rel_y are updated). Used when not running.
void Draw_obj(Model& m, Scene& s);

// Object i's picture on Image1 at (screen_x + dx, screen_y + dy), with its key
// colour left out when the object's picture is transparent; an object without
// a picture of its own shows its default look instead (render/looks.h).
void draw_object_picture(const Model& m, Scene& s, int i);

// A trail segment into scene_bitmap (copy mode). The player hands it to the
// step driver as its trail outlet, with the Scene as `ctx`.
void trail_segment(void* ctx, int x0, int y0, int x1, int y1, Colour colour, int width);
// The same between unrounded positions: drawn with their fractions when the
// view is scaled, between the pixels holding them at 1:1.
void trail_segment_precise(void* ctx, double x0, double y0, double x1, double y1, Colour colour, int width);

// Strobe moments, once per frame while running: faded stamps into
// scene_bitmap, strobe vectors and readouts into Image1 and scene_bitmap;
// advances each stamped object's next strobe time.
void draw_flash(Model& m, Scene& s);

// The top left corner of a strobe readout `box` beside a stamp centred on
// (sx, sy) whose picture reaches `half_size` pixels from it: square to the
// object's velocity on the side its path bends away from (the upper side when
// it goes straight; above when at rest), a gap clear of the stamp and of the
// line along the velocity, so the readout sits neither on the trail near the
// stamp nor on the velocity arrow.
QPoint readout_corner(const MovingObject& o, int half_size, int sx, int sy, QSize box);

// Where object i's strobe readout stands for a stamp centred on (sx, sy) at
// the current moment; an empty rectangle when it shows none.
QRect strobe_readout_rect(const Model& m, const Scene& s, int i, int sx, int sy);

// The red ring around the selected object (not running, selected_object >= 0).
void draw_selection(const Model& m, Scene& s);

}  // namespace quorrel
