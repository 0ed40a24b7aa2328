// The default looks of objects that have no picture of their own (only the
// generated ball picture a reader gives them): bodies as shaded discs centred
// on their place, blocks and planks as filled, outlined rectangles of their
// width and height, inclines as their right triangle. They are drawn with the
// canvas's primitives, so they stay crisp at any view scale.
#pragma once

#include <QPointF>
#include <QRect>

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// The outline of a default look in design pixels: a disc (its box) or a
// polygon of n corners.
struct Look {
    bool disc = false;
    QRectF box;         // the disc's box, or the polygon's bounds
    QPointF corner[4];  // the polygon's corners in order around it
    int n = 0;
};

// Whether object i shows a default look instead of its picture: its picture
// is the generated ball (every reader gives one to an object without a
// picture of its own) and, for a body, the picture's
// offsets are left at 0; a body with offsets keeps the generated picture
// where they put it. Fills `look` when it does.
bool default_look(const Model& m, int i, Look& look);

// Object i's default look on Image1 (nothing when it has none).
void draw_default_look(const Model& m, Scene& s, int i);

// The colour of a body's disc: its ball_rgb, or when that is left at black a
// colour that shows on the background (warm red on a dark one, dark blue on
// a light one).
Colour body_colour(const Model& m, int i);

// The pixels a look covers (whole design pixels).
QRect look_bounds(const Look& look);

}  // namespace quorrel
