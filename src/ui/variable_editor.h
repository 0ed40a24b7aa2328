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

class TBlForm : public QDialog {
public:
    explicit TBlForm(Model& m, QWidget* parent = nullptr);

    // Refills the grid from the model; no row is selected afterwards.
    void refresh();

    ShowMessage show_message = plain_message;

    // The controls, by the names the form gives them.
    QTableWidget* StringGrid1;
    QLineEdit* Edit1;           // name to add
    QLineEdit* Edit2;           // initial value to add
    QComboBox* ComboBox1;       // category: only numbers
    QLineEdit* Edit3;           // new name of the selected variable
    QLineEdit* Edit4;           // its initial value
    QLineEdit* Edit5;           // its description
    QPushButton* SpeedButton1;  // 添加
    QPushButton* SpeedButton2;  // 删除
    QPushButton* SpeedButton4;  // 修改
    QPushButton* SpeedButton3;  // 关闭

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
