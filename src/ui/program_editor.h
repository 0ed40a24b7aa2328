// The program editor, opened when an event program fails: the program with
// the error in the caption and its failing line marked, the variables in a
// grid, buttons and lists that insert statement templates, functions and
// variable names at the text cursor, and the choice to store the program
// (确定), leave it (取消) or stop the experiment (停止).
#pragma once

#include <QDialog>
#include <QString>

#include "ui/editor_support.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace quorrel {

class TGcForm : public QDialog {
public:
    explicit TGcForm(Model& m, QWidget* parent = nullptr);

    // Set by the caller before the dialog is shown.
    int program = 0;      // the EventProgram shown and edited
    QString error_text;   // appended to the caption; cleared on close
    int error_line = -1;  // 0-based line to mark; -1 none
    // Read by the caller afterwards: the user chose 停止.
    bool stop_requested = false;

    ShowMessage show_message = plain_message;

    // Fills the grid, the text and the caption from the model and the inputs
    // above; showing the dialog does it too.
    void load();
    // Puts `text` at the text cursor, replacing the selection.
    void insert_text(const QString& text);

    // The controls, by the names the form gives them.
    QTableWidget* StringGrid1;
    QPlainTextEdit* Memo1;
    QPushButton* SpeedButton1;  // 判断
    QPushButton* SpeedButton3;  // 循环
    QPushButton* SpeedButton2;  // 停止
    QPushButton* SpeedButton4;  // 确定
    QPushButton* SpeedButton5;  // 取消
    QPushButton* BitBtn1;       // 变量编辑器
    QComboBox* ComboBox1;       // mathematical functions
    QComboBox* ComboBox2;       // built-in statements

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void mark_error_line();
    void ok_clicked();

    Model& m_;
    bool loaded_ = false;
};

}  // namespace quorrel
