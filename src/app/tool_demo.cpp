// quorrel-tool demo DIR [--pictures]: writes every bundled demo (the texts
// of demos/, embedded in the program) as an experiment file, and with --pictures its scene at the start as a PNG file
// beside it (the demo launcher shows them).
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/headless_app.h"
#include "app/tool.h"
#include "demos/demos.h"
#include "format/io.h"
#include "format/safe_write.h"

namespace quorrel {
namespace {

// The picture of a demo: the scene at the main window's design size.
constexpr int DEMO_PICTURE_WIDTH = 700, DEMO_PICTURE_HEIGHT = 420;

bool save(const std::filesystem::path& path, const std::string& bytes) {
    return write_file_safely(path.string(), bytes).ok;
}

}  // namespace

int tool_demo(const Args& args) {
    const bool pictures = args.size() == 2 && args[1] == "--pictures";
    if ((args.size() != 1 && !pictures) || args[0].empty() || args[0][0] == '-') {
        std::fputs("usage: quorrel-tool demo DIR [--pictures]\n", stderr);
        return 2;
    }
    const std::filesystem::path dir(args[0]);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir, ec)) {
        std::fprintf(stderr, "quorrel-tool demo: cannot create the folder %s\n", args[0].c_str());
        return 2;
    }
    auto m = make_model();
    LoadScratch scratch;
    for (const DemoInfo& d : all_demos()) {
        const LoadResult loaded = load_demo(*m, d, scratch);
        if (!loaded.ok) {
            std::fprintf(stderr, "quorrel-tool demo: %s: %s\n", d.text_name, loaded.message.c_str());
            return 2;
        }
        const std::filesystem::path path = dir / d.file_name;
        if (!save(path, write_experiment(*m))) {
            std::fprintf(stderr, "quorrel-tool demo: cannot write %s\n", path.string().c_str());
            return 2;
        }
        std::printf("%s\n", path.string().c_str());
    }
    if (!pictures) return 0;
    // Drawn from the written files as the player opens them: fitted to the window's design size.
    const auto app = make_headless_app();
    for (const DemoInfo& d : all_demos()) {
        const std::filesystem::path path = dir / d.file_name;
        const std::filesystem::path png = std::filesystem::path(path).replace_extension(".png");
        if (render_png(path.string(), 0, DEMO_PICTURE_WIDTH, DEMO_PICTURE_HEIGHT, true, 1.0, png.string()) != 0)
            return 2;
        std::printf("%s\n", png.string().c_str());
    }
    return 0;
}

}  // namespace quorrel
