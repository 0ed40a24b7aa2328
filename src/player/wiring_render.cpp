// Call sites of the drawing.
#include "engine/curves.h"
#include "model/gbk.h"
#include "model/numtext.h"
#include "player/wiring.h"
#include "render/annotations.h"
#include "render/connectors.h"
#include "render/frame.h"
#include "render/graphs.h"
#include "render/measurements.h"
#include "render/objects.h"
#include "render/points.h"
#include "render/static_objects.h"
#include "script/bridge.h"
#include "script/evaluator.h"

namespace quorrel::wiring {
namespace {

// A curve's value: the number in the variable it names (as a double, the
// way readings store it), or else the value of the expression of the
// program language it holds. The live-curve sampler takes a plain function,
// so the evaluator's node table for the second case lives here; it is
// scratch space only (nothing is carried from one evaluation to the next)
// and is used from the one user-interface thread.
bool evaluate_curve(Model& m, const Text& expression, double& value) {
    if (expression == gbk::VALUE_ZERO) {
        value = 0;
        return true;
    }
    const int var = find_bl(m, expression);
    if (var >= 0) return parse_number(m.variable_texts[var][VT_VALUE], value);
    static const std::unique_ptr<Script> scratch = make_script();
    float v = 0;
    if (eval_expr(*scratch, m, expression, v) != 1) return false;
    value = v;
    return true;
}

// Samples the live curves and draws the new segments into the graph pictures.
void sample_graphs(void* ctx, Model& m) {
    CurveSegment segments[MAX_CURVE_SEGMENTS];
    const int n = sample_live_curves(m, evaluate_curve, segments, MAX_CURVE_SEGMENTS);
    draw_curve_segments(m, static_cast<PlayerState*>(ctx)->scene, segments, n);
}

// Annotation texts and point labels show variable and parameter values.
void substitute_references(void*, Model& m, const Text& in, Text& out) {
    out = str_bl_to_str(m, in);
}

void connect_scene(PlayerState& p) {
    p.scene.substitute = substitute_references;
    p.scene.substitute_ctx = nullptr;
}

}  // namespace

TrailSegmentFn trail_function() {
    return trail_segment;
}

// ---- Drawing ----

void build_static_scene(PlayerState& p) {
    connect_scene(p);
    quorrel::build_static_scene(*p.model, p.scene);
}

void draw_dynamic_scene(PlayerState& p) {
    prepare_dynamic_scene(*p.model, p.scene);
}

void draw_frame(PlayerState& p) {
    connect_scene(p);
    quorrel::draw_frame(*p.model, p.scene, sample_graphs, &p);
}

void draw_selection(PlayerState& p) {
    quorrel::draw_selection(*p.model, p.scene);
}

void deal_going_pic(PlayerState& p) {
    quorrel::deal_going_pic(*p.model, p.scene);
}

void draw_graph_picture(PlayerState& p, int slot) {
    draw_graph_frame(*p.model, p.scene, slot);
}

void refresh_graph_bounds(PlayerState& p, int slot) {
    Model& m = *p.model;
    FunctionGraph& g = m.graphs[slot];
    for (int c = 0; c < CURVES; ++c) {
        const Text& first = m.graph_texts1[slot][c];
        if (first != gbk::VALUE_ZERO) {
            float v = 0;
            if (eval_expr(*p.script, m, first, v) == 1) g.curve_x_value[c] = v;
        }
        // The second bound is read through the variable it names.
        const Text& second = m.graph_texts2[slot][c];
        if (second != gbk::VALUE_ZERO) {
            const int var = find_bl(m, second);
            double v = 0;
            if (var >= 0 && parse_number(m.variable_texts[var][VT_VALUE], v)) g.curve_y_value[c] = v;
        }
    }
}

}  // namespace quorrel::wiring
