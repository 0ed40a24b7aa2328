#include "model/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <cstring>
#include <vector>

namespace quorrel {
namespace {

std::string shown(const std::string& path) {
    return "「" + QString::fromLocal8Bit(path).toStdString() + "」";
}

std::string folder_of(const std::string& path) {
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
            r.message = "磁盘空间不足,文件" + shown(path) + "没有保存;" + kept;
            break;
        case EFBIG:
            r.message = "文件太大,超出了允许的大小," + shown(path) + "没有保存;" + kept;
            break;
        case EROFS:
            r.message = "文件" + shown(path) + "所在的磁盘是只读的,不能保存;" + kept;
            break;
        case EACCES:
        case EPERM:
            r.message = "没有权限写入文件" + shown(path) + "或它所在的文件夹,不能保存;" + kept;
            break;
        case ENOENT:
        case ENOTDIR:
            r.message = "文件" + shown(path) + "所在的文件夹不存在,不能保存。";
            break;
        case EISDIR:
            r.message = shown(path) + "是一个文件夹,不能保存为文件。";
            break;
        default:
            r.message = "保存文件" + shown(path) + "时出错(" + std::string(std::strerror(error)) + ");" + kept;
    }
    return r;
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
            r.message = "文件" + shown(path) + "是只读的,不能保存;原来的文件保持不变。";
            return r;
        }
        mode = target.st_mode & 07777;
    }

    const std::string folder = folder_of(path);
    std::string temp = path + ".XXXXXX";
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
