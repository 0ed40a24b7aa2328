#include "ui/variable_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/model.h"
#include "script/variable_edit.h"

namespace quorrel {

TBlForm::TBlForm(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(QStringLiteral("变量编辑器"));
    resize(560, 420);

    const QString titles[6] = {QStringLiteral("编号"),   QStringLiteral("名称"),     QStringLiteral("说明"),
                               QStringLiteral("初始值"), QStringLiteral("变量类型"), QStringLiteral("值类型")};
    StringGrid1 = make_variable_grid(this, titles);

    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItem(QStringLiteral("数值"));
    SpeedButton1 = new QPushButton(QStringLiteral("添加(&A)"), this);
    auto* add_box = new QGroupBox(QStringLiteral("添加变量"), this);
    auto* add = new QGridLayout(add_box);
    add->addWidget(new QLabel(QStringLiteral("名称"), add_box), 0, 0);
    add->addWidget(Edit1, 0, 1);
    add->addWidget(new QLabel(QStringLiteral("初始值"), add_box), 1, 0);
    add->addWidget(Edit2, 1, 1);
    add->addWidget(new QLabel(QStringLiteral("类别"), add_box), 2, 0);
    add->addWidget(ComboBox1, 2, 1);
    add->addWidget(SpeedButton1, 3, 1);

    Edit3 = new QLineEdit(this);
    Edit4 = new QLineEdit(this);
    Edit5 = new QLineEdit(this);
    SpeedButton4 = new QPushButton(QStringLiteral("修改(&X)"), this);
    SpeedButton2 = new QPushButton(QStringLiteral("删除(&D)"), this);
    auto* change_box = new QGroupBox(QStringLiteral("修改变量"), this);
    auto* change = new QGridLayout(change_box);
    change->addWidget(new QLabel(QStringLiteral("名称"), change_box), 0, 0);
    change->addWidget(Edit3, 0, 1);
    change->addWidget(new QLabel(QStringLiteral("初始值"), change_box), 1, 0);
    change->addWidget(Edit4, 1, 1);
    change->addWidget(new QLabel(QStringLiteral("说明"), change_box), 2, 0);
    change->addWidget(Edit5, 2, 1);
    auto* change_buttons = new QHBoxLayout;
    change_buttons->addWidget(SpeedButton4);
    change_buttons->addWidget(SpeedButton2);
    change->addLayout(change_buttons, 3, 1);

    SpeedButton3 = new QPushButton(QStringLiteral("关闭(&C)"), this);

    auto* fields = new QHBoxLayout;
    fields->addWidget(add_box);
    fields->addWidget(change_box);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(SpeedButton3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(fields);
    layout->addLayout(bottom);

    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) { select_row(row); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { add_clicked(); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { delete_clicked(); });
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { change_clicked(); });
    connect(SpeedButton3, &QPushButton::clicked, this, &QDialog::accept);

    refresh();
}

void TBlForm::refresh() {
    StringGrid1->blockSignals(true);
    fill_variable_grid(StringGrid1, m_, GridValue::Initial);
    StringGrid1->setCurrentCell(-1, -1);
    StringGrid1->blockSignals(false);
    select_row(-1);
}

int TBlForm::selected_variable() const {
    const int row = StringGrid1->currentRow();
    return row >= 0 && row < m_.variable_count ? row : -1;
}

void TBlForm::select_row(int row) {
    if (row >= 0 && row < m_.variable_count && row < MAX_VARIABLES) {
        const auto& t = m_.variable_texts[row];
        Edit3->setText(to_qstring(t[VT_NAME]));
        Edit4->setText(to_qstring(t[VT_INITIAL]));
        Edit5->setText(to_qstring(t[VT_DESCRIPTION]));
    }
    // The time variable in the first row stays as it is.
    const bool editable = row >= 1 && row < m_.variable_count;
    SpeedButton4->setEnabled(editable);
    SpeedButton2->setEnabled(editable);
}

bool TBlForm::report(const EditOutcome& r, QLineEdit* name, QLineEdit* value, QLineEdit* description) {
    if (r.ok) return true;
    show_message(this, QString::fromStdString(r.message));
    QLineEdit* field = r.field == EditField::Name          ? name
                       : r.field == EditField::Value       ? value
                       : r.field == EditField::Description ? description
                                                           : nullptr;
    if (field) field->setFocus();
    return false;
}

void TBlForm::add_clicked() {
    const EditOutcome r = add_variable(m_, Edit1->text().toStdString(), Edit2->text().toStdString());
    if (report(r, Edit1, Edit2, nullptr)) refresh();
}

void TBlForm::delete_clicked() {
    const int v = selected_variable();
    if (v < 1) return;
    if (report(remove_variable(m_, v), nullptr, nullptr, nullptr)) refresh();
}

void TBlForm::change_clicked() {
    const int v = selected_variable();
    if (v < 1) return;
    const EditOutcome r =
        change_variable(m_, v, Edit3->text().toStdString(), Edit4->text().toStdString(), Edit5->text().toStdString());
    if (!report(r, Edit3, Edit4, Edit5)) return;
    refresh();
    StringGrid1->setCurrentCell(v, 1);
}

}  // namespace quorrel
