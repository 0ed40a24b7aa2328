// Whole-file reading and the choice between the two formats.
#include <filesystem>
#include <fstream>

#include "model/io.h"
#include "model/read_common.h"
#include "model/text_form.h"

namespace quorrel {

FileKind detect_kind(std::string_view bytes) {
    if (bytes.substr(0, EXPERIMENT_MAGIC.size()) == EXPERIMENT_MAGIC) return FileKind::Experiment;
    // Anything that can hold the four-byte trailer may carry a container.
    if (bytes.size() >= 4) return FileKind::Container;
    return FileKind::Unknown;
}

std::string folder_of(const std::string& path) {
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool read_whole_file(const std::string& path, std::string& out) {
    std::error_code ec;
    // A folder opens like a file on this system and reads as nothing.
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::string data;
    char buffer[1 << 16];
    while (f.read(buffer, sizeof buffer) || f.gcount() > 0) {
        data.append(buffer, static_cast<std::size_t>(f.gcount()));
        if (f.eof()) break;
    }
    if (f.bad()) return false;
    out = std::move(data);
    return true;
}

LoadResult read_container_file(Model& m, const std::string& path, LoadScratch& scratch) {
    std::string bytes;
    if (!read_whole_file(path, bytes)) return failure(msg::CANNOT_OPEN_PROGRAM, msg::CAPTION_HINT, true);
    return read_container(m, bytes, scratch);
}

LoadResult read_experiment_file(Model& m, const std::string& path, LoadScratch& scratch) {
    std::string bytes;
    if (!read_whole_file(path, bytes)) return failure(msg::CANNOT_OPEN_FILE, msg::CAPTION_WARNING, true);
    return read_experiment(m, bytes, scratch);
}

LoadResult read_any_file(Model& m, const std::string& path, LoadScratch& scratch) {
    if (text_format_of(path) != TextFormat::None) return read_text_form_file(m, path, scratch);
    std::string bytes;
    if (!read_whole_file(path, bytes)) return failure(msg::CANNOT_OPEN_FILE, msg::CAPTION_WARNING, true);
    if (detect_kind(bytes) == FileKind::Experiment) return read_experiment(m, bytes, scratch);
    // A file too short for a trailer gets the container reader's message.
    return read_container(m, bytes, scratch);
}

LoadResult read_container_file(Model& m, const std::string& path) {
    LoadScratch scratch;
    return read_container_file(m, path, scratch);
}

LoadResult read_experiment_file(Model& m, const std::string& path) {
    LoadScratch scratch;
    return read_experiment_file(m, path, scratch);
}

LoadResult read_any_file(Model& m, const std::string& path) {
    LoadScratch scratch;
    return read_any_file(m, path, scratch);
}

}  // namespace quorrel
