#include "demos/demo_titles.h"

#include "model/gbk.h"

namespace quorrel {
namespace {

std::string title_of(Model& m, const DemoInfo& demo, LoadScratch& scratch) {
    if (!load_demo(m, demo, scratch).ok || annotation_count(m) == 0) return demo.file_name;
    std::string text = gbk_to_utf8(m.annotation_text[0]);
    // The caption ends at the first "：" or "；"; what follows describes the set-up.
    for (const char* end : {"：", "；"}) {
        const std::size_t at = text.find(end);
        if (at != std::string::npos && at > 0) text.resize(at);
    }
    return text;
}

}  // namespace

std::string demo_title(const DemoInfo& demo) {
    auto m = make_model();
    LoadScratch scratch;
    return title_of(*m, demo, scratch);
}

std::vector<DemoTitle> demo_titles() {
    auto m = make_model();
    LoadScratch scratch;
    std::vector<DemoTitle> list;
    for (const DemoInfo& d : all_demos()) list.push_back({d.file_name, title_of(*m, d, scratch)});
    return list;
}

}  // namespace quorrel
