// quorrel: the player. It shows the experiment appended to its own
// executable; an executable without one opens the experiment file named on
// the command line, or asks for one.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "model/io.h"
#include "player/launch.h"
#include "player/player.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel"));

    const QString exe = QCoreApplication::applicationFilePath();
    // The title is the executable's file name up to its first dot.
    QApplication::setApplicationName(QFileInfo(exe).fileName().section(QLatin1Char('.'), 0, 0));

    quorrel::ExperimentSource source = quorrel::ExperimentSource::OwnExecutable;
    std::string path = exe.toLocal8Bit().toStdString();
    if (!quorrel::carries_container(path)) {
        QString file;
        const QStringList args = QCoreApplication::arguments();
        if (args.size() > 1) {
            file = args.at(1);
        } else {
            file = QFileDialog::getOpenFileName(nullptr, QStringLiteral("打开实验"), QString(),
                                                QStringLiteral("实验文件 (*.exp);;所有文件 (*)"));
            if (file.isEmpty()) return 0;
        }
        path = QFileInfo(file).absoluteFilePath().toLocal8Bit().toStdString();
        source = quorrel::is_experiment_file(path) ? quorrel::ExperimentSource::ExperimentFile
                                                   : quorrel::ExperimentSource::ContainerFile;
    }

    quorrel::PlayerState player;
    player.script->use_program_editor = true;  // program errors open the editor
    player.program_folder = QFileInfo(exe).absolutePath().toLocal8Bit().toStdString();
    quorrel::QtPlatform platform;
    quorrel::MainWindow window(player, platform, source, path);
    window.show();
    return QApplication::exec();
}
