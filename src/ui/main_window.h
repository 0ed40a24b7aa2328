// The player's main window: a borderless window over the screen's work area
// with the tool bar (settings, run, stop, pause/continue, exit, status text,
// time readout), the scene picture and the pop-up menu. It holds no
// simulation state of its own: every command goes to the core (player.h,
// playback.h, view_control.h) and the controls are refreshed from the core's
// state afterwards. The keys: Space runs or pauses and continues, Esc stops,
// F5 runs, the right arrow advances one frame, [ and ] change the speed,
// \ returns to real time,
// Ctrl + 0 / 1 / = / - fit, show 1:1, zoom in and out, F11 toggles full screen.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/playback.h"
#include "player/player.h"
#include "ui/scene_view.h"

class QLabel;
class QMenu;
class QAction;
class QActionGroup;
class QToolButton;

namespace quorrel {

class EditActions;
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
    ~MainWindow() override;

    QToolButton* button(ToolButton b) const { return buttons_[b]; }
    QLabel* status_label() const { return status_; }
    QLabel* time_label() const { return time_; }
    QMenu* popup_menu() const { return menu_; }
    SceneView* scene_view() const { return view_; }
    SettingsDialog* settings_dialog();  // made on first use
    EditActions* edit_actions() const { return edit_; }
    QAction* menu_action(int index) const;  // 0 settings, 1 run, 2 stop, 3 pause, 4 exit, 5 about
    QAction* speed_action(Speed s) const { return speed_actions_[static_cast<int>(s)]; }
    QAction* legend_action() const { return legend_; }
    QAction* units_action() const { return units_; }

    // The view the experiment opens with: 0 fits the content to the window
    // (and keeps fitting it as the window changes), any other value is the
    // view scale with the design picture's corner at the top left.
    void set_zoom_on_open(double zoom);
    // The playback speed the experiment opens with, whatever its file asks for.
    void set_speed_on_open(Speed s) { speed_on_open_ = s; }

    // One frame of the main loop (a tick) unless a modal dialog is open or
    // the idle loop is off. Public so tests can step the window deterministically.
    void tick();
    // One turn of the main loop on its timer: the frames the clock asks for
    // at the playback speed.
    void turn();
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
    // Shows the core's state again: after a command, and after a change
    // outside the window (a reload).
    void refresh();
    void run_or_pause();  // Space: Run when stopped, else pause/continue
    void step_frame();
    void set_speed(Speed s);
    void toggle_full_screen();
    void show_legend(bool on);
    void show_units(bool on);  // the units after the readings' numbers
    // Fit, 1:1, and a zoom step in (> 1) or out about the pointer.
    void fit_view();
    void one_to_one();
    void zoom_step(double factor);

    // Minimum time between two ticks: about one display refresh.
    static constexpr int TICK_INTERVAL_MS = 16;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // A command of the menu and the keyboard.
    struct KeyCommand {
        QKeySequence key;
        std::function<void()> run;
    };
    // A menu item with its key; `by_key`, when given, is what the key does instead.
    QAction* add_command(QMenu* menu, const QString& text, const QKeySequence& key, std::function<void()> run,
                         std::function<void()> by_key = {});
    void build_menu();
    // Runs frames (a tick, or a turn's frames) unless a modal dialog is open
    // or the idle loop is off, then shows the outcome.
    template <class Advance>
    void advance(Advance run_frames);

    void form_activate();
    void layout_controls();       // places the controls, then sizes the scene to its area
    void place_controls();        // the tool bar's controls and the scene view's area
    void resize_scene_to_view();  // the scene's pictures at the view's size
    void apply_toolbar_layout();
    void sync();
    void show_status();  // the status text, cut to its room

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
    QAction* speed_actions_[SPEEDS];
    QAction* legend_;
    QAction* units_;
    std::vector<KeyCommand> keys_;
    SettingsDialog* settings_ = nullptr;
    EditActions* edit_ = nullptr;
    ToolbarLayout applied_toolbar_;  // the layout the tool bar shows
    QFont status_font_, time_font_;  // the labels' fonts at scale 1
    double font_scale_ = 1.0;        // the scale the labels' fonts are drawn at
    QTimer timer_;
    QElapsedTimer clock_;  // the time since the last turn of the main loop
    double zoom_on_open_ = 0.0;
    std::optional<Speed> speed_on_open_;
};

}  // namespace quorrel
