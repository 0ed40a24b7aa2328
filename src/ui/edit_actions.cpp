#include "ui/edit_actions.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "player/edit_history.h"
#include "player/interaction.h"
#include "player/player.h"
#include "player/save.h"
#include "script/platform.h"
#include "ui/property_dialog.h"

namespace quorrel {
namespace {

constexpr const char* WARNING_CAPTION = "warning";
const char* const EXPERIMENT_TYPES = "实验文件 (*.exp);;TOML 文本 (*.toml);;JSON 文本 (*.json)";

QAction* add_item(QMenu* menu, QAction* before, QWidget* window, const char* text, const QKeySequence& keys) {
    auto* a = new QAction(QString::fromUtf8(text), window);
    if (!keys.isEmpty()) {
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        window->addAction(a);
    }
    menu->insertAction(before, a);
    return a;
}

// The experiment's file with another extension, beside it: a packed player
// "球" suggests "球.exp", a text form "球.toml" suggests "球.exp".
QString beside(const std::string& path, const char* extension) {
    const QFileInfo f(QString::fromLocal8Bit(path));
    const QString base = f.suffix().isEmpty() ? f.fileName() : f.completeBaseName();
    return f.dir().filePath(base + QLatin1String(extension));
}

QString default_file_name(QWidget* parent, const QString& title, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

SaveQuestion default_save_question(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("实验已被修改，是否保存？"),
                    QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save) return SaveQuestion::Save;
    if (box.clickedButton() == discard) return SaveQuestion::Discard;
    return SaveQuestion::Cancel;
}

}  // namespace

EditActions::EditActions(PlayerState& p, Platform& platform, QWidget* window, QMenu* menu, QAction* before)
    : QObject(window), p_(p), platform_(platform), window_(window) {
    undo_ = add_item(menu, before, window, "撤销", QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = add_item(menu, before, window, "重做", QKeySequence(Qt::CTRL | Qt::Key_Y));
    menu->insertSeparator(before);
    save_ = add_item(menu, before, window, "保存", QKeySequence(Qt::CTRL | Qt::Key_S));
    save_as_ = add_item(menu, before, window, "另存为…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    export_ = add_item(menu, before, window, "导出数据…", QKeySequence());
    menu->insertSeparator(before);
    connect(undo_, &QAction::triggered, this, [this] { undo(); });
    connect(redo_, &QAction::triggered, this, [this] { redo(); });
    connect(save_, &QAction::triggered, this, [this] { save(); });
    connect(save_as_, &QAction::triggered, this, [this] { save_as(); });
    connect(export_, &QAction::triggered, this, [this] { export_data(); });
    ask_file_name = [this](const QString& title, const QString& suggested, const QString& filter) {
        return default_file_name(window_, title, suggested, filter);
    };
    ask_save_changes = [this] { return default_save_question(window_); };
    sync();
}

void EditActions::open_properties(int drag_state, int index) {
    if (!drag_mode(p_)) return;
    open_properties_dialog(p_, platform_, drag_state, index, window_);
    sync();
    if (changed) changed();
}

void EditActions::undo() {
    if (undo_edit(p_) && changed) changed();
    sync();
}

void EditActions::redo() {
    if (redo_edit(p_) && changed) changed();
    sync();
}

bool EditActions::save() {
    if (!p_.model_loaded) return false;
    if (!can_save_in_place(p_)) return save_as();
    return write(p_.model->experiment_path);
}

bool EditActions::save_as() {
    if (!p_.model_loaded) return false;
    const QString name = ask_path("另存为", ".exp", QString::fromUtf8(EXPERIMENT_TYPES));
    return !name.isEmpty() && write(name.toLocal8Bit().toStdString());
}

QString EditActions::ask_path(const char* title, const char* extension, const QString& filter) {
    QString name = ask_file_name(QString::fromUtf8(title), beside(p_.model->experiment_path, extension), filter);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty()) name += QLatin1String(extension);
    return name;
}

bool EditActions::write(const std::string& path) {
    const WriteResult r = save_experiment(p_, p_, path);
    if (!r.ok) {
        platform_.message_box(r.message, WARNING_CAPTION, Buttons::OkCancel);
        return false;
    }
    p_.edits.mark_saved();
    report("实验已保存到 " + QFileInfo(QString::fromLocal8Bit(path)).fileName().toStdString());
    return true;
}

void EditActions::export_data() {
    if (!p_.model_loaded) return;
    // Nothing to export before a run: the writer says so without a file dialog.
    if (p_.record.rows() == 0) {
        platform_.message_box(export_run_csv(p_, std::string()).message, "提示", Buttons::Ok);
        return;
    }
    const QString name = ask_path("导出数据", ".csv", QStringLiteral("CSV 文件 (*.csv)"));
    if (name.isEmpty()) return;
    const std::string path = name.toLocal8Bit().toStdString();
    const WriteResult r = export_run_csv(p_, path);
    if (!r.ok) {
        platform_.message_box(r.message, WARNING_CAPTION, Buttons::OkCancel);
        return;
    }
    report("数据已导出到 " + QFileInfo(name).fileName().toStdString());
}

bool EditActions::may_close() {
    if (!p_.model_loaded || !has_unsaved_edits(p_)) return true;
    switch (ask_save_changes()) {
        case SaveQuestion::Save:
            return save();
        case SaveQuestion::Discard:
            return true;
        case SaveQuestion::Cancel:
            break;
    }
    return false;
}

void EditActions::report(const std::string& message) {
    show_status(p_, STATUS_NAVY, message);
    if (changed) changed();
}

void EditActions::sync() {
    const bool editable = drag_mode(p_);
    undo_->setEnabled(editable && p_.edits.can_undo());
    redo_->setEnabled(editable && p_.edits.can_redo());
    save_->setEnabled(p_.model_loaded);
    save_as_->setEnabled(p_.model_loaded);
    export_->setEnabled(p_.model_loaded);
}

}  // namespace quorrel
