// quorrel-tool icon DIR: writes the program's icon as DIR/<S>x<S>/apps/quorrel.png
// for the usual desktop sizes, the layout of an icon theme folder.
#include <QString>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/tool.h"
#include "ui/logo.h"

namespace quorrel {

int tool_icon(const Args& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fputs("usage: quorrel-tool icon DIR\n", stderr);
        return 2;
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        const std::filesystem::path dir = std::filesystem::path(args[0]) / (side + "x" + side) / "apps";
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        const std::filesystem::path file = dir / "quorrel.png";
        if (ec || !logo_image(size).save(QString::fromStdString(file.string()), "PNG")) {
            std::fprintf(stderr, "quorrel-tool icon: cannot write %s\n", file.string().c_str());
            return 2;
        }
        std::printf("%s\n", file.string().c_str());
    }
    return 0;
}

}  // namespace quorrel
