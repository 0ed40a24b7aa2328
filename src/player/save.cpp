#include "player/save.h"

#include "model/fields.h"
#include "model/text_form.h"
#include "player/chrome.h"
#include "player/document.h"
#include "player/run_state.h"

namespace quorrel {

bool can_save_in_place(const Document& p) {
    return p.origin == ExperimentOrigin::ExperimentFile && !p.model->experiment_path.empty();
}

std::unique_ptr<Model> model_to_save(const Document& p) {
    auto m = std::make_unique<Model>(*p.model);
    if (m->snapshot.taken) restore_snapshot(*m);
    for (int i = 0; i < std::min(m->variable_count, MAX_VARIABLES); ++i)
        m->variable_texts[i][VT_VALUE] = m->variable_texts[i][VT_INITIAL];
    if (p.loaded) copy_runtime_fields(*m, *p.loaded);
    return m;
}

WriteResult save_experiment(Document& p, Chrome& c, const std::string& path) {
    const WriteResult r = write_file_safely(path, write_for_path(*model_to_save(p), path));
    if (!r.ok) return r;
    p.model->experiment_path = path;
    p.origin = file_origin(path);
    update_caption(c, *p.model);
    return r;
}

WriteResult export_run_csv(const RunState& p, const std::string& path) {
    if (p.record.rows() == 0) {
        WriteResult r;
        r.message = "还没有可以导出的数据:请先运行实验。";
        return r;
    }
    return write_file_safely(path, p.record.csv());
}

}  // namespace quorrel
