// How the player finds its experiment at start.
#pragma once

#include <string>
#include <vector>

namespace quorrel {

// The player's command line: an optional experiment file and the options.
struct PlayerArgs {
    bool help = false;
    // Quit with status 0 once the loaded experiment's first frame is painted
    // (start-up measurements).
    bool exit_after_first_frame = false;
    // Reload the file whenever it changes on disk.
    bool watch = false;
    // The view scale to open with; 0 fits the scene to the window.
    double zoom = 0.0;
    // Play at real time from the start, whatever pace the file sets (the
    // demo launcher opens its experiment files so).
    bool real_time = false;
    std::string file;   // empty: none given
    std::string error;  // UTF-8, non-empty when the command line is not understood
};

// Parses the arguments after the program name. "--" ends the options, so a
// file whose name starts with "-" can still be named.
PlayerArgs parse_player_args(const std::vector<std::string>& args);
// The usage text of `--help` (UTF-8, ends with a newline).
std::string player_usage(const std::string& program);

// Does the file end with a container (a trailer pointing at an "ssmw" header
// inside the file)? False when the file cannot be read.
bool carries_container(const std::string& path);
// Does the file start with the experiment file's header?
bool is_experiment_file(const std::string& path);
// Is the file opened as an experiment (an experiment file or a text form), not
// as a packed player?
bool opens_as_experiment(const std::string& path);
// Can the file be opened for reading at all? Only a regular file (after
// symlinks) can: a folder, FIFO, device or socket cannot, and asking never blocks.
bool can_read(const std::string& path);
// The message for a file that does not exist or cannot be read, naming it (UTF-8).
std::string cannot_open_message(const std::string& path);
// Is `path` one of the bundled demos an installation put beside the player
// (`program_folder`/../share/quorrel/demos)? Those open at real time, however
// they are opened, as they do from the demo gallery.
bool is_installed_demo(const std::string& program_folder, const std::string& path);

}  // namespace quorrel

namespace quorrel {

struct PlayerState;

// Loads either kind of file into the player, as the executables do: an
// experiment file or a text form (by the extension) is opened, anything else
// is read as a container. A file that cannot be opened at all is reported as
// such, not as a damaged one.
bool load_any(PlayerState& p, const std::string& path);

}  // namespace quorrel
