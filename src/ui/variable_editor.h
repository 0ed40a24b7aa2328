// The variable editor: the experiment's variables in a grid, fields to add a
// variable and to change or remove the selected one. The time variable t in
// the first row can neither be changed nor removed. Changes act on the model
// at once; a refused input is explained in a message and its field gets the
// focus.
#pragma once

#include <QDialog>

#include "ui/editor_support.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quorrel {

struct EditOutcome;

class VariableEditor : public QDialog {
public:
    explicit VariableEditor(Model& m, QWidget* parent = nullptr);

    // Refills the grid from the model; no row is selected afterwards.
    void refresh();

    ShowMessage show_message = plain_message;

    // The controls, by the names the form gives them.
    QTableWidget* grid;
    QLineEdit* add_name;         // name to add
    QLineEdit* add_value;        // initial value to add
    QComboBox* category_box;     // category: only numbers
    QLineEdit* new_name;         // new name of the selected variable
    QLineEdit* new_value;        // its initial value
    QLineEdit* new_description;  // its description
    QPushButton* add_button;     // 添加
    QPushButton* delete_button;  // 删除
    QPushButton* change_button;  // 修改
    QPushButton* close_button;   // 关闭

private:
    void select_row(int row);
    int selected_variable() const;
    // Shows a refusal and focuses its field; true when the edit went through.
    bool report(const EditOutcome& r, QLineEdit* name, QLineEdit* value, QLineEdit* description);
    void add_clicked();
    void delete_clicked();
    void change_clicked();

    Model& m_;
};

}  // namespace quorrel
