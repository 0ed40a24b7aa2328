#include "player/player.h"

#include <cmath>

#include "engine/constraints.h"
#include "engine/curves.h"
#include "engine/engine.h"
#include "engine/object_params.h"
#include "format/io.h"
#include "format/text_form.h"
#include "model/gbk.h"
#include "model/numtext.h"
#include "player/checks.h"
#include "player/frame_hooks.h"
#include "player/run_control.h"
#include "player/view_control.h"
#include "render/bounds.h"
#include "render/canvas.h"
#include "render/frame.h"
#include "render/graphs.h"
#include "render/objects.h"
#include "script/evaluator.h"
#include "script/interpreter.h"
#include "script/platform.h"

namespace quorrel {
namespace {

constexpr const char* OUT_OF_RANGE_TEXT = "有运动对象已经超越了显示的范围，当前实验已被停止。";
constexpr const char* SAVE_FIRST_TEXT = "请先保存,当前的实验。";
constexpr int ERROR_SAVE_FIRST = 100;

void reset_variable_values(Model& m) {
    const int n = std::min(m.variable_count, MAX_VARIABLES);
    for (int i = 0; i < n; ++i) m.variable_texts[i][VT_VALUE] = m.variable_texts[i][VT_INITIAL];
}

void show_load_failure(Platform* platform, const LoadResult& r) {
    if (platform) platform->message_box(r.message, r.caption, r.ok_cancel ? Buttons::OkCancel : Buttons::Ok);
}

// A program that runs out of time stops wherever it happens to be: two such
// errors of one program are the same error, whatever their lines.
bool same_error(const ProgramError& a, const ProgramError& b) {
    return a.code == b.code && a.program == b.program && (a.line == b.line || a.code == ERR_LINE_BUDGET);
}

// Load steps after the reader: graph pictures, the loaded flag, the caption.
void after_read(PlayerState& p, const std::string& path) {
    Model& m = *p.model;
    // A player that was never sized draws at the design size.
    if (p.scene.image1.isNull()) resize_scene(p, 700, 420, 702, 455);
    m.experiment_path = path;
    m.running = false;
    p.program_folder = folder_of(path);
    p.last_error = {};
    // The history belongs to the experiment that was there before.
    p.edits.clear();
    for (int g = 0; g < MAX_GRAPHS && m.graphs[g].kind != 0; ++g) {
        create_graph_picture(m, g);
        draw_graph_frame(m, p.scene, g);
    }
    p.model_loaded = true;
}

// The current values of graph `slot`'s five curves, re-evaluated: x through
// the program language, y through the variable its text names.
void refresh_graph_bounds(Script& script, Model& m, int slot) {
    FunctionGraph& g = m.graphs[slot];
    for (int c = 0; c < CURVES; ++c) {
        const Text& first = m.graph_texts1[slot][c];
        if (first != gbk::VALUE_ZERO) {
            float v = 0;
            if (eval_expr(script, m, first, v) == 1) g.curve_x_value[c] = v;
        }
        const Text& second = m.graph_texts2[slot][c];
        if (second != gbk::VALUE_ZERO) {
            const int var = find_variable(m, second);
            double v = 0;
            if (var >= 0 && parse_number(m.variable_texts[var][VT_VALUE], v)) g.curve_y_value[c] = v;
        }
    }
}

}  // namespace

namespace {

// The last load steps: the tool bar as the experiment asks for it (only a
// container or a text form carries its options), where it came from, the
// copy as read, and the scene prepared. An experiment newly opened plays at
// real time when it is a text form (written for this player); an experiment
// file or a packed player keeps the pace its author chose. A reload keeps
// the speed the user has set.
void finish_show(PlayerState& p, ExperimentOrigin origin, bool opening) {
    p.toolbar = toolbar_layout(p.model->toolbar, p.model->has_toolbar);
    p.origin = origin;
    if (opening)
        set_speed(p.playback, p, *p.model, origin == ExperimentOrigin::TextForm ? Speed::RealTime : Speed::Own);
    keep_as_loaded(p);
    if (opening)
        prepar_obj_fitted(p);
    else
        prepar_obj(p);
}

}  // namespace

// After a container was read into the model.
void show_container(PlayerState& p, const std::string& path, bool opening) {
    Model& m = *p.model;
    after_read(p, path);
    // Blocks and inclines are drawn transparently on white.
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        if (o.kind == KIND_BLOCK || o.kind == KIND_INCLINE) {
            o.transparent_colour = 0xFFFFFF;
            o.transparent = 1;
        }
    }
    finish_show(p, ExperimentOrigin::Container, opening);
}

