#include "player/launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cstdint>
#include <cstring>

#include "format/io.h"
#include "format/read_common.h"
#include "format/text_form.h"
#include "model/numtext.h"
#include "player/view_control.h"

namespace quorrel {

namespace {

// "fit" is 0; a view scale must lie within the view's limits.
bool parse_zoom(const std::string& text, double& zoom) {
    if (text == "fit") {
        zoom = 0.0;
        return true;
    }
    double v = 0;
    if (!parse_number(text, v) || !(v >= MIN_ZOOM && v <= MAX_ZOOM)) return false;
    zoom = v;
    return true;
}

}  // namespace

PlayerArgs parse_player_args(const std::vector<std::string>& args) {
    PlayerArgs r;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool zoom = a == "--zoom" || a.rfind("--zoom=", 0) == 0;
        if (options && zoom) {
            const bool joined = a.size() > 6;
            const bool has_value = joined || i + 1 < args.size();
            const std::string value = joined ? a.substr(7) : (has_value ? args[++i] : "");
            if (!parse_zoom(value, r.zoom) && r.error.empty())
                r.error = "invalid --zoom (fit, or a scale from 0.1 to 16): " + value;
        } else if (options && a == "--") {
            options = false;
        } else if (options && (a == "--help" || a == "-h")) {
            r.help = true;
        } else if (options && a == "--exit-after-first-frame") {
            r.exit_after_first_frame = true;
        } else if (options && a == "--watch") {
            r.watch = true;
        } else if (options && a == "--real-time") {
            r.real_time = true;
        } else if (options && a.size() > 1 && a[0] == '-') {
            if (r.error.empty()) r.error = "unknown option: " + a;
        } else if (r.file.empty()) {
            r.file = a;
        } else if (r.error.empty()) {
            r.error = "more than one file given: " + a;
        }
    }
    if (r.watch && r.file.empty() && r.error.empty()) r.error = "--watch needs a FILE";
    return r;
}

std::string player_usage(const std::string& program) {
    return "Usage: " + program +
           " [OPTION]... [FILE]\n"
           "Plays the experiment FILE (an experiment file, a text form .toml or .json, or a\n"
           "packed player); without FILE a packed player plays its own experiment and any\n"
           "other asks for a file.\n"
           "\n"
           "  --zoom fit                fit the scene to the window (the default)\n"
           "  --zoom 1                  show the scene at its design size (1:1); any scale\n"
           "                            from 0.1 to 16 can be given\n"
           "  --exit-after-first-frame  quit with status 0 once the experiment's first frame\n"
           "                            has been painted (for start-up measurements)\n"
           "  --watch                   reload FILE whenever it changes on disk; a file with an\n"
           "                            error keeps the last good scene and shows the error\n"
           "  --real-time               play at real time from the start (an experiment file\n"
           "                            or a packed player otherwise keeps its own pace)\n"
           "  -h, --help                show this help and quit\n";
}

namespace {

// The file's descriptor for a look at a few of its bytes; closed on leaving.
// Only a regular file opens: a FIFO or a device would block or never end.
struct RegularFile {
    explicit RegularFile(const std::string& path) {
        FileStatus status = FileStatus::Ok;
        fd = open_regular_file(path, status);
    }
    ~RegularFile() {
        if (fd >= 0) ::close(fd);
    }
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Exactly `n` bytes at `at`.
    bool read_at(std::uint64_t at, char* out, std::size_t n) const {
        return ::pread(fd, out, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n);
    }

    int fd = -1;
};

}  // namespace

bool carries_container(const std::string& path) {
    const RegularFile f(path);
    struct stat st {};
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || st.st_size < 14) return false;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    unsigned char t[4];
    if (!f.read_at(size - 4, reinterpret_cast<char*>(t), 4)) return false;
    const std::uint32_t at = t[0] | (t[1] << 8) | (t[2] << 16) | (std::uint32_t(t[3]) << 24);
    char header[4];
    return at <= size - 14 && f.read_at(at, header, 4) && std::memcmp(header, "ssmw", 4) == 0;
}

bool is_experiment_file(const std::string& path) {
    const RegularFile f(path);
    char head[EXPERIMENT_MAGIC.size()];
    return f.fd >= 0 && f.read_at(0, head, sizeof head) &&
           detect_kind(std::string_view(head, sizeof head)) == FileKind::Experiment;
}

bool opens_as_experiment(const std::string& path) {
    return is_experiment_file(path) || text_format_of(path) != TextFormat::None;
}

bool can_read(const std::string& path) {
    return RegularFile(path).fd >= 0;
}

std::string cannot_open_message(const std::string& path) {
    return std::string(msg::CANNOT_OPEN_FILE) + "\n" + QString::fromLocal8Bit(path).toStdString();
}

}  // namespace quorrel

#include "player/player.h"
#include "script/platform.h"

namespace quorrel {

bool is_installed_demo(const std::string& program_folder, const std::string& path) {
    const QString demos =
        QDir(QString::fromLocal8Bit(program_folder) + QStringLiteral("/../share/quorrel/demos")).canonicalPath();
    return !demos.isEmpty() && QDir(QFileInfo(QString::fromLocal8Bit(path)).absolutePath()).canonicalPath() == demos;
}

bool load_any(PlayerState& p, const std::string& path) {
    p.first_activation_done = true;
    p.executable_path = path;
    if (!can_read(path)) {
        if (p.platform) p.platform->message_box(cannot_open_message(path), msg::CAPTION_WARNING, Buttons::OkCancel);
        return false;
    }
    return opens_as_experiment(path) ? open_experiment(p, path) : load_container(p, path);
}

}  // namespace quorrel
