// The operations that touch one part of the player's state only.
#include "format/text_form.h"
#include "player/chrome.h"
#include "player/document.h"
#include "player/run_state.h"
#include "player/view_state.h"

namespace quorrel {
namespace {

std::string file_name_of(const std::string& path) {
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

ExperimentOrigin file_origin(const std::string& path) {
    return text_format_of(path) != TextFormat::None ? ExperimentOrigin::TextForm : ExperimentOrigin::ExperimentFile;
}

void keep_as_loaded(Document& d) {
    if (!d.loaded) d.loaded = std::make_unique<Model>();
    *d.loaded = *d.model;
}

const char* run_status(const RunState& r, const Model& m) {
    if (r.idle_loop == 0) return "halted";
    if (m.running) return "running";
    if (r.pause_enabled) return "paused";
    return "stopped";
}

void press_pause(RunState& r, Model& m) {
    // The menu item follows the button: without a run to pause (before the
    // first Run, after Stop) it does nothing. Continuing from there would run
    // without a snapshot, and Stop could no longer restore the start positions.
    if (!r.pause_enabled) return;
    if (m.running) {
        m.running = false;
        r.pause_down = true;
    } else {
        m.running = true;
        r.pause_down = false;
    }
}

const QImage& picture(ViewState& v) {
    scene_end(v.scene);
    return v.scene.image1;
}

void end_drag(ViewState& v) {
    v.scene.drag_state = 0;
    v.scene.drag_index = -1;
    v.mouse.mouse_down = false;
    v.mouse.drag_state = 0;
}

void show_status(Chrome& c, Colour colour, std::string text) {
    c.status_colour = colour;
    c.status_text = std::move(text);
    c.status_tooltip.clear();
}

void update_caption(Chrome& c, const Model& m) {
    c.caption = "Quorrel   Ver 3.5 专业版      " + file_name_of(m.experiment_path);
}

}  // namespace quorrel