// After an experiment file or a text form was read into the model.
void show_opened(PlayerState& p, const std::string& path, bool opening) {
    Model& m = *p.model;
    after_read(p, path);
    // Objects without a picture of their own show the generated ball on black.
    const int n = object_count(m);
    for (int i = 0; i < n && m.objects[i].rest_mass != 0; ++i) {
        MovingObject& o = m.objects[i];
        if (o.own_picture == 0) {
            o.transparent_colour = 0;
            o.transparent = 1;
        }
    }
    finish_show(p, file_origin(path), opening);
    // What the teacher would not see, as a hint that never blocks the opening.
    const std::vector<Finding> findings = check_experiment(m, p.load_scratch.record_lines);
    if (!findings.empty()) {
        show_status(p, STATUS_NAVY, findings_status(findings));
        p.status_tooltip = findings_tooltip(findings);
    }
}

// In the program editor where the platform has one, else as a message box
// after which the run goes on.
EditorExit show_program_error(RunState& r, Model& m) {
    if (!r.platform) return EditorExit::Continue;
    Script& s = *r.script;
    // Shown from inside a program (打开, 停止), the editor's time is the user's.
    UserWait wait(s);
    if (s.use_program_editor) return r.platform->edit_program(m, s.run_error_program, s.run_error_line, s.run_error);
    r.platform->message_box(program_error_message(s, m), "", Buttons::Ok);
    return EditorExit::Continue;
}

namespace {

// The clock-event program, as preparation runs it three times. An error of the
// program is shown once: the same faulty line would otherwise be reported
// three times in a row, and again by every preparation that follows the
// error's own report (Stop, resize). A program that ran away is not run again
// in the same preparation: the window would wait for it each time.
void run_clock_in(RunState& r, Model& m, ClockRuns& runs) {
    if (runs.ran_away) return;
    ProgramError e;
    if (run_clock_program(r, m, e) == 0) return;
    runs.ran_away = e.code == ERR_LINE_BUDGET;
    if (runs.error_shown || same_error(e, r.last_error)) return;
    runs.error_shown = true;
    r.last_error = e;
    show_program_error(r, m);
}

}  // namespace

void readings_program_writeback(RunState& r, Model& m, ClockRuns& runs) {
    jisuan_du_liang(m);
    run_clock_in(r, m, runs);
    write_bl_back(m);
}

PlayerState::PlayerState() {
    program_host = &host;
    script = make_script(nullptr, &host);
    curve_script = make_script();
    script->load_scratch = &load_scratch;
    scene.substitute = substitute_references;
}

void PlayerHost::stop() {
    press_stop(p_);
}
void PlayerHost::run() {
    press_run(p_);
}
void PlayerHost::prepare_after_open() {
    // The opened file is the experiment now (or the previous one stays).
    after_read(p_, p_.model->experiment_path);
    p_.toolbar = toolbar_layout(p_.model->toolbar, false);
    p_.origin = ExperimentOrigin::ExperimentFile;
    keep_as_loaded(p_);
    prepar_obj_fitted(p_);
}

bool evaluate_start_state(RunState& r, Model& m, ClockRuns& runs) {
    set_presence(m);
    prepare_initial_state(m);
    if (m.running) return false;
    readings_program_writeback(r, m, runs);
    // With m.running clear the step only evaluates forces and accelerations.
    kernel(m);
    reset_for_display(m);
    readings_program_writeback(r, m, runs);
    update_screen_positions(m);
    return true;
}

namespace {

void prepar_obj(PlayerState& p, ClockRuns& runs) {
    Model& m = *p.model;
    update_caption(p, m);
    build_static_scene(m, p.scene);
    if (!evaluate_start_state(p, m, runs)) return;
    prepare_dynamic_scene(m, p.scene);
    readings_program_writeback(p, m, runs);
    if (m.settings.selected_object != -1) draw_selection(m, p.scene);
}

}  // namespace

void prepar_obj(PlayerState& p) {
    ClockRuns runs;
    prepar_obj(p, runs);
}

// Run and Stop refresh only the graphs whose curves are sampled.
void recompute_graphs(RunState& r, Model& m, Scene& s) {
    for (int g = 0; g < LIVE_CURVE_GRAPHS && m.graphs[g].kind != 0; ++g) {
        draw_graph_frame(m, s, g);
        refresh_graph_bounds(*r.script, m, g);
    }
}

