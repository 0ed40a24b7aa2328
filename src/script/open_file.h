// Opening files named by event programs: other experiments, sounds, documents
// and addresses. Names in programs are GBK and relative to the folder of the
// current experiment; "\" in a stored name is taken as a folder separator.
#pragma once

#include <string>
#include <string_view>

#include "model/model.h"
#include "script/script.h"

namespace quorrel {

// The folder of a path, up to and including its last "/" or "\"; "" when it has none.
std::string experiment_folder(const std::string& path);

// A program's file name as a local path: the folder of the experiment path
// followed by the name (converted to UTF-8, "\" turned into "/"). An absolute
// name is kept as it is.
std::string resolve_program_path(const Model& m, std::string_view gbk_name);

// True when the name ends in "exp" in any case.
bool names_experiment(std::string_view name);

// The 打开 statement with an experiment file: stops the experiment, reads the
// file in place of the current experiment and prepares it. A file that cannot
// be read keeps the previous experiment, but the experiment path stays set to
// the failed name.
void OpenFile_By_Name(Script& s, Model& m, std::string_view name);

}  // namespace quorrel
