// The pictures of the scene and the mapping from world coordinates to pixels.
//
// The main window owns one Scene: `image1` is what the user sees, rebuilt
// every frame from `scene_bitmap`, the persistent scene (background, grid,
// static objects, and what accumulates during a run: trails, strobe stamps,
// strobe vectors and readouts). `annotation_backdrop` serves the annotations.
// Object pictures, graph pictures and the background picture belong to the
// Model. A Scene holds active painters, so it is neither copied nor moved.
#pragma once

#include <QImage>
#include <cstdint>

#include "model/drag_codes.h"
#include "model/mapping.h"
#include "model/model.h"
#include "render/canvas.h"
#include "render/fonts.h"
#include "render/info_text.h"

namespace quorrel {

// The drawing state of a constraint analysis (ropes, rods and a held
// friction): up to two directions with the forces assigned to them.
struct ConstraintSlot {
    bool used;
    bool is_rope;   // ropes may go slack, rods never do
    bool friction;  // the slot holds the static friction direction
    int element;    // SH or GAN slot the direction came from
    double angle;   // radians, from the anchor toward the object
    double fx, fy;  // the force assigned to this direction
};
struct ConstraintDraw {
    ConstraintSlot slot[2];
};

// Expands the variable references of an annotation text or point label
// (the event-program bridge provides it; without one the text is drawn as stored).
using SubstituteFn = void (*)(void* ctx, Model& m, const Text& in, Text& out);

// Per-record caches of the informational layer: fonts built from stored
// specs and the Unicode form of the texts, rebuilt only when they change.
struct InfoCache {
    FontCache annotation_font[MAX_ANNOTATIONS];
    TextCache annotation_text[MAX_ANNOTATIONS];
    FontCache point_font[MAX_POINTS];
    TextCache point_label[MAX_POINTS];
    TextCache measurement_label[MAX_MEASUREMENTS];
    FontCache block_font[MAX_TEXT_BLOCKS];
    Text scratch;  // a substituted text or a measurement label, reused
};

// How the scene is viewed: design pixels scaled by the view scale `zoom` and
// by the screen's device pixel ratio, then shifted by (dx, dy) picture
// pixels. The pictures have the screen's resolution; the model and every
// drawing routine keep working in design pixels.
struct View {
    double zoom = 1.0;
    double pixel_ratio = 1.0;
    int dx = 0, dy = 0;

    double scale() const { return zoom * pixel_ratio; }
    bool operator==(const View&) const = default;
};

struct Scene {
    QImage image1;
    QImage scene_bitmap;
    QImage annotation_backdrop;
    Canvas canvas;           // draws on image1
    Canvas scene_canvas;     // draws on scene_bitmap
    Canvas backdrop_canvas;  // draws on annotation_backdrop
    Canvas graph_canvas;     // draws on one of the model's graph pictures at a time
    // What Image1 and scene_bitmap were drawn on since Image1 was last
    // restored: a frame restores only these boxes.
    DirtyBoxes dirty;

    // The main window's size in screen units (not picture pixels): the grid
    // loops stop at it.
    int window_width = 702;
    int window_height = 455;

    View view;
    // The vector legend is drawn over the dynamic layer (legend.h).
    bool show_legend = false;
    // A reading of a quantity with a known unit shows the unit after its
    // number (model/units.h); a view option of the player, not stored.
    bool show_units = true;

    LabelFonts fonts;

    // Mouse dragging (set by the window): the drag state code and the index of
    // the dragged element; 0 and -1 when nothing is dragged.
    int drag_state = DRAG_NONE;
    int drag_index = -1;

    // Per moving-object slot: the last constraint analysis, for its arrows.
    ConstraintDraw constraints[MAX_OBJECTS]{};

    // Per point slot: the unrounded pixel position its trail last reached,
    // where the next trail segment starts (points.cpp).
    double point_trail_x[MAX_POINTS]{}, point_trail_y[MAX_POINTS]{};

    // Scratch pictures of a strobe stamp, kept to reuse their buffers.
    QImage stamp_a, stamp_b;
    // The object pictures resampled for the view, one per slot.
    ScaledPicture object_view[MAX_OBJECTS];

    SubstituteFn substitute = nullptr;
    void* substitute_ctx = nullptr;

    InfoCache info;

    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

// Creates the pictures (width x height picture pixels, black) and the fonts.
// The window size defaults to the picture's size plus the tool bar.
void scene_init(Scene& s, int width, int height);
// New picture sizes; what the pictures held stays at the top left, new area is black.
void scene_resize(Scene& s, int width, int height);
// Sets the view of every canvas (the graph pictures' canvas takes its scale
// only). The pictures are not redrawn.
void scene_set_view(Scene& s, const View& v);
// Ends painting on every picture (before reading them from elsewhere).
void scene_end(Scene& s);

// `in` with its variable references expanded, in s.info.scratch (reused from
// call to call); `in` itself when it has no "{" or no substitution is wired.
const Text& substitute_text(Model& m, Scene& s, const Text& in);

// The position a routine uses for object i: (x0, y0) before a run, (x, y) while running.
void object_position(const Model& m, int i, double& x, double& y);

}  // namespace quorrel
