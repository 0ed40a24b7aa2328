#include "ui/qt_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "format/io.h"
#include "model/model.h"
#include "script/interpreter.h"
#include "ui/editor_support.h"
#include "ui/position_dialog.h"
#include "ui/program_editor.h"
#include "ui/scene_view.h"

namespace quorrel {

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

Placement QtPlatform::ask_placement(int x, int y) {
    PositionDialog dialog(owner_);
    // Just below the pointer: (x, y) is a design pixel of the scene.
    const QPoint below(0, 10);
    dialog.move(scene_ ? scene_->mapToGlobal(scene_->widget_point(x, y).toPoint() + below) : QPoint(x, y) + below);
    dialog.exec();
    return dialog.choice();
}

Answer QtPlatform::message_box(const std::string& text, const std::string& caption, Buttons buttons) {
    const bool ok = quorrel::message_box(owner_, QString::fromStdString(caption), QString::fromStdString(text),
                                         buttons == Buttons::OkCancel);
    return ok ? Answer::Ok : Answer::Cancel;
}

EditorExit QtPlatform::edit_program(Model& m, int program, int line, int) {
    if (program < 0 || program >= MAX_PROGRAMS) return EditorExit::Continue;
    ProgramEditor editor(m, owner_);
    editor.program = program;
    editor.error_line = line;
    editor.error_text = QString::fromStdString(program_error_text(line));
    editor.exec();
    return editor.stop_requested ? EditorExit::Stop : EditorExit::Continue;
}

void QtPlatform::play_sound(const std::string& path) {
    // The sound is loaded whole in the background: what is not a regular file
    // (a FIFO, a device that never ends) or is larger than any sound should be
    // stays silent, as a missing file does.
    const QFileInfo file(QString::fromLocal8Bit(path));
    if (!file.isFile() || file.size() > static_cast<qint64>(MAX_SOUND_FILE_BYTES)) return;
    if (!sound_) sound_ = std::make_unique<QSoundEffect>();
    sound_->stop();
    sound_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    sound_->play();
}

void QtPlatform::shell_open(const std::string& target) {
    const QString t = QString::fromLocal8Bit(target);
    const QFileInfo file(t);
    // A path that exists is opened as a file; anything else (web or mail
    // address) is handed over as an address.
    const QUrl url = file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl::fromUserInput(t);
    QDesktopServices::openUrl(url);
}

void QtPlatform::beep() {
    QApplication::beep();
}

void QtPlatform::exit_process(int status) {
    // Exit ends the player at once, without closing dialogs.
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace quorrel
