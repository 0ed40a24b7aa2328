// Lookups by name, the hit test of circular tracks, and the upkeep of the
// reading list when variables are deleted.
#pragma once

#include "model/model.h"

namespace quorrel {

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

}  // namespace quorrel
