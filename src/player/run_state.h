// What one run of the experiment changes: the event programs' interpreters
// and the services they call, the run flags the Run, Stop and Pause buttons
// follow, the error of the last program run, the frames recorded since Run
// and the playback speed.
#pragma once

#include <memory>

#include "player/playback.h"
#include "player/run_record.h"
#include "script/platform.h"
#include "script/script.h"

namespace quorrel {

// The error of the last clock-program run, as the tool reports it.
struct ProgramError {
    int code = 0;  // 0 = none
    int program = 0;
    int line = 0;  // 0-based
};

struct RunState {
    Platform* platform = nullptr;  // message boxes, editor, sound; not owned
    // What 停止, 重新运行 and 打开 do (the player's own host); not owned.
    ProgramHost* program_host = nullptr;
    // The event-program machinery; its pause request is the 暂停 statement's.
    std::unique_ptr<Script> script;
    // Evaluates the expressions of the live curves while a frame is drawn.
    std::unique_ptr<Script> curve_script;

    int idle_loop = 1;           // while 1 the main loop ticks
    bool pause_enabled = false;  // a run is going or paused: the pause button is enabled
    bool pause_down = false;     // the run is paused
    ProgramError last_error;
    bool stopped_in_tick = false;  // Stop ran during the current tick

    // Every frame since the last Run, for the CSV export.
    RunRecord record;
    // Frames per second of the clock (playback.h).
    Playback playback;
};

// "running", "paused", "stopped" or "halted".
const char* run_status(const RunState& r, const Model& m);

// Pause when running, continue when not; nothing without a run to pause.
void press_pause(RunState& r, Model& m);

}  // namespace quorrel
