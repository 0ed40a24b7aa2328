// The main window's editing commands: the property dialogs a double click
// opens; undo (Ctrl+Z) and redo (Ctrl+Y) of the drags and edits made before a
// run; 保存 (Ctrl+S), 另存为… (Ctrl+Shift+S) and 导出数据…; and the question
// whether to save when the player closes with unsaved edits. Their menu items
// sit in the pop-up menu above 退出; the shortcuts work on the whole window.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace quorrel {

class Platform;
struct PlayerState;

// The answer to the question on closing with unsaved edits.
enum class SaveQuestion { Save, Discard, Cancel };

class EditActions : public QObject {
public:
    // Adds the items to `menu` in front of `before`, and their shortcuts to `window`.
    EditActions(PlayerState& p, Platform& platform, QWidget* window, QMenu* menu, QAction* before);

    QAction* undo_action() const { return undo_; }
    QAction* redo_action() const { return redo_; }
    QAction* save_action() const { return save_; }
    QAction* save_as_action() const { return save_as_; }
    QAction* export_action() const { return export_; }

    void open_properties(int drag_state, int index);
    void undo();
    void redo();
    // 保存: back to the experiment file it came from; a packed player or a
    // text form asks for a name first. True when the file was written.
    bool save();
    bool save_as();
    void export_data();
    // Before the player closes: true when it may (nothing unsaved, saved, or
    // the edits given up); false when the user cancelled.
    bool may_close();
    // Enables the items as the player's state allows; the window calls it
    // after every change it shows.
    void sync();

    // Called after a command changed the experiment or the scene.
    std::function<void()> changed;
    // The desktop's questions; tests replace them. A file name is asked with
    // the dialog's title, a suggested path and the file types; an empty answer
    // is a cancel.
    std::function<QString(const QString& title, const QString& suggested, const QString& filter)> ask_file_name;
    std::function<SaveQuestion()> ask_save_changes;

private:
    // The file the user picks, suggested beside the experiment with
    // `extension`, which is added when the name has none; empty on a cancel.
    QString ask_path(const char* title, const char* extension, const QString& filter);
    bool write(const std::string& path);
    void report(const std::string& message);

    PlayerState& p_;
    Platform& platform_;
    QWidget* window_;
    QAction* undo_;
    QAction* redo_;
    QAction* save_;
    QAction* save_as_;
    QAction* export_;
};

}  // namespace quorrel
