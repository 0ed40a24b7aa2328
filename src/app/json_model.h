// The whole loaded experiment as one JSON object, for `quorrel-tool dump`.
#pragma once

#include <QJsonObject>

#include "model/model.h"

namespace quorrel {

// Keys: settings, toolbar (null unless the model came from a container),
// objects, elements, measurements, text_blocks, points, annotations,
// function_graphs, variables, programs, pictures, background. Only used slots
// are listed; every table walk stops at its capacity.
QJsonObject model_to_json(const Model& m);

}  // namespace quorrel
