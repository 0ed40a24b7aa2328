// quorrel-demo: lists the bundled demos, each with its picture beside its
// Chinese title, and opens the chosen one in the player. The demos are the
// experiment files (and their pictures) that `quorrel-tool demo --pictures`
// wrote next to this program (experiments/) or that an installation put under
// share/quorrel/demos; the player is the one beside this program, else the one
// built with it, told to play the demo at real time. `quorrel-demo --list`
// prints "file<TAB>title" lines instead of asking, `--help` the usage.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

#include "demos/demo_titles.h"
#include "ui/qt_chinese.h"

namespace {

constexpr const char* USAGE =
    "Usage: quorrel-demo [--list]\n"
    "Lists the bundled demo experiments, each with its picture and its title, and\n"
    "opens the chosen one in the player.\n"
    "\n"
    "  --list      print one line per demo, its file name and its title separated by\n"
    "              a tab, and quit\n"
    "  -h, --help  show this help and quit\n";

// The size of a demo's picture in the list: the scene at 40 % of the window's design size.
constexpr int PICTURE_WIDTH = 280, PICTURE_HEIGHT = 168;

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
    const QPixmap full(f.dir().filePath(f.completeBaseName() + QStringLiteral(".png")));
    if (full.isNull()) return full;
    return full.scaled(PICTURE_WIDTH, PICTURE_HEIGHT, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// Asks for a demo; its index, or -1 when the dialog was cancelled.
int choose_demo(const std::vector<quorrel::DemoTitle>& demos) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Quorrel 演示实验"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("请选择一个演示实验：")));
    auto* list = new QListWidget;
    list->setIconSize(QSize(PICTURE_WIDTH, PICTURE_HEIGHT));
    list->setSpacing(4);
    QFont font = list->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    list->setFont(font);
    for (const quorrel::DemoTitle& d : demos) {
        const QPixmap picture = demo_picture(demo_path(QString::fromUtf8(d.file_name)));
        QIcon icon(picture);
        icon.addPixmap(picture, QIcon::Selected);  // the chosen row's picture keeps its colours
        list->addItem(new QListWidgetItem(icon, QString::fromUtf8(d.title)));
    }
    list->setUniformItemSizes(true);
    list->setCurrentRow(0);
    list->setMinimumSize(PICTURE_WIDTH + 420, 4 * (PICTURE_HEIGHT + 12));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return -1;
    return list->currentRow();
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
    const int index = choose_demo(demos);
    if (index < 0) return 0;

    const QString file = demo_path(QString::fromUtf8(demos[index].file_name));
    const QDir here(QCoreApplication::applicationDirPath());
    QString player = here.filePath(QStringLiteral("quorrel"));
    if (!QFileInfo(player).isExecutable()) player = QString::fromUtf8(QUORREL_PLAYER);
    if (!QFileInfo::exists(file) || !QProcess::startDetached(player, {QStringLiteral("--real-time"), file})) {
        QMessageBox::warning(nullptr, QStringLiteral("提示"), QStringLiteral("无法打开演示实验：") + file);
        return 1;
    }
    return 0;
}
