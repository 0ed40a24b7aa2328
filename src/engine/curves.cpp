// Sampling of the live curves of the function graphs.
#include "engine/curves.h"

#include <algorithm>
#include <cmath>

#include "model/gbk.h"

namespace quorrel {
namespace {

bool is_value_zero(const Text& t) {
    return t == gbk::VALUE_ZERO;
}

// A curve value: "数值0" is 0, anything else goes to the evaluator.
bool curve_value(Model& m, CurveEvaluator evaluate, void* ctx, const Text& expression, double& value) {
    if (is_value_zero(expression)) {
        value = 0;
        return true;
    }
    return evaluate && evaluate(ctx, m, expression, value) && std::isfinite(value);
}

}  // namespace

int sample_live_curves(Model& m, CurveEvaluator evaluate, void* ctx, CurveSegment* out, int capacity) {
    int n = 0;
    const int graphs = std::min(graph_count(m), LIVE_CURVE_GRAPHS);
    for (int gi = 0; gi < graphs; ++gi) {
        FunctionGraph& g = m.graphs[gi];
        for (int c = 0; c < CURVES; ++c) {
            const Text& xe = m.graph_texts1[gi][c];
            const Text& ye = m.graph_texts2[gi][c];
            if (is_value_zero(xe) && is_value_zero(ye)) continue;
            double x, y;
            if (!curve_value(m, evaluate, ctx, xe, x) || !curve_value(m, evaluate, ctx, ye, y)) continue;
            if (out != nullptr && n < capacity) out[n++] = {gi, c, g.curve_x_value[c], g.curve_y_value[c], x, y};
            g.curve_x_value[c] = x;
            g.curve_y_value[c] = y;
        }
    }
    return n;
}

}  // namespace quorrel
