#include "player/launch.h"

#include <QFile>
#include <cstdint>
#include <cstring>

#include "model/io.h"
#include "model/numtext.h"
#include "model/read_common.h"
#include "model/text_form.h"
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

bool carries_container(const std::string& path) {
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 size = f.size();
    if (size < 14 || !f.seek(size - 4)) return false;
    unsigned char t[4];
    if (f.read(reinterpret_cast<char*>(t), 4) != 4) return false;
    const std::uint32_t at = t[0] | (t[1] << 8) | (t[2] << 16) | (std::uint32_t(t[3]) << 24);
    if (at > static_cast<std::uint64_t>(size - 14) || !f.seek(at)) return false;
    char header[4];
    return f.read(header, 4) == 4 && std::memcmp(header, "ssmw", 4) == 0;
}

bool is_experiment_file(const std::string& path) {
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(static_cast<qint64>(EXPERIMENT_MAGIC.size()));
    return detect_kind(std::string_view(head.constData(), static_cast<std::size_t>(head.size()))) ==
           FileKind::Experiment;
}

bool opens_as_experiment(const std::string& path) {
    return is_experiment_file(path) || text_format_of(path) != TextFormat::None;
}

bool can_read(const std::string& path) {
    QFile f(QString::fromLocal8Bit(path));
    return f.open(QIODevice::ReadOnly);
}

std::string cannot_open_message(const std::string& path) {
    return std::string(msg::CANNOT_OPEN_FILE) + "\n" + QString::fromLocal8Bit(path).toStdString();
}

}  // namespace quorrel

#include "player/player.h"
#include "script/platform.h"

namespace quorrel {

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