namespace {

// Run and Stop: the graphs' pictures are cleared before the scene is
// prepared, so the scene shows them empty at once (clearing them after
// would leave the old curves on screen until the next frame, which after a
// Stop never comes); the curve bounds follow the prepared variables.
void prepare_with_fresh_graphs(PlayerState& p, ClockRuns& runs) {
    for (int g = 0; g < LIVE_CURVE_GRAPHS && p.model->graphs[g].kind != 0; ++g) draw_graph_frame(*p.model, p.scene, g);
    prepar_obj(p, runs);
    recompute_graphs(p, *p.model, p.scene);
}

}  // namespace

void settings_closed(PlayerState& p) {
    for (int g = 0; g < MAX_GRAPHS && p.model->graphs[g].kind != 0; ++g) draw_graph_frame(*p.model, p.scene, g);
    if (!p.pause_enabled) {
        prepar_obj(p);
        return;
    }
    // During a run (going or paused) preparing puts every object back at its
    // start: the run starts again with the new settings, its clock, variables
    // and trails with it, so that the time shown and the positions agree. A
    // paused run stays paused, showing the start.
    const bool paused = !p.model->running;
    press_run(p);
    if (paused) {
        press_pause(p, *p.model);
        prepar_obj(p);
        p.time_text = time_text(*p.model, p.playback);
    }
}

void resize_scene(PlayerState& p, int image_width, int image_height, int window_width, int window_height,
                  double pixel_ratio) {
    Scene& s = p.scene;
    Model& m = *p.model;
    if (!(std::isfinite(pixel_ratio) && pixel_ratio > 0.0)) pixel_ratio = 1.0;
    const int w = static_cast<int>(std::lround(std::max(image_width, 1) * pixel_ratio));
    const int h = static_cast<int>(std::lround(std::max(image_height, 1) * pixel_ratio));
    scene_end(s);
    const View old_view = s.view;
    const QImage old_scene = s.scene_bitmap;
    if (s.image1.isNull())
        scene_init(s, w, h);
    else if (s.image1.width() != w || s.image1.height() != h)
        scene_resize(s, w, h);
    s.window_width = window_width;
    s.window_height = window_height;
    View v = old_view;
    if (v.pixel_ratio != pixel_ratio) {
        // The same design point stays at the top left.
        v.dx = static_cast<int>(std::lround(v.dx * pixel_ratio / v.pixel_ratio));
        v.dy = static_cast<int>(std::lround(v.dy * pixel_ratio / v.pixel_ratio));
        v.pixel_ratio = pixel_ratio;
    }
    scene_set_view(s, v);
    if (!p.model_loaded) return;
    if (p.fit_view) {
        v = fitted_view(content_bounds(m, s), image_width, image_height, pixel_ratio);
        scene_set_view(s, v);
    }
    if (before_run(m)) {
        redraw_graph_pictures(m, s, old_view.scale(), v.scale());
        prepar_obj(p);
    } else {
        // A run in progress or paused goes on from where it is: the scene is
        // drawn for the new size, what the run drew so far carried over.
        scene_set_view(s, old_view);
        redraw_for_view(p, p, old_view, old_scene, v);
    }
}

bool load_container(PlayerState& p, const std::string& path) {
    p.model_loaded = false;
    const LoadResult r = read_container_file(*p.model, path, p.load_scratch);
    if (!r.ok) {
        show_load_failure(p.platform, r);
        return false;
    }
    show_container(p, path, true);
    return true;
}

bool open_experiment(PlayerState& p, const std::string& path) {
    Model& m = *p.model;
    if (p.model_loaded) press_stop(p);
    const LoadResult r = read_experiment_or_text_file(m, path, p.load_scratch);
    if (!r.ok) {
        show_load_failure(p.platform, r);
        if (!p.model_loaded) return false;
        // The previous experiment stays; it is shown again as it was.
        prepar_obj(p);
        return false;
    }
    show_opened(p, path, true);
    return true;
}

bool reload_experiment(PlayerState& p, const std::string& path) {
    const LoadResult r = read_any_file(*p.model, path, p.load_scratch);
    if (!r.ok) {
        // The last good scene stays, running or not; only the status line tells.
        show_status(p, STATUS_RED, r.message);
        return false;
    }
    // The old run ended with the old model.
    end_drag(p);
    p.idle_loop = 1;
    p.time_visible = false;
    p.pause_down = false;
    p.pause_enabled = false;
    show_status(p, STATUS_NAVY, {});  // as after opening: an earlier error goes
    // The window's view stays as it is: a reload is not a new opening.
    if (p.model->has_toolbar && text_format_of(path) == TextFormat::None)
        show_container(p, path, false);
    else
        show_opened(p, path, false);
    return true;
}

