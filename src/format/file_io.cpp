// Whole-file reading and the choice between the two formats.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "format/io.h"
#include "format/read_common.h"
#include "format/text_form.h"

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

int open_regular_file(const std::string& path, FileStatus& status) {
    struct stat st {};
    // Checked before opening: opening some devices has effects of its own.
    if (::stat(path.c_str(), &st) != 0) {
        status = FileStatus::CannotOpen;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = FileStatus::NotRegular;
        return -1;
    }
    // O_NONBLOCK: a FIFO renamed over the file since the check opens at once
    // instead of waiting for a writer, and fstat then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        status = errno == ENXIO ? FileStatus::NotRegular : FileStatus::CannotOpen;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        status = FileStatus::NotRegular;
        return -1;
    }
    status = FileStatus::Ok;
    return fd;
}

FileStatus read_regular_file(const std::string& path, std::size_t limit, std::string& out) {
    FileStatus status = FileStatus::Ok;
    const int fd = open_regular_file(path, status);
    if (fd < 0) return status;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) > limit) {
        ::close(fd);
        return FileStatus::TooLarge;
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    while (status == FileStatus::Ok) {
        // One byte more than the limit allows tells a file that grew past it.
        const std::size_t want = std::min(sizeof buffer, limit - data.size() + 1);
        const ssize_t n = ::read(fd, buffer, want);
        if (n == 0) break;
        if (n < 0) {
            if (errno != EINTR) status = FileStatus::ReadFailed;
            continue;
        }
        data.append(buffer, static_cast<std::size_t>(n));
        if (data.size() > limit) status = FileStatus::TooLarge;
    }
    ::close(fd);
    if (status == FileStatus::Ok) out = std::move(data);
    return status;
}

bool read_whole_file(const std::string& path, std::string& out) {
    return read_regular_file(path, MAX_EXPERIMENT_FILE_BYTES, out) == FileStatus::Ok;
}

std::string shown_path(const std::string& path) {
    return "「" + QString::fromLocal8Bit(path).toStdString() + "」";
}

std::string too_large_message(const std::string& path, std::size_t limit) {
    return "文件" + shown_path(path) + "太大,超过了 " + std::to_string(limit >> 20) + " MB,不能打开。";
}

std::string not_regular_message(const std::string& path) {
    return shown_path(path) + "不是普通文件(而是文件夹、管道或设备),不是实验文件,不能打开。";
}

bool read_file_for_reader(const std::string& path, std::size_t limit, std::string& bytes, LoadResult& failed,
                          const char* cannot_open, const char* caption) {
    const FileStatus s = read_regular_file(path, limit, bytes);
    if (s == FileStatus::Ok) return true;
    failed = s == FileStatus::TooLarge     ? failure(too_large_message(path, limit), caption, true)
             : s == FileStatus::NotRegular ? failure(not_regular_message(path), caption, true)
                                           : failure(cannot_open, caption, true);
    return false;
}

LoadResult read_container_file(Model& m, const std::string& path, LoadScratch& scratch) {
    std::string bytes;
    LoadResult failed;
    if (!read_file_for_reader(path, MAX_EXPERIMENT_FILE_BYTES, bytes, failed, msg::CANNOT_OPEN_PROGRAM,
                              msg::CAPTION_HINT))
        return failed;
    return read_container(m, bytes, scratch);
}

LoadResult read_experiment_file(Model& m, const std::string& path, LoadScratch& scratch) {
    std::string bytes;
    LoadResult failed;
    if (!read_file_for_reader(path, MAX_EXPERIMENT_FILE_BYTES, bytes, failed)) return failed;
    return read_experiment(m, bytes, scratch);
}

LoadResult read_any_file(Model& m, const std::string& path, LoadScratch& scratch) {
    if (text_format_of(path) != TextFormat::None) return read_text_form_file(m, path, scratch);
    std::string bytes;
    LoadResult failed;
    if (!read_file_for_reader(path, MAX_EXPERIMENT_FILE_BYTES, bytes, failed)) return failed;
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

int record_line(const std::vector<RecordLine>& lines, std::string_view section, int slot) {
    for (const RecordLine& r : lines)
        if (r.slot == slot && r.section == section) return r.line;
    return 0;
}

}  // namespace quorrel
