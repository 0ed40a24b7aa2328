#include "player/frame_hooks.h"

#include "engine/track_services.h"
#include "model/gbk.h"
#include "model/numtext.h"
#include "player/player.h"
#include "script/bridge.h"
#include "script/evaluator.h"

namespace quorrel {
namespace {

// The curve evaluator the engine calls takes no context of its own, so the
// curve script of the player being sampled is reached through this pointer.
// It is set only while sample_live_curves runs and holds nothing in between.
thread_local Script* sampling_script = nullptr;

bool evaluate_for_sampling_player(Model& m, const Text& expression, double& value) {
    return sampling_script != nullptr && evaluate_curve(*sampling_script, m, expression, value);
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
    const int var = find_bl(m, expression);
    if (var >= 0) return parse_number(m.variable_texts[var][VT_VALUE], value);
    float v = 0;
    if (eval_expr(scratch, m, expression, v) != 1) return false;
    value = v;
    return true;
}

void sample_live_curves(void* player, Model& m) {
    Script* const outer = sampling_script;
    sampling_script = static_cast<PlayerState*>(player)->curve_script.get();
    draw_live_curves(m, evaluate_for_sampling_player);
    sampling_script = outer;
}

}  // namespace quorrel
