// Which element of the scene lies under the pointer: the fixed order in which
// a press picks things up, the dynamic-label test of a click, and the text
// rectangles the selection mark is drawn around.
#pragma once

#include <QRect>

#include "model/model.h"
#include "player/interaction_state.h"
#include "render/scene.h"

namespace quorrel {

struct Hit {
    int state = DRAG_NONE;  // drag state code of the element, DRAG_NONE for empty space
    int index = -1;         // slot in its table
    ScreenXY handle{0, 0};  // the element's reference point in pixels
};

// What a press at pixel (x, y) picks up: points, point vectors, moving
// objects, the origin, then (only when the origin was missed) fixed charges,
// masses, connectors, tracks, measurement labels, annotations, field and
// resistance regions, text blocks and graph windows. The first hit wins.
Hit hit_test(const Model& m, Scene& s, int x, int y);

// The dynamic label under (x, y): the lowest annotation slot whose text box
// strictly contains it, or -1.
int label_at(const Model& m, Scene& s, int x, int y);

// The box of a measurement label, an annotation or a text block (drag states
// 101, 62, 1000); an empty rectangle for anything else.
QRect text_rect(const Model& m, Scene& s, int state, int index);

// The tip of point i's vector in pixels; false when the point shows none.
bool point_vector_tip(const Model& m, int i, ScreenXY& tip);

}  // namespace quorrel
