// The view of the scene: its scale, its pan and the screen's pixel ratio.
// Changing the view draws the scene again and changes nothing of the
// experiment: before a run (stopped at time 0) the scene is drawn from the
// model as it stands; during or after a run the dynamic layer is drawn again
// and what the run accumulated (trails, strobe stamps, the graphs' curves)
// is carried over into the new pictures. Nothing is simulated again.
#pragma once

#include <QPointF>
#include <QRect>

#include "model/mapping.h"
#include "render/scene.h"

namespace quorrel {

struct Document;
struct PlayerState;
struct ViewState;

// One step of zooming (a notch of the wheel, Ctrl + = or Ctrl + -).
inline constexpr double ZOOM_STEP = 1.2;
inline constexpr double MIN_ZOOM = 0.1;
inline constexpr double MAX_ZOOM = 16.0;
// The design size of the picture, fitted when the scene holds nothing.
inline constexpr int DESIGN_WIDTH = 700;
inline constexpr int DESIGN_HEIGHT = 420;

// The view that shows the design box `content` (the design picture when
// empty) with a small margin, as large as fits and centred, in a picture of
// width x height screen units at `pixel_ratio` picture pixels per unit.
View fitted_view(const QRect& content, int width, int height, double pixel_ratio);

// The design pixel under a point of the picture in screen units, and the
// screen point of a design position (its pixel's top-left corner).
ScreenXY design_point(const View& v, double x, double y);
QPointF screen_point(const View& v, double x, double y);

// Draws the scene again for view `v` after the view or the pictures' size
// changed; `old_scene` is scene_bitmap as it was drawn for `old_view`.
void redraw_for_view(Document& d, ViewState& vs, const View& old_view, const QImage& old_scene, const View& v);
// Draws the scene for view `v`. Ignored while something is being dragged.
void set_view(Document& d, ViewState& vs, View v);
// Draws the scene again for the view it has (after a drawing option changed).
void redraw_scene(Document& d, ViewState& vs);
// prepar_obj for a fitted view (after a load): the preparation runs with
// its drawing measured, then the scene is drawn once for the fitted view.
// Without fit_view it is prepar_obj.
void prepar_obj_fitted(PlayerState& p);
// Fits the content to the picture and keeps fitting it after every load and
// resize (fit_view).
void view_fit(Document& d, ViewState& vs);
// Design pixels 1:1 (times the pixel ratio), the design picture's corner at
// the top left; the view no longer follows the window.
void view_one_to_one(Document& d, ViewState& vs);
// Scales the view by `factor` about the screen point (x, y), which keeps
// showing the same design point; the view no longer follows the window.
void view_zoom(Document& d, ViewState& vs, double factor, double x, double y);
// Moves the scene by (dx, dy) screen units.
void view_pan(Document& d, ViewState& vs, double dx, double dy);

}  // namespace quorrel
