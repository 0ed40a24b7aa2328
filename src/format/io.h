// Reading and writing experiments: the container appended to a player
// executable, and the experiment file.
//
// Every reader fills a fresh model and replaces the caller's model only when
// the whole read succeeded; on failure the caller's model is left as it was.
// Pictures are decoded from memory (no temporary file is written).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace quorrel {

struct LoadResult {
    bool ok = false;
    std::string message;     // UTF-8 text for the user when !ok
    std::string caption;     // UTF-8 caption of the message box ("" for a plain box)
    bool ok_cancel = false;  // the box has OK and Cancel buttons
};

// Where a record of a text form starts: the section's key ("objects",
// "measurements", an element code such as "SH"), the slot and the line.
struct RecordLine {
    std::string_view section;
    int slot = 0;
    int line = 0;
};
// The line of record `slot` of `section`, or 0 when unknown.
int record_line(const std::vector<RecordLine>& lines, std::string_view section, int slot);

// The working space of the readers: the fresh model a read fills before it
// replaces the caller's. The model is large, so whoever loads files again and
// again (a player, the fuzzers) keeps one and every read reuses its model. A
// successful read leaves the caller's previous tables in it, for their storage
// to be reused; every read resets it first, so nothing passes from one read to
// the next.
struct LoadScratch {
    std::unique_ptr<Model> spare;
    // The line each record of the last text form read starts on, for messages
    // about the loaded experiment; empty after any other read.
    std::vector<RecordLine> record_lines;
};

enum class FileKind { Experiment, Container, Unknown };

inline constexpr std::string_view EXPERIMENT_MAGIC = "kovra.y3.";

// Decides by the first nine bytes: "kovra.y3." is an experiment file, anything
// else is taken to carry a container at its end.
FileKind detect_kind(std::string_view bytes);

// What is read from disk, at most, in bytes.
// - An experiment file, a container or a packed player: far above any real
//   experiment (50 pictures of a few hundred KiB) and any player executable.
// - A text form: its tables take well under a megabyte, the rest is pictures
//   in base64, and larger pictures can be kept in picture files. Parsing a
//   text of nothing but tiny keys takes about 15 times its size in memory:
//   half a gigabyte and a few seconds at this limit.
// - A picture file: more than the largest bitmap an object may have (4 M
//   pixels of 32 bits) or any photograph used as a background.
inline constexpr std::size_t MAX_EXPERIMENT_FILE_BYTES = std::size_t{256} << 20;
inline constexpr std::size_t MAX_TEXT_FORM_BYTES = std::size_t{32} << 20;
inline constexpr std::size_t MAX_PICTURE_FILE_BYTES = std::size_t{64} << 20;
// A sound an event program plays: more than six minutes of CD-quality WAVE.
inline constexpr std::size_t MAX_SOUND_FILE_BYTES = std::size_t{64} << 20;

enum class FileStatus {
    Ok,
    CannotOpen,  // missing, no permission
    NotRegular,  // a folder, FIFO, device or socket (after following symlinks)
    TooLarge,    // more bytes than the limit, before or while reading
    ReadFailed,  // an input/output error
};

// Opens `path` for reading when it is a regular file, without ever blocking
// (a FIFO or a device is refused before it is opened, and checked again on
// the open descriptor). The descriptor, or -1 with `status` telling why.
int open_regular_file(const std::string& path, FileStatus& status);
// Reads the regular file `path` whole, refusing it when it holds more than
// `limit` bytes; never reads past the limit, even from a file that grows.
// `out` is replaced only on success.
FileStatus read_regular_file(const std::string& path, std::size_t limit, std::string& out);
// Reads a whole regular file of at most MAX_EXPERIMENT_FILE_BYTES; false when
// it cannot be opened or read.
bool read_whole_file(const std::string& path, std::string& out);
// The message for a file over `limit` bytes, naming it (UTF-8).
std::string too_large_message(const std::string& path, std::size_t limit);
// The refusal of a folder, FIFO, device or socket named as an experiment.
std::string not_regular_message(const std::string& path);
// A path (local encoding) as messages name it: UTF-8 in 「」.
std::string shown_path(const std::string& path);
// The folder part of a path ("" for a bare file name): where the files it names lie.
std::string folder_of(const std::string& path);

// Each reader comes twice: with the caller's scratch, and for a one-off read
// with a scratch of its own.

// The container at the end of `bytes` (a packed player or a bare container
// followed by its 4-byte trailer).
LoadResult read_container(Model& m, std::string_view bytes, LoadScratch& scratch);
LoadResult read_container(Model& m, std::string_view bytes);
LoadResult read_container_file(Model& m, const std::string& path, LoadScratch& scratch);
LoadResult read_container_file(Model& m, const std::string& path);

// An experiment file (header "kovra.y3." and a version byte).
LoadResult read_experiment(Model& m, std::string_view bytes, LoadScratch& scratch);
LoadResult read_experiment(Model& m, std::string_view bytes);
LoadResult read_experiment_file(Model& m, const std::string& path, LoadScratch& scratch);
LoadResult read_experiment_file(Model& m, const std::string& path);

// A text form by the file name's extension (.toml, .json, text_form.h),
// else either kind, decided by detect_kind.
LoadResult read_any_file(Model& m, const std::string& path, LoadScratch& scratch);
LoadResult read_any_file(Model& m, const std::string& path);

// The experiment file bytes of `m`. Header byte 9 is '5' (with function
// graphs) unless with_graphs is false ('2', graphs left out).
std::string write_experiment(const Model& m, bool with_graphs = true);

// What the experiment file cannot hold of `m`, as a message for the user
// (UTF-8, naming the first such field), or "" when reading write_experiment(m)
// back gives `m` again, all but the tool bar (a packed player's options, which
// the file has no place for). The file keeps one text per variable, read back
// as both its value and its initial value; a picture only for an object whose
// own_picture is 1 (the others get the generated ball again, transparent on
// black); no title of the graph window; and the background picture only after
// a non-zero mode, which it then demands.
std::string experiment_file_loss(const Model& m);

// The container bytes of `m`, without trailer. Every object with a non-zero
// rest mass carries a picture: its own bitmap, or the generated shaded ball.
std::string write_container(const Model& m);

// A player executable with the container of `m` appended and the trailer
// holding the container's offset. Empty when the player is too large for the
// trailer's 32-bit offset.
std::string pack_player(std::string_view player_bytes, const Model& m);

}  // namespace quorrel
