// quorrel-demo: a full-screen gallery of the bundled demos, each with its
// picture above its Chinese title. A click opens the demo in the player; the
// gallery comes back when the player's window closes, so a class goes from one
// demo to the next without the desktop. The demos are the experiment files
// (and their pictures) that `quorrel-tool demo --pictures` wrote next to this
// program (experiments/) or that an installation put under
// share/quorrel/demos; the player is the one beside this program, else the one
// built with it, told to play the demo at real time. `quorrel-demo --list`
// prints "file<TAB>title" lines instead of showing the gallery, `--help` the usage.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "demos/demo_titles.h"
#include "ui/demo_gallery.h"
#include "ui/qt_chinese.h"

namespace {

constexpr const char* USAGE =
    "Usage: quorrel-demo [--list]\n"
    "Shows the bundled demo experiments full screen, each with its picture and its\n"
    "title; a click opens one in the player, and the gallery comes back when the\n"
    "player's window closes (Esc quits).\n"
    "\n"
    "  --list      print one line per demo, its file name and its title separated by\n"
    "              a tab, and quit\n"
    "  -h, --help  show this help and quit\n";

// Where the demo called `name` lies: beside the launcher in the build tree,
// under share/ in an installation.
QString demo_path(const QString& name) {
    const QDir here(QCoreApplication::applicationDirPath());
    const QString built = here.filePath(QStringLiteral("experiments/") + name);
    if (QFileInfo::exists(built)) return built;
    return here.filePath(QStringLiteral("../share/quorrel/demos/") + name);
}

// The demo's picture, written beside its experiment file; a null pixmap when there is none.
QPixmap demo_picture(const QString& experiment) {
    const QFileInfo f(experiment);
    return QPixmap(f.dir().filePath(f.completeBaseName() + QStringLiteral(".png")));
}

QString player_path() {
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("quorrel"));
    return QFileInfo(beside).isExecutable() ? beside : QString::fromUtf8(QUORREL_PLAYER);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<quorrel::DemoTitle> demos = quorrel::demo_titles();
    if (argc > 1) {
        if (std::strcmp(argv[1], "--list") == 0 && argc == 2) {
            for (const quorrel::DemoTitle& d : demos) std::printf("%s\t%s\n", d.file_name, d.title.c_str());
            return 0;
        }
        if ((std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) && argc == 2) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        std::fprintf(stderr, "quorrel-demo: unknown option %s\n%s", argv[1], USAGE);
        return 2;
    }

    QApplication app(argc, argv);
    QTranslator qt_chinese;
    quorrel::install_qt_chinese(qt_chinese);
    std::vector<quorrel::GalleryEntry> entries;
    for (const quorrel::DemoTitle& d : demos)
        entries.push_back({QString::fromUtf8(d.title), demo_picture(demo_path(QString::fromUtf8(d.file_name)))});
    quorrel::DemoGallery gallery(std::move(entries));
    // The player takes the gallery's place until its window closes.
    gallery.on_chosen = [&](int index) {
        const QString file = demo_path(QString::fromUtf8(demos[static_cast<std::size_t>(index)].file_name));
        if (!QFileInfo::exists(file) || !gallery.run_instead(player_path(), {QStringLiteral("--real-time"), file}))
            QMessageBox::warning(&gallery, QStringLiteral("提示"), QStringLiteral("无法打开演示实验：") + file);
    };
    gallery.show_full_screen();
    return app.exec();
}