bool first_activation(PlayerState& p, const std::string& exe_path) {
    p.caption = exe_path;
    p.executable_path = exe_path;
    if (p.first_activation_done) return p.model_loaded;
    p.first_activation_done = true;
    return load_container(p, exe_path);
}

void press_run(PlayerState& p) {
    Model& m = *p.model;
    end_drag(p);
    m.next_pause = m.settings.pause_time;
    m.sim_time = 0;
    p.idle_loop = 1;
    show_status(p, STATUS_NAVY, {});
    p.time_visible = true;
    p.pause_enabled = true;
    p.pause_down = false;

    clear_run_values(m);
    // Every run starts from the positions of the first run after a Stop.
    if (m.snapshot.taken)
        restore_snapshot(m);
    else
        take_snapshot(m);
    reset_variable_values(m);
    set_rope_rod_lengths(m);
    m.running = true;
    m.variable_texts[0][VT_VALUE] = "0";
    ClockRuns runs;
    prepare_with_fresh_graphs(p, runs);
    m.running = true;
    reset_strobes(m);
    p.record.start(m);
}

void press_stop(PlayerState& p) {
    Model& m = *p.model;
    p.stopped_in_tick = true;
    end_drag(p);
    p.time_visible = false;
    p.pause_down = false;
    p.pause_enabled = false;
    m.running = false;
    if (m.snapshot.taken) {
        restore_snapshot(m);
        m.snapshot.taken = false;
    }
    reset_variable_values(m);
    m.variable_texts[0][VT_VALUE] = "0";
    m.sim_time = 0;
    jisuan_du_liang(m);
    // A Stop caused by a program error runs the same program again; the error
    // the user has just been shown is not shown a second time. One that ran
    // away here is not run again by the preparation that follows.
    ClockRuns runs;
    run_clock_in(p, m, runs);
    runs.error_shown = false;  // the preparation shows its own first error
    prepare_with_fresh_graphs(p, runs);
}

TickOutcome Timing(PlayerState& p) {
    Model& m = *p.model;
    m.stop_message.clear();
    if (!m.running) return TickOutcome::Idle;
    p.stopped_in_tick = false;
    p.last_error = {};

    const int r = movin(m, TrailSink{&p.scene, trail_segment, trail_segment_precise});
    jisuan_du_liang(m);
    p.script->pause_request = 0;
    ProgramError e;
    if (run_clock_program(p, m, e) != 0) {
        p.last_error = e;
        if (e.code == ERROR_SAVE_FIRST) {
            p.idle_loop = 0;
            if (p.platform) p.platform->message_box(SAVE_FIRST_TEXT, "", Buttons::Ok);
            press_stop(p);
        } else {
            // No tick runs while the editor is open. The run resumes before
            // a Stop asked for in the editor, so that the Stop leaves it
            // stopped rather than running again from the start positions.
            m.running = false;
            const EditorExit exit = show_program_error(p, m);
            m.running = true;
            if (exit == EditorExit::Stop) {
                p.idle_loop = 0;
                press_stop(p);
            }
        }
    }
    write_bl_back(m);
    p.record.record(m);
    if (r == MOVIN_OUT_OF_RANGE) {
        m.running = false;
        show_status(p, STATUS_RED, OUT_OF_RANGE_TEXT);
        press_stop(p);
    }
    draw_frame(m, p.scene, sample_graphs, &p);
    p.time_text = time_text(m, p.playback);

    TickOutcome outcome = TickOutcome::Advanced;
    // A run stopped during this tick stays stopped: there is nothing to pause.
    if ((r == MOVIN_PAUSE || p.script->pause_request == 1) && p.pause_enabled) {
        p.pause_down = true;
        m.running = false;
        outcome = TickOutcome::Paused;
    }
    if (!m.stop_message.empty()) {
        m.running = false;
        p.pause_down = false;
        show_status(p, STATUS_RED, m.stop_message);
        m.stop_message.clear();
        outcome = TickOutcome::StopMessage;
    }
    if (p.idle_loop == 0) return TickOutcome::Halted;
    if (r == MOVIN_OUT_OF_RANGE) return TickOutcome::OutOfRange;
    if (p.stopped_in_tick && !m.running) return TickOutcome::Stopped;
    return outcome;
}

std::string time_text(const Model& m, const Playback& pb) {
    return time_readout(m) + "   " + real_time_text(pb.speed, m);
}

}  // namespace quorrel
