#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "format/io.h"
#include "player/view_control.h"
#include "ui/about_box.h"
#include "ui/edit_actions.h"
#include "ui/icons.h"
#include "ui/qt_platform.h"
#include "ui/settings_dialog.h"
#include "ui/text_scale.h"

namespace quorrel {
namespace {

QColor qcolour(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

const QColor NAVY(0, 0, 128);
const QColor SILVER(192, 192, 192);

void set_background(QWidget* w, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void set_text_colour(QLabel* label, const QColor& c) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, c);
    label->setPalette(pal);
}

}  // namespace

MainWindow::MainWindow(PlayerState& p, QtPlatform& platform, ExperimentSource source, std::string path)
    : p_(p), platform_(platform), source_(source), path_(std::move(path)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromStdString(p_.caption));
    set_background(this, Qt::black);
    platform_.set_owner(this);
    p_.platform = &platform_;

    panel_ = new QWidget(this);
    set_background(panel_, SILVER);

    struct ButtonSpec {
        IconKind icon;
        const char* hint;
    };
    // The hints name the keys too.
    const ButtonSpec specs[TOOL_BUTTONS] = {{IconKind::Settings, "实验设置"},
                                            {IconKind::Run, "运行实验 (F5；空格)"},
                                            {IconKind::Stop, "停止实验 (Esc)"},
                                            {IconKind::Pause, "暂停/继续 (空格)"},
                                            {IconKind::Exit, "退出"}};
    for (int b = 0; b < TOOL_BUTTONS; ++b) {
        auto* btn = new QToolButton(panel_);
        btn->setIcon(tool_icon(specs[b].icon));
        btn->setIconSize(QSize(ICON_SIZE, ICON_SIZE));
        btn->setToolTip(QString::fromUtf8(specs[b].hint));
        btn->setAutoRaise(true);
        btn->setFocusPolicy(Qt::NoFocus);
        btn->setGeometry(BUTTON_LEFT[b], BUTTON_TOP, BUTTON_SIZE, BUTTON_SIZE);
        buttons_[b] = btn;
    }
    // Settings need an experiment: sync() enables them once one is loaded.
    buttons_[BUTTON_SETTINGS]->setEnabled(false);
    connect(buttons_[BUTTON_SETTINGS], &QToolButton::clicked, this, [this] { show_settings(); });
    buttons_[BUTTON_PAUSE]->setCheckable(true);
    buttons_[BUTTON_PAUSE]->setEnabled(false);
    connect(buttons_[BUTTON_RUN], &QToolButton::clicked, this, [this] { run(); });
    connect(buttons_[BUTTON_STOP], &QToolButton::clicked, this, [this] { stop(); });
    // The latch follows the core's state, not the click: sync() sets it.
    connect(buttons_[BUTTON_PAUSE], &QToolButton::clicked, this, [this] { pause_continue(); });
    connect(buttons_[BUTTON_EXIT], &QToolButton::clicked, this, [this] { exit_player(); });

    status_ = new QLabel(QStringLiteral("提示信息"), panel_);
    set_text_colour(status_, NAVY);
    // The design font: an earlier window may have left the application's grown.
    status_font_ = unscaled_font();
    status_->setFont(status_font_);

    time_ = new QLabel(panel_);
    time_font_ = QFont(QStringLiteral("Arial"));
    time_font_.setBold(true);
    time_->setFont(time_font_);
    set_background(time_, SILVER);
    set_text_colour(time_, NAVY);
    time_->setToolTip(QStringLiteral("模拟时间与播放速度（相对实际时间）；[ 和 ] 调整速度，\\ 恢复实时"));
    time_->hide();

    view_ = new SceneView(p_, this);
    platform_.set_scene(view_);
    view_->open_menu = [this](QPoint at) { menu_->exec(at); };
    view_->changed = [this] { sync(); };

    build_menu();

    edit_ = new EditActions(p_, platform_, this, menu_, actions_[4]);
    edit_->changed = [this] { refresh(); };
    view_->open_properties = [this](int state, int index) { edit_->open_properties(state, index); };

    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    else
        resize(702, 455);

    // The main loop: a turn per display refresh runs the frames the clock
    // asks for at the playback speed, so an experiment plays at the same pace
    // everywhere and input is handled between turns.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(TICK_INTERVAL_MS);
    connect(&timer_, &QTimer::timeout, this, [this] { turn(); });
    timer_.start();
    clock_.start();
}

QAction* MainWindow::add_command(QMenu* menu, const QString& text, const QKeySequence& key, std::function<void()> run,
                                 std::function<void()> by_key) {
    QAction* a = menu->addAction(text, this, run);
    if (!key.isEmpty()) {
        // The menu shows the key; the window's key handler runs it, also
        // when the menu item itself is disabled (Space runs a stopped experiment).
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
        keys_.push_back({key, by_key ? std::move(by_key) : std::move(run)});
    }
    return a;
}

