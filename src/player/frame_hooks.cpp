#include "player/frame_hooks.h"

#include "engine/curves.h"
#include "model/gbk.h"
#include "model/numtext.h"
#include "player/player.h"
#include "render/graphs.h"
#include "script/bridge.h"
#include "script/evaluator.h"

namespace quorrel {
namespace {

bool evaluate_with_player(void* player, Model& m, const Text& expression, double& value) {
    return evaluate_curve(*static_cast<PlayerState*>(player)->curve_script, m, expression, value);
}

}  // namespace

void substitute_references(void*, Model& m, const Text& in, Text& out) {
    out = str_bl_to_str(m, in);
}

bool evaluate_curve(Script& scratch, Model& m, const Text& expression, double& value) {
    if (expression == gbk::VALUE_ZERO) {
        value = 0;
        return true;
    }
    const int var = find_variable(m, expression);
    if (var >= 0) return parse_number(m.variable_texts[var][VT_VALUE], value);
    float v = 0;
    if (eval_expr(scratch, m, expression, v) != 1) return false;
    value = v;
    return true;
}

void sample_graphs(void* player, Model& m) {
    PlayerState& p = *static_cast<PlayerState*>(player);
    CurveSegment segments[MAX_CURVE_SEGMENTS];
    const int n = sample_live_curves(m, evaluate_with_player, &p, segments, MAX_CURVE_SEGMENTS);
    draw_curve_segments(m, p.scene, segments, n);
}

}  // namespace quorrel
