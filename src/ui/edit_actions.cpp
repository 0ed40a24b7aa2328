#include "ui/edit_actions.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "player/edit_history.h"
#include "player/interaction.h"
#include "ui/property_dialog.h"

namespace quorrel {
namespace {

QAction* add_item(QMenu* menu, QAction* before, QWidget* window, const char* text, const QKeySequence& keys) {
    auto* a = new QAction(QString::fromUtf8(text), window);
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    menu->insertAction(before, a);
    window->addAction(a);
    return a;
}

}  // namespace

EditActions::EditActions(PlayerState& p, Platform& platform, QWidget* window, QMenu* menu, QAction* before)
    : QObject(window), p_(p), platform_(platform), window_(window) {
    undo_ = add_item(menu, before, window, "撤销", QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = add_item(menu, before, window, "重做", QKeySequence(Qt::CTRL | Qt::Key_Y));
    menu->insertSeparator(before);
    connect(undo_, &QAction::triggered, this, [this] { undo(); });
    connect(redo_, &QAction::triggered, this, [this] { redo(); });
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

void EditActions::sync() {
    const bool editable = drag_mode(p_);
    undo_->setEnabled(editable && p_.edits.can_undo());
    redo_->setEnabled(editable && p_.edits.can_redo());
}

}  // namespace quorrel
