#include "format/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <vector>

#include "format/io.h"

namespace quorrel {
namespace {

std::string containing_folder(const std::string& path) {
    const auto cut = path.find_last_of('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : path.substr(0, cut);
}

// The message for a failed step, by the system's error code.
WriteResult failed(int error, const std::string& path) {
    WriteResult r;
    const std::string kept = "原来的文件保持不变。";
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            r.message = "磁盘空间不足,文件" + shown_path(path) + "没有保存;" + kept;
            break;
        case EFBIG:
            r.message = "文件太大,超出了允许的大小," + shown_path(path) + "没有保存;" + kept;
            break;
        case EROFS:
            r.message = "文件" + shown_path(path) + "所在的磁盘是只读的,不能保存;" + kept;
            break;
        case EACCES:
        case EPERM:
            r.message = "没有权限写入文件" + shown_path(path) + "或它所在的文件夹,不能保存;" + kept;
            break;
        case ENOENT:
        case ENOTDIR:
            r.message = "文件" + shown_path(path) + "所在的文件夹不存在,不能保存。";
            break;
        case EISDIR:
            r.message = shown_path(path) + "是一个文件夹,不能保存为文件。";
            break;
        default:
            r.message = "保存文件" + shown_path(path) + "时出错(" + std::string(std::strerror(error)) + ");" + kept;
    }
    return r;
}

// A temporary file is named "<target>.quorrel-saving.<pid>@<host>.XXXXXX". A
// writer killed mid-way leaves it behind; the next write to the folder knows
// it by the name and removes it once its writer is no longer running on this
// machine. The host in the name keeps a folder shared over the network safe
// from a pid that only means something elsewhere.
constexpr std::string_view TEMP_MARK = ".quorrel-saving.";
// Room in a 255-byte file name for the mark, the pid, the host and the suffix.
constexpr std::size_t MAX_TEMP_BASE = 150;
constexpr std::size_t MAX_TEMP_HOST = 64;

std::string host_name() {
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return "localhost";
    std::string host(buffer, ::strnlen(buffer, MAX_TEMP_HOST));
    for (char& c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.') c = '_';
    return host;
}

// The pid of the writer that made `name`, when it is a temporary file of a
// write on `host`; 0 for any other name.
pid_t temp_owner(std::string_view name, const std::string& host) {
    const std::size_t mark = name.rfind(TEMP_MARK);
    if (mark == std::string_view::npos || mark == 0) return 0;
    const std::string_view rest = name.substr(mark + TEMP_MARK.size());
    long long pid = 0;
    std::size_t i = 0;
    for (; i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])) && pid <= INT_MAX; ++i)
        pid = pid * 10 + (rest[i] - '0');
    const std::string tail = "@" + host + ".";
    if (i == 0 || pid > INT_MAX || rest.substr(i, tail.size()) != tail || rest.size() != i + tail.size() + 6) return 0;
    return static_cast<pid_t>(pid);
}

bool running(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the temporary files in `folder` that writes on this machine left
// when they were killed: only regular files of this user whose writer is gone.
void remove_stale_temporaries(const std::string& folder, const std::string& host) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = temp_owner(entry->d_name, host);
        if (owner <= 0 || running(owner)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// The template for mkstemp: the target's name, shortened if need be, and the mark.
std::string temp_template(const std::string& path, const std::string& host) {
    const std::size_t cut = path.find_last_of('/');
    const std::size_t base = cut == std::string::npos ? 0 : cut + 1;
    return path.substr(0, base) + path.substr(base, MAX_TEMP_BASE) + std::string(TEMP_MARK) +
           std::to_string(::getpid()) + "@" + host + ".XXXXXX";
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

WriteResult write_file_safely(const std::string& path, std::string_view bytes) {
    struct stat target {};
    mode_t mode = new_file_mode();
    if (::stat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode)) return failed(EISDIR, path);
        // The rename would replace a file the user may not write: refuse, as
        // writing it in place would be refused.
        if (::access(path.c_str(), W_OK) != 0) {
            if (errno == EROFS) return failed(EROFS, path);
            WriteResult r;
            r.message = "文件" + shown_path(path) + "是只读的,不能保存;原来的文件保持不变。";
            return r;
        }
        mode = target.st_mode & 07777;
    }

    const std::string folder = containing_folder(path);
    const std::string host = host_name();
    remove_stale_temporaries(folder, host);
    std::string temp = temp_template(path, host);
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return failed(errno, path);
    temp.assign(name.data());

    int error = 0;
    if (!write_all(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return failed(error, path);
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    WriteResult ok;
    ok.ok = true;
    return ok;
}

}  // namespace quorrel
