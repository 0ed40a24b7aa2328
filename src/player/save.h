// Saving the experiment on show and exporting the numbers of the last run.
#pragma once

#include <memory>
#include <string>

#include "format/safe_write.h"
#include "model/model.h"

namespace quorrel {

struct Chrome;
struct Document;
struct RunState;

// Can 保存 write back to the file the experiment came from? Only an
// experiment file can be; a packed player or a text form asks for a name.
bool can_save_in_place(const Document& p);

// The experiment as it would be opened again: the start state of a run in
// progress (objects and points as at Run, variables at their initial values)
// and the values the player recomputes (positions, readings, drawn sizes) as
// they were read, everything the user changed included.
std::unique_ptr<Model> model_to_save(const Document& p);

// Writes model_to_save to `path` (an experiment file, or a text form by the
// extension) without ever leaving a half-written file. On success the
// experiment path and the window's caption follow the new file, and 保存
// writes there from then on.
WriteResult save_experiment(Document& p, Chrome& c, const std::string& path);

// The CSV of every frame since the last Run (run_record.h) written to `path`.
// Without a run there is nothing to export, which is reported as a failure.
WriteResult export_run_csv(const RunState& p, const std::string& path);

}  // namespace quorrel
