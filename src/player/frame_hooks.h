// What the player lends the drawing: the substitution of variable references
// in annotation texts and point labels, and the evaluator with which the live
// curves of the function graphs are sampled during a frame.
#pragma once

#include "model/model.h"
#include "script/script.h"

namespace quorrel {

// The scene's text substitution (a SubstituteFn): the text with its variable
// and parameter references replaced by their values.
void substitute_references(void* ctx, Model& m, const Text& in, Text& out);

// A curve's value: 0 for "数值0", the number in the variable it names (as a
// double, the way readings store it), or else the value of the expression of
// the program language it holds, computed in `scratch` (nothing is carried
// from one evaluation to the next). False when it cannot be evaluated.
bool evaluate_curve(Script& scratch, Model& m, const Text& expression, double& value);

// Samples the live curves of the function graphs for one frame and draws the
// new segments into the graph pictures (a GraphSampler; `player` is the
// PlayerState whose curve script evaluates the expressions).
void sample_graphs(void* player, Model& m);

}  // namespace quorrel
