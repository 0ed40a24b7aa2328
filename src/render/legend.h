// The vector legend: a box in the top right corner of the picture that names
// the colour of each kind of vector the objects show (velocity, acceleration
// and each force), from the vector display settings. Off unless
// Scene::show_legend is set; it sits on the screen, not in the design, so it
// stays in its corner and at a readable size whatever the view.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// One row of the legend.
struct LegendEntry {
    const char* name;  // UTF-8
    Colour colour;
};
inline constexpr int MAX_LEGEND_ENTRIES = 11;

// The kinds of vector some object shows, live or at strobe moments, in a
// fixed order; returns their count.
int legend_entries(const Model& m, LegendEntry (&out)[MAX_LEGEND_ENTRIES]);

// Draws the legend on Image1 when s.show_legend is set and some vector is shown.
void draw_legend(const Model& m, Scene& s);

}  // namespace quorrel
