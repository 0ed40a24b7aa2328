// quorrel: the player. It shows the experiment appended to its own
// executable; an executable without one opens the experiment file named on
// the command line, or asks for one. `--help` lists the options.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "format/io.h"
#include "format/read_common.h"
#include "player/file_watch.h"
#include "player/launch.h"
#include "player/player.h"
#include "ui/main_window.h"
#include "ui/qt_chinese.h"
#include "ui/qt_platform.h"

namespace {

std::vector<std::string> args_after_program(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    // The help needs no display: answer it before Qt starts.
    const std::string program = argc > 0 ? argv[0] : "quorrel";
    if (quorrel::parse_player_args(args_after_program(argc, argv)).help) {
        std::fputs(quorrel::player_usage(program).c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, ...) out of argv.
    const quorrel::PlayerArgs args = quorrel::parse_player_args(args_after_program(argc, argv));
    if (!args.error.empty()) {
        std::fprintf(stderr, "%s\n%s", args.error.c_str(), quorrel::player_usage(program).c_str());
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Quorrel"));
    QTranslator qt_chinese;
    quorrel::install_qt_chinese(qt_chinese);

    const QString exe = QCoreApplication::applicationFilePath();
    // The title is the executable's file name up to its first dot.
    QApplication::setApplicationName(QFileInfo(exe).fileName().section(QLatin1Char('.'), 0, 0));

    quorrel::ExperimentSource source = quorrel::ExperimentSource::OwnExecutable;
    std::string path = exe.toLocal8Bit().toStdString();
    if (!quorrel::carries_container(path)) {
        QString file;
        if (!args.file.empty()) {
            file = QString::fromLocal8Bit(args.file);
        } else {
            file = QFileDialog::getOpenFileName(nullptr, QStringLiteral("打开实验"), QString(),
                                                QStringLiteral("实验文件 (*.exp *.toml *.json);;所有文件 (*)"));
            if (file.isEmpty()) return 0;
        }
        path = QFileInfo(file).absoluteFilePath().toLocal8Bit().toStdString();
        if (!quorrel::can_read(path)) {
            quorrel::QtPlatform platform;
            platform.message_box(quorrel::cannot_open_message(path), quorrel::msg::CAPTION_WARNING,
                                 quorrel::Buttons::OkCancel);
            return 2;
        }
        source = quorrel::opens_as_experiment(path) ? quorrel::ExperimentSource::ExperimentFile
                                                    : quorrel::ExperimentSource::ContainerFile;
    }

    quorrel::PlayerState player;
    player.script->use_program_editor = true;  // program errors open the editor
    player.program_folder = QFileInfo(exe).absolutePath().toLocal8Bit().toStdString();
    quorrel::QtPlatform platform;
    quorrel::MainWindow window(player, platform, source, path);
    window.set_zoom_on_open(args.zoom);
    if (args.real_time || quorrel::is_installed_demo(player.program_folder, path))
        window.set_speed_on_open(quorrel::Speed::RealTime);
    if (args.exit_after_first_frame)
        window.scene_view()->painted = [&player] {
            if (player.model_loaded) QCoreApplication::exit(0);
        };
    std::unique_ptr<quorrel::ExperimentWatcher> watcher;
    if (args.watch && source != quorrel::ExperimentSource::OwnExecutable)
        watcher = std::make_unique<quorrel::ExperimentWatcher>(
            player, path, [&player](const std::string& file) { return quorrel::reload_experiment(player, file); },
            [&window](bool) { window.refresh(); });
    window.show();
    return QApplication::exec();
}
