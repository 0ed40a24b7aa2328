// quorrel-tool pack FILE --out OUT [--player PATH]: a stand-alone player, the
// player executable with the experiment appended as a container.
#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/tool.h"
#include "model/io.h"

namespace quorrel {
namespace {

int usage() {
    std::fputs("usage: quorrel-tool pack FILE --out OUT [--player PATH]\n", stderr);
    return 2;
}

// The player built beside this tool.
std::string default_player() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "quorrel";
    return (self.parent_path() / "quorrel").string();
}

}  // namespace

int tool_pack(const Args& args) {
    std::string file, out, player;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
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

    const std::string packed = pack_player(player_bytes, *m);
    if (packed.empty()) {
        // The trailer holds the container's offset in 32 bits.
        std::fprintf(stderr, "quorrel-tool pack: the player %s is too large to carry an experiment\n", player.c_str());
        return 2;
    }
    // Written to a temporary file and renamed, so a failed write never leaves a
    // truncated executable under the output name.
    QSaveFile f(QString::fromStdString(out));
    const qint64 n = static_cast<qint64>(packed.size());
    if (!f.open(QIODevice::WriteOnly) || f.write(packed.data(), n) != n || !f.commit()) {
        std::fprintf(stderr, "quorrel-tool pack: cannot write %s\n", out.c_str());
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
