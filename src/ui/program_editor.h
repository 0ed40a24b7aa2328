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

class ProgramEditor : public QDialog {
public:
    explicit ProgramEditor(Model& m, QWidget* parent = nullptr);

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
    QTableWidget* variable_grid;
    QPlainTextEdit* editor_text;
    QPushButton* judgement_button;  // 判断
    QPushButton* loop_button;       // 循环
    QPushButton* stop_button;       // 停止
    QPushButton* ok_button;         // 确定
    QPushButton* cancel_button;     // 取消
    QPushButton* variables_button;  // 变量编辑器
    QComboBox* functions_box;       // mathematical functions
    QComboBox* statements_box;      // built-in statements

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
