#include <QFile>
#include <QString>
#include <cstring>
#include <string_view>
#include <vector>

#include "demos/demos.h"
#include "format/text_form.h"

namespace quorrel {
namespace {

// The embedded files (demos/CMakeLists.txt puts them under this prefix).
bool embedded_file(const std::string& name, std::string& bytes) {
    QFile f(QStringLiteral(":/demos/") + QString::fromStdString(name));
    if (!f.open(QIODevice::ReadOnly)) return false;
    bytes = f.readAll().toStdString();
    return true;
}

struct Registry {
    std::vector<std::string> names;  // file name and text name of each demo, in turn
    std::vector<DemoInfo> demos;
    Registry() {
        // QUORREL_DEMO_NAMES: the demos' base names, separated by commas.
        std::string_view list = QUORREL_DEMO_NAMES;
        std::vector<std::string_view> bases;
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            bases.push_back(list.substr(0, comma));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        }
        names.reserve(2 * bases.size());  // the pointers into them must stay put
        for (std::string_view base : bases) {
            names.push_back(std::string(base) + ".exp");
            names.push_back(std::string(base) + ".toml");
            demos.push_back({names[names.size() - 2].c_str(), names.back().c_str()});
        }
    }
};

}  // namespace

std::span<const DemoInfo> all_demos() {
    static const Registry registry;
    return registry.demos;
}

const DemoInfo* find_demo(const char* file_name) {
    for (const DemoInfo& d : all_demos())
        if (std::strcmp(d.file_name, file_name) == 0) return &d;
    return nullptr;
}

void current_state_at_start(Model& m) {
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.x = o.prev_x = o.x0;
        o.y = o.prev_y = o.y0;
        o.vx = o.prev_vx = o.vx0;
        o.vy = o.prev_vy = o.vy0;
        o.mass = o.rest_mass;
    }
}

std::string demo_text(const DemoInfo& demo) {
    std::string text;
    embedded_file(demo.text_name, text);
    return text;
}

LoadResult load_demo(Model& m, const DemoInfo& demo, LoadScratch& scratch) {
    std::string text;
    if (!embedded_file(demo.text_name, text)) {
        LoadResult missing;
        missing.message = std::string("demo ") + demo.text_name + " is not embedded";
        return missing;
    }
    LoadResult r = read_text_form(m, text, TextFormat::Toml, PictureFiles(embedded_file), scratch);
    if (r.ok) current_state_at_start(m);
    return r;
}

LoadResult load_demo(Model& m, const DemoInfo& demo) {
    LoadScratch scratch;
    return load_demo(m, demo, scratch);
}

}  // namespace quorrel
