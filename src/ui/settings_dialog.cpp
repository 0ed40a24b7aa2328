#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "script/platform.h"
#include "ui/colour_swatch.h"
#include "ui/vector_dialog.h"

namespace quorrel {
namespace {

const char* const FLAG_CAPTIONS[SETTINGS_FLAGS] = {"显示坐标系",
                                                   "考虑重力作用",
                                                   "考虑相对论",
                                                   "考虑运动对象间万有引力",
                                                   "考虑运动对象间电荷吸引",
                                                   "考虑运动对象间的碰撞",
                                                   "加粗线条",
                                                   "显示坐标格",
                                                   "显示细网格"};

const char* const HELP_TEXTS[3] = {
    ("这是一个十分重要的参数。它的设定直接关系到实验的精度和动画演示的速度。实验室将以实验最小扫描时间为计算步长，"
     "逐步计算实验的状态，并对计算出的状态进行演示。从理论上讲，实验最小扫描时间越小，实验的精度可能越高；"
     "但同时会耗费大量的计算时间，演示的速度也会变慢。在研究宏观世界中，实验最小扫描时间可以设定的大一些，"
     "而研究微观世界时，应设定的非常小。例如在自由落体实验中设定为0.001秒左右；在地球人造卫星实验中设定为1."
     "0秒左右就可以了。而在电场对电子的加速与偏转的实验中应设定为1e-12秒左右。在具体制作过程中，"
     "可以试着找一个比较合适的数值。比如说，你觉得实验运行得太快了，你就可以试着减小这个参数，"
     "同时仿真的精度也高了；如果你觉得实验运行太慢了，你就可以试着增大这个参数。"),
    ("每脉扫描次数是指在一次封闭的计算中，连续计算实验最小扫描时间的次数。例如：实验最小扫描时间 "
     "是0.001秒，每脉扫描时间是100，则在演示中以0.1秒实验时间为单位进行刷新；一般设定为100比较合适。"),
    "如果把它设置成一个非零的值，软件将每隔等于此值的时间暂停一次，以便于分析和研究实验现象和数据。"};

struct EditRow {
    SettingsText field;
    const char* label;
    const char* unit;  // rich text
};
const EditRow TIMING_ROWS[] = {{ST_TIME_STEP, "实验最小扫描时间 T:", "(秒)"},
                               {ST_STEPS, "每脉扫描次数:", "(次)"},
                               {ST_PAUSE, "暂停时刻：", "(秒)"}};
const EditRow CONSTANT_ROWS[] = {{ST_G, "重力加速度：", "米/秒<sup>2</sup>"},
                                 {ST_GRAVITATION, "万有引力恒量：", "牛·米²/千克²"},
                                 {ST_K, "静电力恒量：", "牛·米²/库²"},
                                 {ST_C, "真空光速：", "米/秒"},
                                 {ST_DIGITS, "数据输出有效位数：", ""}};

}  // namespace

SettingsDialog::SettingsDialog(Model& m, Platform& platform, QWidget* parent)
    : QDialog(parent), m_(m), platform_(platform) {
    setWindowTitle(QStringLiteral("实验设置"));
    auto* top = new QVBoxLayout(this);

    // Options, with the axes colour beside "show axes".
    auto* options = new QGroupBox(QStringLiteral("功能设置:"), this);
    auto* og = new QGridLayout(options);
    for (int f = 0; f < SETTINGS_FLAGS; ++f) {
        check_[f] = new QCheckBox(QString::fromUtf8(FLAG_CAPTIONS[f]), options);
        og->addWidget(check_[f], f / 2, f % 2);
    }
    axes_ = new ColourSwatch(options, 40, 18);
    axes_->on_click = [this] {
        Colour c = axes_->colour();
        if (choose_colour(this, c)) axes_->set_colour(c);
    };
    og->addWidget(axes_, 0, 2);
    top->addWidget(options);

    auto add_row = [this](QGridLayout* grid, int row, const EditRow& r, QWidget* owner) {
        edit_[r.field] = new QLineEdit(owner);
        grid->addWidget(new QLabel(QString::fromUtf8(r.label), owner), row, 0);
        grid->addWidget(edit_[r.field], row, 1);
        auto* unit = new QLabel(owner);
        unit->setTextFormat(Qt::RichText);
        unit->setText(QString::fromUtf8(r.unit));
        grid->addWidget(unit, row, 2);
    };

    // Timing, each field with its help button.
    auto* timing = new QWidget(this);
    auto* tg = new QGridLayout(timing);
    tg->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        add_row(tg, i, TIMING_ROWS[i], timing);
        help_[i] = new QToolButton(timing);
        help_[i]->setText(QStringLiteral("?"));
        help_[i]->setToolTip(QStringLiteral("如何设置"));
        const char* text = HELP_TEXTS[i];
        connect(help_[i], &QToolButton::clicked, this, [this, text] { platform_.message_box(text, "", Buttons::Ok); });
        tg->addWidget(help_[i], i, 3);
    }
    top->addWidget(timing);

    auto* constants = new QGroupBox(QStringLiteral("物理常量设置:"), this);
    auto* cg = new QGridLayout(constants);
    for (int i = 0; i < 5; ++i) add_row(cg, i, CONSTANT_ROWS[i], constants);
    top->addWidget(constants);

    auto* buttons = new QHBoxLayout;
    defaults_ = new QPushButton(QStringLiteral("还原为默认值"), this);
    vector_ = new QPushButton(QStringLiteral("矢量显示设置"), this);
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    ok_->setDefault(true);
    for (QPushButton* b : {defaults_, vector_, ok_, cancel_}) {
        b->setAutoDefault(b == ok_);
        buttons->addWidget(b);
    }
    top->addLayout(buttons);

    vector_dialog_ = new VectorDialog(m_, platform_, this);

    connect(defaults_, &QPushButton::clicked, this, [this] {
        SettingsFields f = fields();
        default_constants(f);
        show_fields(f);
    });
    connect(vector_, &QPushButton::clicked, this, [this] {
        vector_dialog_->exec();
        // Coming back reloads every control: edits not yet confirmed are lost.
        form_activate();
    });
    connect(ok_, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    form_activate();
}

void SettingsDialog::showEvent(QShowEvent* event) {
    form_activate();
    QDialog::showEvent(event);
}

void SettingsDialog::form_activate() {
    show_fields(settings_fields(m_));
}

SettingsFields SettingsDialog::fields() const {
    SettingsFields f;
    for (int t = 0; t < SETTINGS_TEXTS; ++t) f.text[t] = edit_[t]->text().toStdString();
    for (int i = 0; i < SETTINGS_FLAGS; ++i) f.flag[i] = check_[i]->isChecked();
    f.axes_colour = axes_->colour();
    return f;
}

void SettingsDialog::show_fields(const SettingsFields& f) {
    for (int t = 0; t < SETTINGS_TEXTS; ++t) edit_[t]->setText(QString::fromStdString(f.text[t]));
    for (int i = 0; i < SETTINGS_FLAGS; ++i) check_[i]->setChecked(f.flag[i]);
    axes_->set_colour(f.axes_colour);
}

void SettingsDialog::confirm() {
    const EditRefusal r = apply_settings(m_, fields());
    if (!r.refused) {
        accept();
        return;
    }
    platform_.message_box(r.message, r.caption, r.ok_cancel ? Buttons::OkCancel : Buttons::Ok);
    edit_[r.field]->setFocus();
}

}  // namespace quorrel
