#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "ui/about_box.h"
#include "ui/icons.h"
#include "ui/qt_platform.h"
#include "ui/settings_dialog.h"

namespace quorrel {
namespace {

QColor qcolour(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

const QColor NAVY(0, 0, 128);
const QColor SILVER(192, 192, 192);
constexpr int BUTTON_SIZE = 25;
constexpr int BUTTON_TOP = 4;

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
    const ButtonSpec specs[TOOL_BUTTONS] = {{IconKind::Settings, "实验设置"},
                                            {IconKind::Run, "运行实验"},
                                            {IconKind::Stop, "停止实验"},
                                            {IconKind::Pause, "暂停/继续"},
                                            {IconKind::Exit, "退出"}};
    for (int b = 0; b < TOOL_BUTTONS; ++b) {
        auto* btn = new QToolButton(panel_);
        btn->setIcon(tool_icon(specs[b].icon));
        btn->setIconSize(QSize(20, 20));
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
    status_->move(STATUS_LABEL_LEFT, 9);

    time_ = new QLabel(panel_);
    QFont tf(QStringLiteral("Arial"));
    tf.setBold(true);
    time_->setFont(tf);
    set_background(time_, SILVER);
    set_text_colour(time_, NAVY);
    time_->setFixedSize(TIME_LABEL_WIDTH, 21);
    time_->hide();

    view_ = new SceneView(p_, this);
    settings_ = new SettingsDialog(*p_.model, platform_, this);
    platform_.set_scene(view_);
    view_->open_menu = [this](QPoint at) { menu_->exec(at); };
    view_->changed = [this] { sync(); };

    menu_ = new QMenu(this);
    actions_[0] = menu_->addAction(QStringLiteral("实验设置"), this, [this] { show_settings(); });
    actions_[0]->setEnabled(false);
    menu_->addSeparator();
    actions_[1] = menu_->addAction(QStringLiteral("运行"), this, [this] { run(); });
    actions_[2] = menu_->addAction(QStringLiteral("停止"), this, [this] { stop(); });
    actions_[3] = menu_->addAction(QStringLiteral("暂停\\继续"), this, [this] { pause_continue(); });
    menu_->addSeparator();
    actions_[4] = menu_->addAction(QStringLiteral("退出"), this, [this] { exit_player(); });
    menu_->addSeparator();
    actions_[5] = menu_->addAction(QStringLiteral("关于 Quorrel"), this, [this] { show_about(); });

    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    else
        resize(702, 455);

    // The main loop: at most one tick per display refresh, so an experiment
    // plays at the same speed everywhere and input is handled between ticks.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(TICK_INTERVAL_MS);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_.start();
}

QAction* MainWindow::menu_action(int index) const {
    return index >= 0 && index < 6 ? actions_[index] : nullptr;
}

void MainWindow::tick() {
    // A timer still fires inside a modal loop (message box, editor, About):
    // the simulation waits until the dialog is closed.
    if (in_tick_ || p_.idle_loop != 1 || QApplication::activeModalWidget() != nullptr) return;
    in_tick_ = true;
    const TickOutcome r = Timing(p_);
    in_tick_ = false;
    if (r == TickOutcome::Idle) return;
    sync();
    view_->update();
}

void MainWindow::refresh() {
    sync();
    view_->update();
}

void MainWindow::run() {
    press_run(p_);
    sync();
    view_->update();
}

void MainWindow::stop() {
    press_stop(p_);
    sync();
    view_->update();
}

void MainWindow::pause_continue() {
    press_pause(p_);
    sync();
}

void MainWindow::show_about() {
    AboutBox box(platform_, this);
    box.exec();
}

void MainWindow::show_settings() {
    if (!p_.model_loaded) return;
    settings_->exec();
    // Whether OK or Cancel closed it, earlier refused attempts may have stored
    // constants: the scene is prepared again from the model either way.
    layout_controls();
    settings_closed(p_);
    sync();
    view_->update();
}

void MainWindow::exit_player() {
    platform_.exit_process(1);
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) form_activate();
    return QWidget::event(e);
}

void MainWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The time label's place, an empty status line and, before an
    // experiment is loaded, the empty variable table with only the time.
    p_.status_text.clear();
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
    apply_toolbar_layout();
    layout_controls();
    sync();
    view_->update();
}

void MainWindow::apply_toolbar_layout() {
    const ToolbarLayout& t = p_.toolbar;
    applied_toolbar_ = t;
    panel_->setVisible(t.toolbar_visible);
    for (int b = 0; b < TOOL_BUTTONS; ++b) {
        buttons_[b]->setVisible(t.visible[b]);
        buttons_[b]->move(t.left[b], BUTTON_TOP);
    }
}

void MainWindow::layout_controls() {
    const int top = p_.toolbar.toolbar_visible ? TOOLBAR_HEIGHT : 0;
    panel_->setGeometry(0, 0, width(), TOOLBAR_HEIGHT);
    time_->move(width() - TIME_LABEL_FROM_RIGHT, 6);
    status_->resize(std::max(width() - TIME_LABEL_FROM_RIGHT - STATUS_LABEL_LEFT - 8, 50), 16);
    view_->setGeometry(0, top, width(), std::max(height() - top, 1));
    resize_scene(p_, view_->width(), view_->height(), width(), height());
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

    status_->setText(QString::fromStdString(p_.status_text));
    set_text_colour(status_, qcolour(p_.status_colour));

    time_->setText(QString::fromStdString(p_.time_text));
    set_text_colour(time_, p_.toolbar.time_in_toolbar_colour ? SILVER : NAVY);
    time_->setVisible(p_.time_visible);
}

}  // namespace quorrel
