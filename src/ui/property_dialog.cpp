#include "ui/property_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/drag_codes.h"
#include "script/platform.h"
#include "ui/colour_swatch.h"

namespace quorrel {
namespace {

QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The rows of the object's values: one field, or two side by side; the
// labels and units are those of the fields (property_edit.h).
struct TextRow {
    ObjectText first;
    ObjectText second;  // OBJECT_TEXTS: a row of one field
};
const TextRow OBJECT_ROWS[] = {{OT_X0, OT_Y0},
                               {OT_VX0, OT_VY0},
                               {OT_SPEED, OT_ANGLE},
                               {OT_MASS, OBJECT_TEXTS},
                               {OT_CHARGE, OBJECT_TEXTS},
                               {OT_RADIUS, OBJECT_TEXTS},
                               {OT_LOSS, OBJECT_TEXTS},
                               {OT_FX, OT_FY}};

// A label and unit in columns 0 and `unit_column` of a grid row, around the edits.
void add_caption(QGridLayout* grid, QWidget* parent, int row, const RowCaption& c, int unit_column) {
    grid->addWidget(new QLabel(qs(c.label), parent), row, 0);
    grid->addWidget(new QLabel(qs(c.unit), parent), row, unit_column);
}

const char* const READOUT_NAMES[READOUT_COUNT] = {"时间 t",   "x",        "y",  "速率 v", "vx",        "vy",
                                                  "速度方向", "加速度 a", "ax", "ay",     "加速度方向"};
// Empty names are the reserved vectors, which have no box.
const char* const VECTOR_NAMES[VECTOR_COUNT] = {"速度",
                                                "速度的 x 分量",
                                                "速度的 y 分量",
                                                "加速度",
                                                "加速度的 x 分量",
                                                "加速度的 y 分量",
                                                "人为外力",
                                                "合力",
                                                "重力",
                                                "电场力",
                                                "",
                                                "洛仑兹力",
                                                "",
                                                "弹簧弹力",
                                                "支持力",
                                                "摩擦力",
                                                "绳子和刚杆的力"};

void add_buttons(QDialog* d, QVBoxLayout* top, QPushButton*& ok, QPushButton*& cancel) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok = new QPushButton(QStringLiteral("确定"), d);
    cancel = new QPushButton(QStringLiteral("取消"), d);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
}

// A text set by the dialog itself shows its leading digits.
void set_text(QLineEdit* e, const std::string& utf8) {
    e->setText(qs(utf8));
    e->setCursorPosition(0);
}

void show_refusal(Platform& platform, const EditRefusal& r, QWidget* field) {
    platform.message_box(r.message, r.caption, r.ok_cancel ? Buttons::OkCancel : Buttons::Ok);
    if (field) {
        field->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(field)) e->selectAll();
    }
}

}  // namespace

ObjectDialog::ObjectDialog(PlayerState& p, Platform& platform, int slot, QWidget* parent)
    : QDialog(parent), p_(p), platform_(platform), slot_(slot), shown_(object_fields(*p.model, slot)) {
    setWindowTitle(QStringLiteral("运动对象属性"));
    auto* top = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    left->addWidget(values_box());
    if (!shown_.connectors.empty()) left->addWidget(connectors_box());
    left->addWidget(display_box());
    left->addStretch();
    right->addWidget(readouts_box());
    right->addWidget(vectors_box());
    right->addStretch();

    add_buttons(this, top, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, [this] { confirm(); });
    show_fields(shown_);
}

// The start and the physical values.
QGroupBox* ObjectDialog::values_box() {
    auto* basic = new QGroupBox(QStringLiteral("运动对象"), this);
    auto* bg = new QGridLayout(basic);
    for (QLineEdit*& e : edit_) e = new QLineEdit(basic);
    bg->addWidget(new QLabel(qs(object_text_field(OT_NAME).label), basic), 0, 0);
    bg->addWidget(edit_[OT_NAME], 0, 1, 1, 2);
    int row = 1;
    for (const TextRow& r : OBJECT_ROWS) {
        const bool pair = r.second != OBJECT_TEXTS;
        add_caption(bg, basic, row,
                    row_caption(object_text_field(r.first), pair ? &object_text_field(r.second) : nullptr), 3);
        bg->addWidget(edit_[r.first], row, 1);
        if (pair) bg->addWidget(edit_[r.second], row, 2);
        ++row;
    }
    connect(edit_[OT_VX0], &QLineEdit::textEdited, this, [this] { components_edited(); });
    connect(edit_[OT_VY0], &QLineEdit::textEdited, this, [this] { components_edited(); });
    connect(edit_[OT_SPEED], &QLineEdit::textEdited, this, [this] { polar_edited(); });
    connect(edit_[OT_ANGLE], &QLineEdit::textEdited, this, [this] { polar_edited(); });
    return basic;
}