void MainWindow::build_menu() {
    menu_ = new QMenu(this);
    actions_[0] = add_command(menu_, QStringLiteral("实验设置"), {}, [this] { show_settings(); });
    actions_[0]->setEnabled(false);
    menu_->addSeparator();
    actions_[1] = add_command(menu_, QStringLiteral("运行"), QKeySequence(Qt::Key_F5), [this] { run(); });
    actions_[2] = add_command(menu_, QStringLiteral("停止"), QKeySequence(Qt::Key_Escape), [this] { stop(); });
    // The menu item only pauses and continues, as the tool bar's button does;
    // Space also runs a stopped experiment.
    actions_[3] = add_command(
        menu_, QStringLiteral("暂停\\继续"), QKeySequence(Qt::Key_Space), [this] { pause_continue(); },
        [this] { run_or_pause(); });
    add_command(menu_, QStringLiteral("前进一帧"), QKeySequence(Qt::Key_Right), [this] { step_frame(); });

    // The multiples of real time, then the experiment's own pace (its entry
    // shows that pace against real time, see sync).
    QMenu* speed = menu_->addMenu(QStringLiteral("播放速度"));
    auto* group = new QActionGroup(this);
    for (int i = 0; i < SPEEDS; ++i) {
        const Speed sp = static_cast<Speed>(i);
        if (sp == Speed::Own) speed->addSeparator();
        const QKeySequence key = sp == Speed::RealTime ? QKeySequence(Qt::Key_Backslash) : QKeySequence();
        QAction* a = add_command(speed, QString::fromUtf8(speed_name(sp)), key, [this, sp] { set_speed(sp); });
        a->setCheckable(true);
        group->addAction(a);
        speed_actions_[i] = a;
    }
    speed->addSeparator();
    add_command(speed, QStringLiteral("慢一档"), QKeySequence(Qt::Key_BracketLeft),
                [this] { set_speed(slower(p_.playback.speed, *p_.model)); });
    add_command(speed, QStringLiteral("快一档"), QKeySequence(Qt::Key_BracketRight),
                [this] { set_speed(faster(p_.playback.speed, *p_.model)); });
    menu_->addSeparator();

    QMenu* view = menu_->addMenu(QStringLiteral("视图"));
    add_command(view, QStringLiteral("适合窗口"), QKeySequence(Qt::CTRL | Qt::Key_0), [this] { fit_view(); });
    add_command(view, QStringLiteral("原始大小 1:1"), QKeySequence(Qt::CTRL | Qt::Key_1), [this] { one_to_one(); });
    add_command(view, QStringLiteral("放大"), QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoom_step(ZOOM_STEP); });
    add_command(view, QStringLiteral("缩小"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
                [this] { zoom_step(1.0 / ZOOM_STEP); });
    view->addSeparator();
    add_command(view, QStringLiteral("全屏"), QKeySequence(Qt::Key_F11), [this] { toggle_full_screen(); });
    // Keypad and shifted forms of the zoom keys.
    keys_.push_back({QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { zoom_step(ZOOM_STEP); }});
    legend_ = menu_->addAction(QStringLiteral("矢量图例"), this, [this](bool on) { show_legend(on); });
    legend_->setCheckable(true);
    units_ = menu_->addAction(QStringLiteral("读数显示单位"), this, [this](bool on) { show_units(on); });
    units_->setCheckable(true);
    menu_->addSeparator();
    actions_[4] = add_command(menu_, QStringLiteral("退出"), {}, [this] { exit_player(); });
    menu_->addSeparator();
    actions_[5] = add_command(menu_, QStringLiteral("关于 Quorrel"), {}, [this] { show_about(); });
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    // The keypad's keys count as the main ones; Shift is part of + itself.
    Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Plus) mods &= ~Qt::ShiftModifier;
    const QKeySequence pressed(QKeyCombination(mods, static_cast<Qt::Key>(e->key())));
    for (const KeyCommand& k : keys_) {
        if (k.key == pressed) {
            k.run();
            e->accept();
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void MainWindow::set_zoom_on_open(double zoom) {
    zoom_on_open_ = zoom;
    p_.fit_view = zoom <= 0.0;
}

QAction* MainWindow::menu_action(int index) const {
    return index >= 0 && index < 6 ? actions_[index] : nullptr;
}

template <class Advance>
void MainWindow::advance(Advance run_frames) {
    // A timer still fires inside a modal loop (message box, editor, About):
    // the simulation waits until the dialog is closed.
    if (in_tick_ || p_.idle_loop != 1 || QApplication::activeModalWidget() != nullptr) return;
    in_tick_ = true;
    const TickOutcome r = run_frames();
    in_tick_ = false;
    if (r != TickOutcome::Idle) refresh();
}

void MainWindow::tick() {
    advance([this] { return Timing(p_); });
}

void MainWindow::turn() {
    const double seconds = static_cast<double>(clock_.nsecsElapsed()) * 1e-9;
    clock_.restart();
    advance([this, seconds] { return play(p_, seconds); });
}

void MainWindow::refresh() {
    sync();
    view_->update();
}

void MainWindow::run_or_pause() {
    if (p_.pause_enabled && p_.idle_loop == 1)
        pause_continue();
    else
        run();
}

void MainWindow::step_frame() {
    if (QApplication::activeModalWidget() != nullptr) return;
    quorrel::step_frame(p_);
    refresh();
}

void MainWindow::set_speed(Speed s) {
    quorrel::set_speed(p_.playback, p_, *p_.model, s);
    sync();
}

void MainWindow::show_legend(bool on) {
    p_.scene.show_legend = on;
    redraw_scene(p_, p_);
    refresh();
}

void MainWindow::show_units(bool on) {
    p_.scene.show_units = on;
    redraw_scene(p_, p_);
    refresh();
}

void MainWindow::fit_view() {
    view_fit(p_, p_);
    refresh();
}

void MainWindow::one_to_one() {
    view_one_to_one(p_, p_);
    refresh();
}

void MainWindow::zoom_step(double factor) {
    const QPointF at = view_->zoom_anchor();
    view_zoom(p_, p_, factor, at.x(), at.y());
    refresh();
}

void MainWindow::toggle_full_screen() {
    if (isFullScreen()) {
        showNormal();
        if (QScreen* screen = this->screen()) setGeometry(screen->availableGeometry());
    } else {
        showFullScreen();
    }
}

void MainWindow::run() {
    press_run(p_);
    // The run's clock starts now: the time since the last turn went before it.
    clock_.restart();
    sync();
    view_->update();
}

void MainWindow::stop() {
    press_stop(p_);
    sync();
    view_->update();
}

void MainWindow::pause_continue() {
    press_pause(p_, *p_.model);
    clock_.restart();  // a continued run owes nothing for the pause
    sync();
}

void MainWindow::show_about() {
    AboutBox box(platform_, this);
    box.exec();
}

// Made on first use: building its pages costs start-up time a lesson that
// never opens the settings should not pay.
SettingsDialog* MainWindow::settings_dialog() {
    if (settings_ == nullptr) settings_ = new SettingsDialog(*p_.model, platform_, this);
    return settings_;
}

void MainWindow::show_settings() {
    if (!p_.model_loaded) return;
    // The settings are part of the experiment: a change is one to save.
    const std::string before = write_experiment(*p_.model, false);
    settings_dialog()->exec();
    if (write_experiment(*p_.model, false) != before) p_.edits.note_outside_change();
    // Whether OK or Cancel closed it, earlier refused attempts may have stored
    // constants: the scene is prepared again from the model either way.
    layout_controls();
    settings_closed(p_);
    sync();
    view_->update();
}

void MainWindow::exit_player() {
    // Unsaved edits are offered for saving first; without any the player ends at once.
    if (edit_ && !edit_->may_close()) return;
    platform_.exit_process(1);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (edit_ && !edit_->may_close()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) form_activate();
    return QWidget::event(e);
}

void MainWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The time label's place, an empty status line and, before an
    // experiment is loaded, the empty variable table with only the time.
    if (p_.status_tooltip.empty()) p_.status_text.clear();  // the hints of a file opened before showing stay
    if (!p_.model_loaded) reset_variables(*p_.model);
    layout_controls();
    sync();
    // Without a window manager the window may never be activated: load anyway
    // once the event loop runs.
    QTimer::singleShot(0, this, [this] {
        if (!p_.first_activation_done) form_activate();
    });
}

void MainWindow::form_activate() {
    if (p_.first_activation_done) {
        if (source_ == ExperimentSource::OwnExecutable) p_.caption = p_.executable_path;
        sync();
        return;
    }
    layout_controls();
    bool ok = false;
    switch (source_) {
        case ExperimentSource::OwnExecutable:
            ok = first_activation(p_, path_);
            break;
        case ExperimentSource::ContainerFile:
            p_.first_activation_done = true;
            p_.executable_path = path_;
            ok = load_container(p_, path_);
            break;
        case ExperimentSource::ExperimentFile:
            p_.first_activation_done = true;
            p_.executable_path = path_;
            ok = open_experiment(p_, path_);
            break;
    }
    if (!ok) {
        // The message was shown; an experiment that cannot be read closes the player.
        load_failed_ = true;
        QTimer::singleShot(0, this, [] { QCoreApplication::exit(2); });
        return;
    }
    if (speed_on_open_) quorrel::set_speed(p_.playback, p_, *p_.model, *speed_on_open_);
    if (zoom_on_open_ > 0.0) {
        View v;
        v.zoom = zoom_on_open_;
        v.pixel_ratio = p_.scene.view.pixel_ratio;
        set_view(p_, p_, v);
    }
    // The load drew the scene for the view's area; it is drawn again only
    // when the experiment's tool-bar layout changes that area.
    const QSize area = view_->size();
    apply_toolbar_layout();
    place_controls();
    if (view_->size() != area) resize_scene_to_view();
    sync();
    view_->update();
}

void MainWindow::apply_toolbar_layout() {
    const ToolbarLayout& t = p_.toolbar;
    applied_toolbar_ = t;
    panel_->setVisible(t.toolbar_visible);
    for (int b = 0; b < TOOL_BUTTONS; ++b) buttons_[b]->setVisible(t.visible[b]);
}

void MainWindow::layout_controls() {
    place_controls();
    resize_scene_to_view();
}

void MainWindow::resize_scene_to_view() {
    resize_scene(p_, view_->width(), view_->height(), width(), height(), view_->devicePixelRatioF());
}

void MainWindow::place_controls() {
    const ToolbarGeometry g = toolbar_geometry(p_.toolbar, width(), height());
    panel_->setGeometry(0, 0, width(), g.height);
    for (int b = 0; b < TOOL_BUTTONS; ++b) {
        buttons_[b]->setGeometry(g.left[b], g.button_top, g.button_size, g.button_size);
        // The icons are drawn at the size asked for, so they stay sharp.
        buttons_[b]->setIconSize(QSize(g.icon_size, g.icon_size));
    }
    if (g.scale != font_scale_) {
        font_scale_ = g.scale;
        // Menus, dialogs and message boxes grow with the bar.
        set_text_scale(g.scale);
        status_->setFont(scaled_font(status_font_, g.scale));
        time_->setFont(scaled_font(time_font_, g.scale));
    }
    status_->setGeometry(g.status);
    time_->setGeometry(g.time);
    view_->setGeometry(0, g.scene_top, width(), std::max(height() - g.scene_top, 1));
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layout_controls();
    sync();
    view_->update();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e) {
    menu_->popup(e->globalPos());
}

MainWindow::~MainWindow() {
    // Dialogs opened after the window (or by the next one) start at the design size.
    set_text_scale(1.0);
}

void MainWindow::show_status() {
    // A message longer than its room ends in an ellipsis; the whole text is
    // the tool tip, unless the player gave one (the list of hints).
    const QString full = QString::fromStdString(p_.status_text);
    const QString shown = status_->fontMetrics().elidedText(full, Qt::ElideRight, status_->width());
    status_->setText(shown);
    if (!p_.status_tooltip.empty())
        status_->setToolTip(QString::fromStdString(p_.status_tooltip));
    else
        status_->setToolTip(shown == full ? QString() : full);
}

void MainWindow::sync() {
    setWindowTitle(QString::fromStdString(p_.caption));
    // An experiment opened by an event program brings its own tool-bar layout.
    if (p_.model_loaded && !(p_.toolbar == applied_toolbar_)) {
        apply_toolbar_layout();
        layout_controls();
    }
    buttons_[BUTTON_SETTINGS]->setEnabled(p_.model_loaded);
    actions_[0]->setEnabled(p_.model_loaded);
    if (p_.model_loaded) {
        const QColor bg = qcolour(p_.model->settings.background_colour);
        set_background(this, bg);
        set_background(panel_, bg);
    }
    QToolButton* pause = buttons_[BUTTON_PAUSE];
    pause->setEnabled(p_.pause_enabled);
    pause->setChecked(p_.pause_down);
    actions_[3]->setEnabled(p_.pause_enabled);
    speed_actions_[static_cast<int>(p_.playback.speed)]->setChecked(true);
    QString own = QString::fromUtf8(speed_name(Speed::Own));
    if (p_.model_loaded) {
        const std::string pace = real_time_text(Speed::Own, *p_.model);
        if (!pace.empty()) own += QStringLiteral("（") + QString::fromStdString(pace) + QStringLiteral("）");
    }
    QAction* own_action = speed_actions_[static_cast<int>(Speed::Own)];
    if (own_action->text() != own) own_action->setText(own);
    legend_->setChecked(p_.scene.show_legend);
    units_->setChecked(p_.scene.show_units);

    show_status();
    set_text_colour(status_, qcolour(p_.status_colour));

    time_->setText(QString::fromStdString(p_.time_text));
    set_text_colour(time_, p_.toolbar.time_in_toolbar_colour ? SILVER : NAVY);
    time_->setVisible(p_.time_visible);
    if (edit_) edit_->sync();
}

}  // namespace quorrel
