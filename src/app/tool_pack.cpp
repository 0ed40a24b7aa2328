// quorrel-tool pack FILE --out OUT [--player PATH]: a stand-alone player, the
// player executable, stripped, with the experiment appended as a container.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "app/tool.h"
#include "format/io.h"
#include "format/safe_write.h"

namespace quorrel {
namespace {

constexpr const char* USAGE =
    "usage: quorrel-tool pack FILE --out OUT [--player PATH]\n"
    "\n"
    "Writes OUT, a stand-alone player: a copy of the player executable (PATH, by\n"
    "default the quorrel beside this tool) stripped of its debug information and\n"
    "symbols, with the experiment of FILE appended. FILE is an experiment file or\n"
    "a packed player.\n"
    "\n"
    "OUT runs on Debian 12 or a similar x86-64 Linux desktop with the Qt 6 runtime\n"
    "libraries (libqt6core6, libqt6gui6, libqt6widgets6, libqt6multimedia6,\n"
    "qt6-qpa-plugins), libjpeg62-turbo and the fonts fonts-wqy-microhei and\n"
    "fonts-liberation2 (qt6-translations-l10n gives Qt's dialogs in Chinese).\n"
    "Installing the quorrel package brings all of them.\n";

int usage() {
    std::fputs(USAGE, stderr);
    return 2;
}

// The player built beside this tool.
std::string default_player() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "quorrel";
    return (self.parent_path() / "quorrel").string();
}

// The player's bytes without debug information and symbols. strip writes a
// copy into a temporary folder; the player itself is never touched. The
// container is appended to the result afterwards, so it is never stripped
// (strip keeps only the ELF sections and would drop an appended container).
// Without strip, or when stripping saves nothing (an already stripped
// player), the bytes stay as they are.
std::string stripped_player(const std::string& player, std::string bytes) {
    QTemporaryDir dir;
    if (!dir.isValid()) return bytes;
    const QString copy = dir.filePath(QStringLiteral("player"));
    QProcess strip;
    strip.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    strip.start(QStringLiteral("strip"),
                {QStringLiteral("--strip-all"), QStringLiteral("-o"), copy, QString::fromStdString(player)});
    std::string stripped;
    if (!strip.waitForFinished(120000) || strip.exitStatus() != QProcess::NormalExit || strip.exitCode() != 0 ||
        !read_whole_file(copy.toStdString(), stripped)) {
        std::fprintf(stderr, "quorrel-tool pack: could not strip %s; it is packed with its debug information\n",
                     player.c_str());
        return bytes;
    }
    return stripped.size() < bytes.size() ? stripped : bytes;
}

}  // namespace

int tool_pack(const Args& args) {
    std::string file, out, player;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (a == "--out" || a == "--player") {
            if (i + 1 >= args.size()) return usage();
            (a == "--out" ? out : player) = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usage();
        } else if (file.empty()) {
            file = a;
        } else {
            return usage();
        }
    }
    if (file.empty() || out.empty()) return usage();
    if (player.empty()) player = default_player();

    auto m = make_model();
    const LoadResult r = read_any_file(*m, file);
    if (!r.ok) {
        const std::string& text = r.message.empty() ? "cannot read the experiment" : r.message;
        std::fprintf(stderr, "%s\n", text.c_str());
        return 2;
    }
    std::string player_bytes;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(player, ec) || !read_whole_file(player, player_bytes)) {
        std::fprintf(stderr,
                     "quorrel-tool pack: the player executable %s is missing or unreadable (use --player PATH)\n",
                     player.c_str());
        return 2;
    }

    player_bytes = stripped_player(player, std::move(player_bytes));

    const std::string packed = pack_player(player_bytes, *m);
    if (packed.empty()) {
        // The trailer holds the container's offset in 32 bits.
        std::fprintf(stderr, "quorrel-tool pack: the player %s is too large to carry an experiment\n", player.c_str());
        return 2;
    }
    // Written to a temporary file and renamed, so a failed write never leaves a
    // truncated executable under the output name.
    const WriteResult w = write_file_safely(out, packed);
    if (!w.ok) {
        std::fprintf(stderr, "quorrel-tool pack: cannot write %s\n%s\n", out.c_str(), w.message.c_str());
        return 2;
    }
    using std::filesystem::perms;
    std::filesystem::permissions(
        out, perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec, ec);
    if (ec) {
        std::fprintf(stderr, "quorrel-tool pack: cannot make %s executable\n", out.c_str());
        return 2;
    }
    return 0;
}

}  // namespace quorrel
