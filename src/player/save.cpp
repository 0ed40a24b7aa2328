#include "player/save.h"

#include "engine/engine.h"
#include "format/fields.h"
#include "format/text_form.h"
#include "player/chrome.h"
#include "player/document.h"
#include "player/run_state.h"

namespace quorrel {

bool can_save_in_place(const Document& p) {
    return p.origin == ExperimentOrigin::ExperimentFile && !p.model->experiment_path.empty();
}

namespace {

// `m` with what the preparation of a scene derives from its stored fields:
// every object's start state and the readings at time 0.
std::unique_ptr<Model> derived_at_start(const Model& m) {
    auto d = std::make_unique<Model>(m);
    d->running = false;
    d->sim_time = 0;
    set_presence(*d);
    prepare_initial_state(*d);
    jisuan_du_liang(*d);
    return d;
}

WriteResult failed(std::string message) {
    WriteResult r;
    r.message = std::move(message);
    return r;
}

}  // namespace

std::unique_ptr<Model> model_to_save(const Document& p) {
    auto m = std::make_unique<Model>(*p.model);
    if (m->snapshot.taken) restore_snapshot(*m);
    for (int i = 0; i < std::min(m->variable_count, MAX_VARIABLES); ++i)
        m->variable_texts[i][VT_VALUE] = m->variable_texts[i][VT_INITIAL];
    // The values the player recomputes are saved as they were read, but those
    // derived from something edited since are saved as derived now: never a
    // stale current mass beside an edited rest mass.
    if (p.loaded) {
        copy_runtime_fields(*m, *p.loaded);
        copy_runtime_fields(*m, *p.loaded, *derived_at_start(*m), *derived_at_start(*p.loaded));
    }
    return m;
}

WriteResult save_experiment(Document& p, Chrome& c, const std::string& path) {
    const auto m = model_to_save(p);
    if (text_format_of(path) == TextFormat::None) {
        const std::string loss = experiment_file_loss(*m);
        if (!loss.empty()) return failed("不能存为实验文件:" + loss + "请存为 .toml 或 .json。");
    } else if (const std::string field = first_non_finite_value(*m); !field.empty()) {
        return failed("不能存为文本格式:" + text_form_refusal(field));
    }
    const WriteResult r = write_file_safely(path, write_for_path(*m, path));
    if (!r.ok) return r;
    p.model->experiment_path = path;
    p.origin = file_origin(path);
    update_caption(c, *p.model);
    return r;
}

WriteResult export_run_csv(const RunState& p, const std::string& path) {
    if (p.record.rows() == 0) return failed("还没有可以导出的数据:请先运行实验。");
    return write_file_safely(path, p.record.csv());
}

}  // namespace quorrel
