// What a teacher would not see in an experiment: a body that hangs in the
// air, a name that matches nothing, a text or body that cannot be seen,
// objects that overlap or stand off their host, objects outside the picture.
// Each check is a small free function over the model; the list of findings is
// what `quorrel-tool check` prints and what the player shows in its status
// line after opening a file. Nothing here changes the model.
#pragma once

#include <string>
#include <vector>

#include "format/io.h"
#include "model/model.h"

namespace quorrel {

struct Finding {
    int line = 0;      // of the record in a text form; 0 when unknown
    std::string text;  // UTF-8: the element and what is wrong, without the line
};

// The findings of every check, in the order of the checks and slots.
// `lines` gives the record lines of a text form (LoadScratch::record_lines);
// empty for an experiment file.
std::vector<Finding> check_experiment(const Model& m, const std::vector<RecordLine>& lines);

// One finding as a line of text: "第 N 行 " (when the line is known) and its text.
std::string finding_line(const Finding& f);

// The status line after opening an experiment with findings: "N 条提示：" and
// the first; the tooltip lists them all, one per line. Empty without findings.
std::string findings_status(const std::vector<Finding>& findings);
std::string findings_tooltip(const std::vector<Finding>& findings);

}  // namespace quorrel