// Springs, ropes and rods attached to the object.
QGroupBox* ObjectDialog::connectors_box() {
    auto* links = new QGroupBox(QStringLiteral("弹簧、绳和杆"), this);
    auto* lg = new QGridLayout(links);
    lg->addWidget(new QLabel(QStringLiteral("长度 (米)"), links), 0, 1);
    // Every spring kind's stiffness is the same field.
    const RowCaption stiffness = row_caption(*find_field(find_section(SectionId::Element, T_TH).fields, "stiffness"));
    lg->addWidget(new QLabel(qs(stiffness.label + " (" + stiffness.unit + ")"), links), 0, 2);
    int r = 1;
    for (const ConnectorFields& c : shown_.connectors) {
        Row w{new QLineEdit(links), nullptr};
        lg->addWidget(new QLabel(qs(c.caption), links), r, 0);
        lg->addWidget(w.length, r, 1);
        if (c.editable) {
            w.length->setToolTip(QStringLiteral("弹簧的原长"));
            w.stiffness = new QLineEdit(links);
            lg->addWidget(w.stiffness, r, 2);
        } else {
            w.length->setReadOnly(true);
            w.length->setToolTip(QStringLiteral("绳和杆的长度在每次运行时由起始位置决定"));
        }
        rows_.push_back(w);
        ++r;
    }
    return links;
}

// Trail and strobe.
QGroupBox* ObjectDialog::display_box() {
    auto* display = new QGroupBox(QStringLiteral("显示"), this);
    auto* dg = new QGridLayout(display);
    trail_ = new QCheckBox(QStringLiteral("显示轨迹"), display);
    trail_colour_ = new ColourSwatch(display, 40, 18);
    trail_colour_->on_click = [this] {
        Colour c = trail_colour_->colour();
        if (choose_colour(this, c)) trail_colour_->set_colour(c);
    };
    strobe_ = new QCheckBox(QStringLiteral("频闪，间隔"), display);
    dg->addWidget(trail_, 0, 0);
    dg->addWidget(trail_colour_, 0, 1);
    dg->addWidget(strobe_, 1, 0);
    dg->addWidget(edit_[OT_STROBE_INTERVAL], 1, 1);
    dg->addWidget(new QLabel(qs(shown_unit(object_text_field(OT_STROBE_INTERVAL))), display), 1, 2);
    return display;
}

// The readouts at strobe moments.
QGroupBox* ObjectDialog::readouts_box() {
    auto* readouts = new QGroupBox(QStringLiteral("频闪时显示的数据"), this);
    auto* rg = new QGridLayout(readouts);
    for (int k = 0; k < READOUT_COUNT; ++k) {
        readout_[k] = new QCheckBox(QString::fromUtf8(READOUT_NAMES[k]), readouts);
        rg->addWidget(readout_[k], k / 4, k % 4);
    }
    return readouts;
}

QGroupBox* ObjectDialog::vectors_box() {
    auto* vectors = new QGroupBox(QStringLiteral("矢量"), this);
    auto* vg = new QGridLayout(vectors);
    // Two columns of vectors, each with its live and strobe boxes.
    constexpr int PER_COLUMN = 8;
    for (int c = 0; c < 2; ++c) {
        vg->addWidget(new QLabel(QStringLiteral("实时"), vectors), 0, 3 * c + 1);
        vg->addWidget(new QLabel(QStringLiteral("频闪"), vectors), 0, 3 * c + 2);
    }
    int placed = 0;
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        if (*VECTOR_NAMES[k] == '\0') continue;
        const int row = 1 + placed % PER_COLUMN, col = 3 * (placed / PER_COLUMN);
        vg->addWidget(new QLabel(QString::fromUtf8(VECTOR_NAMES[k]), vectors), row, col);
        live_[k] = new QCheckBox(vectors);
        strobe_vector_[k] = new QCheckBox(vectors);
        vg->addWidget(live_[k], row, col + 1);
        vg->addWidget(strobe_vector_[k], row, col + 2);
        ++placed;
    }
    return vectors;
}

QLineEdit* ObjectDialog::connector_edit(int row, bool stiffness) const {
    if (row < 0 || row >= connector_rows()) return nullptr;
    return stiffness ? rows_[row].stiffness : rows_[row].length;
}

void ObjectDialog::show_fields(const ObjectFields& f) {
    for (int t = 0; t < OBJECT_TEXTS; ++t) set_text(edit_[t], f.text[t]);
    polar_ = f.polar_velocity;
    trail_->setChecked(f.show_trail);
    trail_colour_->set_colour(f.trail_colour);
    strobe_->setChecked(f.strobe_on);
    for (int k = 0; k < READOUT_COUNT; ++k) readout_[k]->setChecked(f.readout[k]);
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        if (live_[k]) live_[k]->setChecked(f.live_vector[k]);
        if (strobe_vector_[k]) strobe_vector_[k]->setChecked(f.strobe_vector[k]);
    }
    for (std::size_t r = 0; r < rows_.size() && r < f.connectors.size(); ++r) {
        rows_[r].length->setText(qs(f.connectors[r].length));
        if (rows_[r].stiffness) rows_[r].stiffness->setText(qs(f.connectors[r].stiffness));
    }
}

