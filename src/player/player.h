// The player's core: the whole state of the main window (its parts: the
// document, the run, the view and the chrome) with the operations the tool
// bar, the menu, the event programs and the command-line tool call (load,
// Run, Stop, one tick of the main loop, resize). The Qt window only shows
// this state and forwards its buttons here; `quorrel-tool run` and `render`
// drive the very same object headless.
#pragma once

#include <string>

#include "player/chrome.h"
#include "player/document.h"
#include "player/run_state.h"
#include "player/view_state.h"

namespace quorrel {

struct PlayerState;

// How the last tick ended, for the tool and the tests.
enum class TickOutcome {
    Idle,         // nothing happened: not running, or the idle loop is off
    Advanced,     // one frame was simulated and drawn; still running
    Paused,       // pause time reached or the pause statement ran
    StopMessage,  // a solver posted a stop message
    OutOfRange,   // an object left the drawable range: the experiment was stopped
    Stopped,      // the stop statement ran (or another stop during the tick)
    Halted,       // an event-program error switched the idle loop off
};

// What the event programs' 停止, 重新运行 and 打开 do to the player.
class PlayerHost : public ProgramHost {
public:
    explicit PlayerHost(PlayerState& p) : p_(p) {}
    void stop() override;
    void run() override;
    void prepare_after_open() override;

private:
    PlayerState& p_;
};

// The whole player: its parts, split by what changes together (the document,
// the run, the scene on screen, the window's chrome), and the host the event
// programs call. The window and the tool hold one; an operation that needs
// only some parts takes those, and a PlayerState passes as any of them.
struct PlayerState : Document, RunState, ViewState, Chrome {
    PlayerState();
    PlayerState(const PlayerState&) = delete;
    PlayerState& operator=(const PlayerState&) = delete;

    PlayerHost host{*this};
};

// Sets the picture size (the window's client area below the tool bar) and the
// window size, in screen units, and the screen's pixel ratio (picture pixels
// per unit); redraws the scene when an experiment is loaded. Before a run the
// scene is prepared again; during or after one it is drawn again for the new
// size without touching the run (view_control.h). A fitted view is fitted again.
void resize_scene(PlayerState& p, int image_width, int image_height, int window_width, int window_height,
                  double pixel_ratio = 1.0);

// Reads the container at the end of `path` and prepares the scene. On failure
// shows the reader's message and returns false with the previous model kept.
bool load_container(PlayerState& p, const std::string& path);
// Reads an experiment file or a text form (by the extension) and prepares the
// scene, as opening one does.
bool open_experiment(PlayerState& p, const std::string& path);
// Reads the file again (any kind) into a fresh model: on success it replaces the
// experiment (a run in progress ends) and the scene is prepared; on failure
// the experiment and the scene stay as they were and the status line shows
// the reader's message in red. No message box either way. The window's own
// view (its size, zoom and pan) is not touched.
bool reload_experiment(PlayerState& p, const std::string& path);
// The load steps after a successful read of a container, and of an
// experiment file or a text form; an `opening` fits a fitted view to the
// new content and sets the playback speed the file asks for, else (a reload)
// the view and the speed stay as they are.
void show_container(PlayerState& p, const std::string& path, bool opening);
void show_opened(PlayerState& p, const std::string& path, bool opening);
// The first activation of the main window: loads the container of `exe_path`.
bool first_activation(PlayerState& p, const std::string& exe_path);

// The clock-program runs of one preparation (or one drag step, or one Stop):
// an error is shown once in them, and a program that ran away (error 3: it
// used up its lines or its time) is not run again in them, as it would hold
// the window as long again each time.
struct ClockRuns {
    bool error_shown = false;
    bool ran_away = false;
};

// Puts every object into its initial state and rebuilds the scene: the static
// scene, the start state, the dynamic scene, then readings, the clock program
// and the write-back once more.
void prepar_obj(PlayerState& p);
// The start state, as preparation and every drag step evaluate it: the
// presence flags, every object at its start, and unless a run is going (then
// it returns false and the main loop takes over) readings, clock program and
// write-back around the forces of the start state (kernel in evaluation mode,
// positions reset after it), then the screen positions.
bool evaluate_start_state(RunState& r, Model& m, ClockRuns& runs);
// Redraws the bitmaps of the function graphs and refreshes their curve bounds
// (the run's interpreter evaluates their expressions).
void recompute_graphs(RunState& r, Model& m, Scene& s);
// After the settings dialog closed (OK or Cancel), once the window has redone
// its resize handling: every graph picture redrawn, then the scene prepared
// again from the model.
void settings_closed(PlayerState& p);

// Readings, the clock-event program and the write-back, as preparation and
// dragging do them; a program error is shown once per `runs`.
void readings_program_writeback(RunState& r, Model& m, ClockRuns& runs);
// Shows the error of the last event-program run (the program editor, or a
// message box where there is none). Returns whether the user chose to stop.
EditorExit show_program_error(RunState& r, Model& m);

// One tick of the main loop (one frame while running).
TickOutcome Timing(PlayerState& p);

// Tool-bar and menu commands.
void press_run(PlayerState& p);
void press_stop(PlayerState& p);

// The time readout: "  t = " and sim_time with `digits` digits, then the
// playback speed against real time.
std::string time_text(const Model& m, const Playback& pb);

}  // namespace quorrel
