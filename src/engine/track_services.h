// Small services around the engine: placing a dropped body onto a track, the
// object lookup by kind, the hit test of circular tracks, the removal of
// readings bound to a deleted variable, and the live curves of the function
// graphs.
#pragma once

#include "model/model.h"

namespace quorrel {

// ---- Placing a dropped body onto a track ----

// The answer of the position dialog.
enum class Placement {
    Custom,    // 自定义位置: leave the body where it was dropped
    Against,   // 紧贴在轨道上: the body touches the track
    Threaded,  // 穿在轨道中间: the body's centre lies on the track
};
// Shows the position dialog and returns the choice.
using PlacementQuestion = Placement (*)(void* context);

// Moves the start position (x0, y0) of body `a` onto the tracks it was
// dropped near (within 1.5 radii). `ask` is called once, only when such a
// track exists; a null `ask` counts as Custom. Returns true when a track was
// near.
bool s_obj_TB_CT_position(Model& m, int a, PlacementQuestion ask, void* context);

// ---- Lookups and hit tests ----

enum : int { LOOKUP_OBJECT = 1, LOOKUP_POINT = 2 };
// Kind 1 searches the moving objects, kind 2 the points; the first match wins.
// -1 when not found or for another kind.
int find_by_kind(const Model& m, int kind, const Text& name);

// Whether pixel (px, py) of the scene lies on arc k: within 3 pixels of its
// radius and in its angular range.
bool arc_hit(const Model& m, int k, int px, int py);

// ---- Readings bound to variables ----

// Empties every reading bound to the variable `name`, then compacts the list.
void remove_readings(Model& m, const Text& name);
// Closes the gaps of the reading list: an empty reading deletes the variable
// it names (never the time variable in slot 0) and the later readings move up.
void compact_readings(Model& m);

// ---- Live curves of the function graphs ----

// Evaluates a curve expression (a variable name or an expression of the event
// program language); false when it cannot be evaluated.
using CurveEvaluator = bool (*)(Model& m, const Text& expression, double& value);

// The pixel of a curve value inside a graph's 240 x 240 picture; false when it
// is not representable (zero scale, non-finite value).
bool graph_pixel(const FunctionGraph& g, double x, double y, int& px, int& py);

// One sample of every live curve: for the graphs up to the first unused one
// (at most the first 8) and each curve whose two expressions are not both
// "数值0", a segment from the previous sample (the curve's cached values) to
// the new one, drawn with a pen of width 2 into m.graph_pictures. A curve
// whose expression fails keeps its previous sample.
void draw_live_curves(Model& m, CurveEvaluator evaluate);

}  // namespace quorrel
