// Pieces shared by the container reader and the experiment file reader: the
// blocks both formats hold (in a different order), the stored texts, the
// pictures, the messages, and the rule that a read goes into a fresh model.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "format/binary_io.h"
#include "format/io.h"
#include "model/model.h"

namespace quorrel {

namespace msg {
// Fixed messages of the player.
inline constexpr const char* CAPTION_HINT = "提示";
inline constexpr const char* CAPTION_WARNING = "warning";
inline constexpr const char* INVALID_HEADER = "这是一个无效的实验文件,或版本不同。";
inline constexpr const char* CANNOT_OPEN_PROGRAM = "不能打开这个程序文件 ,请检查这个文件是否已损坏。";
inline constexpr const char* CANNOT_OPEN_FILE = "不能打开这个文件,请检查这个文件是否存在.";
// Our own, for damage the player would otherwise run into blindly.
inline constexpr const char* EMPTY_FILE = "这个文件是空的,不是有效的实验文件。";
inline constexpr const char* CONTAINER_DAMAGED = "程序文件中的实验已损坏:";
inline constexpr const char* EXPERIMENT_DAMAGED = "实验文件已损坏:";
inline constexpr const char* TEXT_FORM_ERROR = "实验文本有错误:";
inline constexpr const char* TRAILER_OUTSIDE = "文件末尾记录的实验位置超出了文件范围。";
}  // namespace msg

// Where a read stands: the bytes, the part being read (for messages) and the
// first problem found.
struct ReadContext {
    explicit ReadContext(std::string_view bytes, const char* damaged_prefix) : in(bytes), prefix(damaged_prefix) {}

    ByteReader in;
    const char* prefix;     // "…已损坏:" of this format
    const char* part = "";  // the part being read, for the short-file message
    std::string error;      // UTF-8 detail of the first failure

    // Records the failure (the first one wins) and returns false.
    bool fail(const std::string& detail);
    // False with the short-file message when a read ran past the end.
    bool check();
    // A count word in 0..capacity; -1 (and a failure) otherwise.
    int count(int capacity, const char* what);
};

// The blocks both formats share. Each returns false on failure (see ctx.error).
bool read_settings(ReadContext& ctx, Model& m);            // steps_per_frame through c, 159 bytes
bool read_physics_flags(ReadContext& ctx, Model& m);       // five u8 options and selected_object
bool read_objects(ReadContext& ctx, Model& m);             // count and 480-byte records
bool read_elements(ReadContext& ctx, Model& m);            // the thirteen element tables
bool read_scene_lists(ReadContext& ctx, Model& m);         // measurements, text blocks, points, word, annotations
bool read_variables_programs(ReadContext& ctx, Model& m);  // variables, programs, graph window block
bool read_graphs(ReadContext& ctx, Model& m);              // function graph count and records
bool read_reserved_block(ReadContext& ctx, Model& m);      // the 50 reserved bytes

struct TextRules {
    bool objects_by_rest_mass;  // container: object texts end at rest mass 0; file: at kind 0
    bool with_graphs;           // the function-graph texts are present
};
bool read_texts(ReadContext& ctx, Model& m, const TextRules& rules);

// A size word and that many bytes of a Windows bitmap, decoded into the
// object's picture; the bytes are kept for the writer.
bool read_object_picture(ReadContext& ctx, Model& m, int slot);
// A size word and that many bytes of a JPEG file, decoded into the background.
bool read_background_picture(ReadContext& ctx, Model& m);

LoadResult failure(const std::string& message, const char* caption, bool ok_cancel);
// Reads the regular file `path` of at most `limit` bytes for a reader: true
// and its bytes, or false and the reader's failure (`cannot_open` for a file
// that is missing, unreadable or not a regular file; a message naming the
// file and the limit for one that is too large).
bool read_file_for_reader(const std::string& path, std::size_t limit, std::string& bytes, LoadResult& failed,
                          const char* cannot_open = msg::CANNOT_OPEN_FILE, const char* caption = msg::CAPTION_WARNING);
// The damage message of `ctx`, with its format's prefix.
LoadResult damaged(const ReadContext& ctx);

// A reset model holding the settings a reset keeps, `digits` and the
// experiment path of `m`: what `m` would be after a reset. The model is large;
// the scratch's model is reset for each read instead of a new one allocated.
Model& fresh_model_like(const Model& m, LoadScratch& scratch);

// Reads into a fresh model and moves it into `m` only when `read` succeeds, so
// a failed read leaves `m` exactly as it was.
template <class F>
LoadResult read_into_fresh(Model& m, LoadScratch& scratch, F&& read) {
    Model& fresh = fresh_model_like(m, scratch);
    LoadResult r = read(fresh);
    if (r.ok) m = std::move(fresh);
    return r;
}

// Body of a stored text as the writer emits it: up to the first zero byte,
// at most MAX_TEXT_BYTES bytes and never ending inside a double-byte character.
std::string_view storable_text(std::string_view t);

}  // namespace quorrel
