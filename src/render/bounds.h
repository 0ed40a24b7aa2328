// What the scene shows, as a box of design pixels: the extent the view fits
// to the window, and the carrying of what a run accumulated into pictures
// drawn again for another view.
#pragma once

#include <QImage>
#include <QRect>

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// The design box of everything drawn but the coordinate system and the
// background: text blocks, static objects, graphs, connectors, points,
// measurements, annotations, object pictures and live vectors, at their
// current places. Nothing is drawn (the routines run on measuring
// canvases); labels remember their sizes as drawing does. Empty when the
// scene holds nothing.
QRect content_bounds(Model& m, Scene& s);

// Measuring on every canvas of the scene: whatever is drawn meanwhile (but
// the ground and the coordinate system) only grows the box that
// stop_measuring returns.
void start_measuring(Scene& s);
QRect stop_measuring(Scene& s);

// Carries what accumulated on a picture into the same picture drawn again
// for another view: every pixel of `old_picture` that differs from
// `old_clean` (the picture as it was drawn before anything accumulated, same
// size) is copied to the pixel of `target` that shows the same design point.
// Views are (scale, dx, dy) as the canvas has them.
void carry_over(QImage& target, double scale, int dx, int dy, const QImage& old_picture, const QImage& old_clean,
                double old_scale, int old_dx, int old_dy);

}  // namespace quorrel
