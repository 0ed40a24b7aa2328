// The Chinese titles of the bundled demos, for the demo launcher's list.
#pragma once

#include <string>
#include <vector>

#include "demos/demos.h"

namespace quorrel {

struct DemoTitle {
    const char* file_name;
    std::string title;  // UTF-8
};

// The title of a demo: the text of its first annotation (its title line) up
// to the first full-width colon or semicolon; the file name when it has no
// annotation.
std::string demo_title(const DemoInfo& demo);
// Every bundled demo with its title, in the order of all_demos().
std::vector<DemoTitle> demo_titles();

}  // namespace quorrel
