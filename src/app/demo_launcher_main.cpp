// quorrel-demo: lists the bundled demos by their Chinese titles and opens the
// chosen one in the player. The demos are the experiment files that
// `quorrel-tool demo` wrote next to this program (experiments/) or that an
// installation put under share/quorrel/demos; the player is the one beside
// this program, else the one built with it. `quorrel-demo --list` prints "file<TAB>title"
// lines instead of asking.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <cstdio>

#include "demos/demo_titles.h"
#include "ui/qt_chinese.h"

int main(int argc, char** argv) {
    const std::vector<quorrel::DemoTitle> demos = quorrel::demo_titles();
    if (argc > 1 && QByteArray(argv[1]) == "--list") {
        for (const quorrel::DemoTitle& d : demos) std::printf("%s\t%s\n", d.file_name, d.title.c_str());
        return 0;
    }

    QApplication app(argc, argv);
    QTranslator qt_chinese;
    quorrel::install_qt_chinese(qt_chinese);
    QStringList titles;
    for (const quorrel::DemoTitle& d : demos) titles << QString::fromUtf8(d.title);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(nullptr, QStringLiteral("Quorrel 演示实验"),
                                                 QStringLiteral("请选择一个演示实验："), titles, 0, false, &ok);
    if (!ok) return 0;
    const qsizetype index = titles.indexOf(chosen);
    if (index < 0) return 0;

    // Beside the launcher in the build tree, under share/ in an installation.
    const QDir here(QCoreApplication::applicationDirPath());
    const QString name = QString::fromUtf8(demos[index].file_name);
    QString file = here.filePath(QStringLiteral("experiments/") + name);
    if (!QFileInfo::exists(file)) file = here.filePath(QStringLiteral("../share/quorrel/demos/") + name);
    QString player = here.filePath(QStringLiteral("quorrel"));
    if (!QFileInfo(player).isExecutable()) player = QString::fromUtf8(QUORREL_PLAYER);
    if (!QFileInfo::exists(file) || !QProcess::startDetached(player, {file})) {
        QMessageBox::warning(nullptr, QStringLiteral("提示"), QStringLiteral("无法打开演示实验：") + file);
        return 1;
    }
    return 0;
}
