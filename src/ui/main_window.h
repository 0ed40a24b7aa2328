// The player's main window: a borderless window over the screen's work area
// with the tool bar (settings, run, stop, pause/continue, exit, status text,
// time readout), the scene picture and the pop-up menu. It holds no
// simulation state of its own: every command goes to the core (player.h) and
// the controls are refreshed from the core's state afterwards.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <string>

#include "player/player.h"
#include "ui/scene_view.h"

class QLabel;
class QMenu;
class QAction;
class QToolButton;

namespace quorrel {

class QtPlatform;
class SettingsDialog;

// Where the experiment comes from.
enum class ExperimentSource {
    OwnExecutable,   // the container appended to the running executable
    ContainerFile,   // a file carrying a container at its end
    ExperimentFile,  // an experiment file
};

class MainWindow : public QWidget {
public:
    MainWindow(PlayerState& p, QtPlatform& platform, ExperimentSource source, std::string path);

    QToolButton* button(ToolButton b) const { return buttons_[b]; }
    QLabel* status_label() const { return status_; }
    QLabel* time_label() const { return time_; }
    QMenu* popup_menu() const { return menu_; }
    SceneView* scene_view() const { return view_; }
    SettingsDialog* settings_dialog() const { return settings_; }
    QAction* menu_action(int index) const;  // 0 settings, 1 run, 2 stop, 3 pause, 4 exit, 5 about

    // One turn of the main loop: a tick unless a modal dialog is open or the
    // idle loop is off. Public so tests can step the window deterministically.
    void tick();
    // Has the experiment loaded? False also after a failed load.
    bool loaded() const { return p_.model_loaded; }
    bool load_failed() const { return load_failed_; }

    // Commands, as the buttons and the menu call them.
    void run();
    void stop();
    void pause_continue();
    void show_about();
    void show_settings();
    void exit_player();
    // Shows the core's state again after it changed outside the window (a reload).
    void refresh();

    // Minimum time between two ticks: about one display refresh.
    static constexpr int TICK_INTERVAL_MS = 16;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void form_activate();
    void layout_controls();
    void apply_toolbar_layout();
    void sync();

    PlayerState& p_;
    QtPlatform& platform_;
    ExperimentSource source_;
    std::string path_;
    bool load_failed_ = false;
    bool in_tick_ = false;

    QWidget* panel_;
    QToolButton* buttons_[TOOL_BUTTONS];
    QLabel* status_;
    QLabel* time_;
    SceneView* view_;
    QMenu* menu_;
    QAction* actions_[6];
    SettingsDialog* settings_;
    ToolbarLayout applied_toolbar_;  // the layout the tool bar shows
    QTimer timer_;
};

}  // namespace quorrel
