// The main window's editing commands: the property dialogs a double click
// opens, undo (Ctrl+Z) and redo (Ctrl+Y) of the drags and edits made before a
// run. Their menu items sit in the pop-up menu above 退出; the shortcuts work
// on the whole window.
#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace quorrel {

class Platform;
struct PlayerState;

class EditActions : public QObject {
public:
    // Adds the items to `menu` in front of `before`, and their shortcuts to `window`.
    EditActions(PlayerState& p, Platform& platform, QWidget* window, QMenu* menu, QAction* before);

    QAction* undo_action() const { return undo_; }
    QAction* redo_action() const { return redo_; }

    void open_properties(int drag_state, int index);
    void undo();
    void redo();
    // Enables the items as the player's state allows; the window calls it
    // after every change it shows.
    void sync();

    // Called after a command changed the experiment or the scene.
    std::function<void()> changed;

private:
    PlayerState& p_;
    Platform& platform_;
    QWidget* window_;
    QAction* undo_;
    QAction* redo_;
};

}  // namespace quorrel
