// Live curves of the function graphs: once per frame every curve takes a new
// sample. The engine only computes the samples; the drawing (render/graphs.h)
// turns them into segments on the graph pictures.
#pragma once

#include "model/curve_segment.h"
#include "model/model.h"

namespace quorrel {

// Evaluates a curve expression (a variable name or an expression of the event
// program language) with the caller's context; false when it cannot be evaluated.
using CurveEvaluator = bool (*)(void* ctx, Model& m, const Text& expression, double& value);

// Graphs whose curves are sampled: the first ones, up to the first unused slot.
inline constexpr int LIVE_CURVE_GRAPHS = 8;
// The most segments one sampling can give.
inline constexpr int MAX_CURVE_SEGMENTS = LIVE_CURVE_GRAPHS * CURVES;

// One sample of every live curve: for the graphs up to the first unused one
// (at most the first 8) and each curve whose two expressions are not both
// "数值0", a segment from the curve's cached values to the new sample, and
// the new sample becomes the cached one. A curve whose expression fails (or
// gives a non-finite value) keeps its previous sample and gives no segment.
// `evaluate` gets `ctx` with every call. Writes at most `capacity` records to `out` and returns how many.
int sample_live_curves(Model& m, CurveEvaluator evaluate, void* ctx, CurveSegment* out, int capacity);

}  // namespace quorrel
