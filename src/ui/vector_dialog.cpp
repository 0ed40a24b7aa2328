#include "ui/vector_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "script/platform.h"
#include "ui/colour_swatch.h"

namespace quorrel {
namespace {

constexpr int SWATCH_W = 40;
constexpr int SWATCH_H = 18;
constexpr int SAMPLE = 10;

struct ForceRow {
    int entry;
    const char* label;
};
const ForceRow PASSIVE_FORCES[] = {{7, "弹簧弹力："}, {10, "绳子和刚杆的力："}, {8, "支持力："}, {9, "摩擦力："}};
const ForceRow OTHER_FORCES[] = {{3, "电场力："}, {5, "洛仑兹力："}, {2, "重力："}, {0, "人为外力："}, {1, "合力："}};

}  // namespace

VectorDialog::VectorDialog(Model& m, Platform& platform, QWidget* parent)
    : QDialog(parent), m_(m), platform_(platform) {
    setWindowTitle(QStringLiteral("矢量显示设置"));
    auto* top = new QVBoxLayout(this);

    // The three scales.
    auto* scales = new QGridLayout;
    const char* scale_labels[VECTOR_SCALES] = {"速度：", "加速度：", "力："};
    for (int i = 0; i < VECTOR_SCALES; ++i) {
        scale_[i] = new QLineEdit(this);
        scales->addWidget(new QLabel(QString::fromUtf8(scale_labels[i]), this), i, 0);
        scales->addWidget(scale_[i], i, 1);
        scales->addWidget(new QLabel(QStringLiteral("(值)"), this), i, 2);
    }
    top->addLayout(scales);

    // Velocity and acceleration: the swatch, the letter and three arrow samples.
    auto* motion = new QGridLayout;
    auto add_motion_row = [&](int row, const char* label, const char* letter, ColourSwatch*& swatch,
                              ColourSwatch*(&samples)[3]) {
        swatch = new ColourSwatch(this, SWATCH_W, SWATCH_H);
        motion->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        motion->addWidget(swatch, row, 1);
        auto* sample_row = new QHBoxLayout;
        sample_row->addWidget(new QLabel(QString::fromUtf8(letter), this));
        for (ColourSwatch*& s : samples) {
            s = new ColourSwatch(this, SAMPLE, SAMPLE);
            sample_row->addWidget(s);
        }
        sample_row->addStretch();
        motion->addLayout(sample_row, row, 2);
    };
    add_motion_row(0, "速度：", "v", v_, v_samples_);
    add_motion_row(1, "加速度：", "a", a_, a_samples_);
    top->addLayout(motion);
    v_->on_click = [this] {
        Colour c = v_->colour();
        if (choose_colour(this, c)) set_velocity_colour(c);
    };
    a_->on_click = [this] {
        Colour c = a_->colour();
        if (choose_colour(this, c)) set_acceleration_colour(c);
    };

    // The force colours, in two groups.
    auto add_group = [&](const char* caption, const ForceRow* rows, int n) {
        auto* box = new QGroupBox(QString::fromUtf8(caption), this);
        auto* grid = new QGridLayout(box);
        for (int i = 0; i < n; ++i) {
            ColourSwatch* s = new ColourSwatch(box, SWATCH_W, SWATCH_H);
            s->on_click = [this, s] {
                Colour c = s->colour();
                if (choose_colour(this, c)) s->set_colour(c);
            };
            force_[rows[i].entry] = s;
            grid->addWidget(new QLabel(QString::fromUtf8(rows[i].label), box), i, 0);
            grid->addWidget(s, i, 1);
        }
        top->addWidget(box);
    };
    add_group("被动力：", PASSIVE_FORCES, 4);
    add_group("其它力矢量：", OTHER_FORCES, 5);

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    ok_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    top->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    form_activate();
}

void VectorDialog::showEvent(QShowEvent* event) {
    form_activate();
    QDialog::showEvent(event);
}

void VectorDialog::form_activate() {
    const VectorFields f = vector_fields(m_);
    for (int i = 0; i < VECTOR_SCALES; ++i) scale_[i]->setText(QString::fromStdString(f.scale[i]));
    v_->set_colour(m_.settings.v_colour);
    for (ColourSwatch* s : v_samples_) s->set_colour(m_.settings.v_colour);
    a_->set_colour(m_.settings.a_colour);
    for (ColourSwatch* s : a_samples_) s->set_colour(m_.settings.a_colour);
    for (int e = 0; e < FORCE_COLOURS; ++e)
        if (force_[e]) force_[e]->set_colour(f.force_colours[e]);
}

void VectorDialog::set_velocity_colour(Colour c) {
    m_.settings.v_colour = c;
    v_->set_colour(c);
    for (ColourSwatch* s : v_samples_) s->set_colour(c);
}

void VectorDialog::set_acceleration_colour(Colour c) {
    m_.settings.a_colour = c;
    a_->set_colour(c);
    for (ColourSwatch* s : a_samples_) s->set_colour(c);
}

void VectorDialog::confirm() {
    VectorFields f = vector_fields(m_);
    for (int i = 0; i < VECTOR_SCALES; ++i) f.scale[i] = scale_[i]->text().toStdString();
    for (int e = 0; e < FORCE_COLOURS; ++e)
        if (force_[e]) f.force_colours[e] = force_[e]->colour();
    const EditRefusal r = apply_vector_settings(m_, f);
    if (!r.refused) {
        accept();
        return;
    }
    platform_.message_box(r.message, r.caption, r.ok_cancel ? Buttons::OkCancel : Buttons::Ok);
    scale_[r.field]->setFocus();
}

}  // namespace quorrel
