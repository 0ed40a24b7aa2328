#include <cstring>
#include <vector>

#include "demos/demos.h"

namespace quorrel {

std::span<const DemoInfo> all_demos() {
    static const std::vector<DemoInfo> all = [] {
        std::vector<DemoInfo> v;
        for (auto group : {basic_demos(), mechanism_demos(), motion_demos(), field_demos(), linked_demos()})
            v.insert(v.end(), group.begin(), group.end());
        return v;
    }();
    return all;
}

const DemoInfo* find_demo(const char* file_name) {
    for (const DemoInfo& d : all_demos())
        if (std::strcmp(d.file_name, file_name) == 0) return &d;
    return nullptr;
}

}  // namespace quorrel
