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
#include "ui/text_scale.h"

namespace quorrel {

VariableEditor::VariableEditor(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(QStringLiteral("变量编辑器"));
    resize(scaled_size(560, 420));

    const QString titles[6] = {QStringLiteral("编号"),   QStringLiteral("名称"),     QStringLiteral("说明"),
                               QStringLiteral("初始值"), QStringLiteral("变量类型"), QStringLiteral("值类型")};
    grid = make_variable_grid(this, titles);

    add_name = new QLineEdit(this);
    add_value = new QLineEdit(this);
    category_box = new QComboBox(this);
    category_box->addItem(QStringLiteral("数值"));
    add_button = new QPushButton(QStringLiteral("添加(&A)"), this);
    auto* add_box = new QGroupBox(QStringLiteral("添加变量"), this);
    auto* add = new QGridLayout(add_box);
    add->addWidget(new QLabel(QStringLiteral("名称"), add_box), 0, 0);
    add->addWidget(add_name, 0, 1);
    add->addWidget(new QLabel(QStringLiteral("初始值"), add_box), 1, 0);
    add->addWidget(add_value, 1, 1);
    add->addWidget(new QLabel(QStringLiteral("类别"), add_box), 2, 0);
    add->addWidget(category_box, 2, 1);
    add->addWidget(add_button, 3, 1);

    new_name = new QLineEdit(this);
    new_value = new QLineEdit(this);
    new_description = new QLineEdit(this);
    change_button = new QPushButton(QStringLiteral("修改(&X)"), this);
    delete_button = new QPushButton(QStringLiteral("删除(&D)"), this);
    auto* change_box = new QGroupBox(QStringLiteral("修改变量"), this);
    auto* change = new QGridLayout(change_box);
    change->addWidget(new QLabel(QStringLiteral("名称"), change_box), 0, 0);
    change->addWidget(new_name, 0, 1);
    change->addWidget(new QLabel(QStringLiteral("初始值"), change_box), 1, 0);
    change->addWidget(new_value, 1, 1);
    change->addWidget(new QLabel(QStringLiteral("说明"), change_box), 2, 0);
    change->addWidget(new_description, 2, 1);
    auto* change_buttons = new QHBoxLayout;
    change_buttons->addWidget(change_button);
    change_buttons->addWidget(delete_button);
    change->addLayout(change_buttons, 3, 1);

    close_button = new QPushButton(QStringLiteral("关闭(&C)"), this);

    auto* fields = new QHBoxLayout;
    fields->addWidget(add_box);
    fields->addWidget(change_box);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(fields);
    layout->addLayout(bottom);

    connect(grid, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) { select_row(row); });
    connect(add_button, &QPushButton::clicked, this, [this] { add_clicked(); });
    connect(delete_button, &QPushButton::clicked, this, [this] { delete_clicked(); });
    connect(change_button, &QPushButton::clicked, this, [this] { change_clicked(); });
    connect(close_button, &QPushButton::clicked, this, &QDialog::accept);

    refresh();
}

void VariableEditor::refresh() {
    grid->blockSignals(true);
    fill_variable_grid(grid, m_, GridValue::Initial);
    grid->setCurrentCell(-1, -1);
    grid->blockSignals(false);
    select_row(-1);
}

int VariableEditor::selected_variable() const {
    const int row = grid->currentRow();
    return row >= 0 && row < m_.variable_count ? row : -1;
}

void VariableEditor::select_row(int row) {
    if (row >= 0 && row < m_.variable_count && row < MAX_VARIABLES) {
        const auto& t = m_.variable_texts[row];
        new_name->setText(to_qstring(t[VT_NAME]));
        new_value->setText(to_qstring(t[VT_INITIAL]));
        new_description->setText(to_qstring(t[VT_DESCRIPTION]));
    }
    // The time variable in the first row stays as it is.
    const bool editable = row >= 1 && row < m_.variable_count;
    change_button->setEnabled(editable);
    delete_button->setEnabled(editable);
}

bool VariableEditor::report(const EditOutcome& r, QLineEdit* name, QLineEdit* value, QLineEdit* description) {
    if (r.ok) return true;
    show_message(this, QString::fromStdString(r.message));
    QLineEdit* field = r.field == EditField::Name          ? name
                       : r.field == EditField::Value       ? value
                       : r.field == EditField::Description ? description
                                                           : nullptr;
    if (field) field->setFocus();
    return false;
}

void VariableEditor::add_clicked() {
    const EditOutcome r = add_variable(m_, add_name->text().toStdString(), add_value->text().toStdString());
    if (report(r, add_name, add_value, nullptr)) refresh();
}

void VariableEditor::delete_clicked() {
    const int v = selected_variable();
    if (v < 1) return;
    if (report(remove_variable(m_, v), nullptr, nullptr, nullptr)) refresh();
}

void VariableEditor::change_clicked() {
    const int v = selected_variable();
    if (v < 1) return;
    const EditOutcome r = change_variable(m_, v, new_name->text().toStdString(), new_value->text().toStdString(),
                                          new_description->text().toStdString());
    if (!report(r, new_name, new_value, new_description)) return;
    refresh();
    grid->setCurrentCell(v, 1);
}

}  // namespace quorrel