ObjectFields ObjectDialog::fields() const {
    // The reserved vectors have no box and keep what the model holds.
    ObjectFields f = shown_;
    for (int t = 0; t < OBJECT_TEXTS; ++t) f.text[t] = edit_[t]->text().toStdString();
    f.polar_velocity = polar_;
    f.show_trail = trail_->isChecked();
    f.trail_colour = trail_colour_->colour();
    f.strobe_on = strobe_->isChecked();
    for (int k = 0; k < READOUT_COUNT; ++k) f.readout[k] = readout_[k]->isChecked();
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        if (live_[k]) f.live_vector[k] = live_[k]->isChecked();
        if (strobe_vector_[k]) f.strobe_vector[k] = strobe_vector_[k]->isChecked();
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        f.connectors[r].length = rows_[r].length->text().toStdString();
        if (rows_[r].stiffness) f.connectors[r].stiffness = rows_[r].stiffness->text().toStdString();
    }
    return f;
}

// The components typed: the speed and direction follow when both read as numbers.
void ObjectDialog::components_edited() {
    polar_ = false;
    double vx = 0, vy = 0;
    if (!read_real(edit_[OT_VX0]->text().toStdString(), vx) || !read_real(edit_[OT_VY0]->text().toStdString(), vy))
        return;
    std::string speed, angle;
    velocity_polar_texts(vx, vy, speed, angle);
    set_text(edit_[OT_SPEED], speed);
    set_text(edit_[OT_ANGLE], angle);
}

void ObjectDialog::polar_edited() {
    polar_ = true;
    double speed = 0, angle = 0;
    if (!read_real(edit_[OT_SPEED]->text().toStdString(), speed) ||
        !read_real(edit_[OT_ANGLE]->text().toStdString(), angle))
        return;
    const XY v = velocity_components(speed, angle);
    set_text(edit_[OT_VX0], property_text(v.x));
    set_text(edit_[OT_VY0], property_text(v.y));
}

QWidget* ObjectDialog::field_widget(int field) const {
    if (field >= 0 && field < OBJECT_TEXTS) return edit_[field];
    const int k = field - OBJECT_TEXTS;
    return connector_edit(k / 2, k % 2 == 1);
}

void ObjectDialog::confirm() {
    const EditRefusal r = confirm_object_properties(p_, slot_, fields());
    if (!r.refused) {
        accept();
        return;
    }
    show_refusal(platform_, r, field_widget(r.field));
}

ElementDialog::ElementDialog(PlayerState& p, Platform& platform, int table, int slot, QWidget* parent)
    : QDialog(parent), p_(p), platform_(platform), table_(table), slot_(slot) {
    const ElementForm& form = element_form(table);
    setWindowTitle(QString::fromUtf8(form.title));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    top->addLayout(grid);
    for (int k = 0; k < form.rows; ++k) {
        edit_[k] = new QLineEdit(this);
        add_caption(grid, this, k, row_caption(element_row_field(table, k)), 2);
        grid->addWidget(edit_[k], k, 1);
    }
    if (form.choice_label) {
        choice_ = new QComboBox(this);
        for (int c = 0; c < form.choices; ++c) choice_->addItem(QString::fromUtf8(form.choice[c]));
        grid->addWidget(new QLabel(QString::fromUtf8(form.choice_label), this), form.rows, 0);
        grid->addWidget(choice_, form.rows, 1);
    }
    add_buttons(this, top, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, [this] { confirm(); });

    const ElementFields f = element_fields(*p.model, table, slot);
    for (int k = 0; k < form.rows; ++k) edit_[k]->setText(qs(f.text[k]));
    if (choice_) choice_->setCurrentIndex(f.choice);
}

ElementFields ElementDialog::fields() const {
    ElementFields f;
    for (int k = 0; k < rows(); ++k) f.text[k] = edit_[k]->text().toStdString();
    f.choice = choice_ ? choice_->currentIndex() : -1;
    return f;
}

void ElementDialog::confirm() {
    const EditRefusal r = confirm_element_properties(p_, table_, slot_, fields());
    if (!r.refused) {
        accept();
        return;
    }
    show_refusal(platform_, r, r.field >= 0 && r.field < rows() ? edit_[r.field] : nullptr);
}

bool open_properties_dialog(PlayerState& p, Platform& platform, int drag_state, int index, QWidget* parent) {
    if (index < 0) return false;
    if (drag_state == DRAG_MOVING && index < MAX_OBJECTS) {
        ObjectDialog d(p, platform, index, parent);
        return d.exec() == QDialog::Accepted;
    }
    const int table = element_table_of(drag_state);
    if (table < 0 || index >= MAX_ELEMENTS) return false;
    ElementDialog d(p, platform, table, index, parent);
    return d.exec() == QDialog::Accepted;
}

}  // namespace quorrel
