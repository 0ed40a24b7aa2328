// quorrel-tool demo DIR: writes every bundled demo as an experiment file.
#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/tool.h"
#include "demos/demos.h"
#include "model/io.h"

namespace quorrel {
namespace {

bool save(const std::filesystem::path& path, const std::string& bytes) {
    QSaveFile f(QString::fromStdString(path.string()));
    if (!f.open(QIODevice::WriteOnly)) return false;
    const qint64 n = static_cast<qint64>(bytes.size());
    return f.write(bytes.data(), n) == n && f.commit();
}

}  // namespace

int tool_demo(const Args& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fputs("usage: quorrel-tool demo DIR\n", stderr);
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
    for (const DemoInfo& d : all_demos()) {
        init_kept_settings(*m);
        reset_model(*m);
        d.build(*m);
        const std::filesystem::path path = dir / d.file_name;
        if (!save(path, write_experiment(*m))) {
            std::fprintf(stderr, "quorrel-tool demo: cannot write %s\n", path.string().c_str());
            return 2;
        }
        std::printf("%s\n", path.string().c_str());
    }
    return 0;
}

}  // namespace quorrel
