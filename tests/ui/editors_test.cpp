// The program editor and the variable editor, offscreen: no display needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTimer>

#include "model/gbk.h"
#include "model/model.h"
#include "script/interpreter.h"
#include "support/qt_app.h"
#include "ui/program_editor.h"
#include "ui/qt_platform.h"
#include "ui/variable_editor.h"

namespace quorrel {
namespace {

class Editors : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensure_offscreen_widget_app();
        m = make_model();
        set_lines(0, {"x=1", "y=2", "oops", "z=3"});
    }
    void set_lines(int p, const std::vector<std::string>& lines) {
        m->programs[p].line_count = static_cast<int>(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) m->program_lines[p][i] = utf8_to_gbk(lines[i]);
    }
    // An editor on `program`, opened after an error in the 0-based `line`.
    std::unique_ptr<ProgramEditor> editor(int program, int line) {
        auto f = std::make_unique<ProgramEditor>(*m);
        f->program = program;
        f->error_line = line;
        f->error_text = QString::fromStdString(program_error_text(line));
        f->show_message = [this](QWidget*, const QString& text) { messages << text; };
        f->show();
        return f;
    }
    std::unique_ptr<Model> m;
    QStringList messages;
};

TEST_F(Editors, CaptionNamesTheEventAndTheErrorAndTheCursorMarksTheLine) {
    auto f = editor(0, 2);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("程序编辑器-系统时钟事件(程序中第3行有误)"));
    EXPECT_EQ(f->editor_text->toPlainText(), QStringLiteral("x=1\ny=2\noops\nz=3"));
    EXPECT_EQ(f->editor_text->textCursor().blockNumber(), 2);
    EXPECT_EQ(f->editor_text->extraSelections().size(), 1);
    ASSERT_EQ(f->variable_grid->rowCount(), 1);
    EXPECT_EQ(f->variable_grid->item(0, 1)->text(), QStringLiteral("t"));
    EXPECT_EQ(f->variable_grid->horizontalHeaderItem(3)->text(), QStringLiteral("当前值"));
    f->cancel_button->click();
    EXPECT_TRUE(f->error_text.isEmpty());  // cleared on close

    set_lines(7, {"a=1"});
    auto label = editor(7, 0);
    EXPECT_EQ(label->windowTitle(), QStringLiteral("程序编辑器-动态标签点击事件(程序中第1行有误)"));
}

TEST_F(Editors, InsertionsGoToTheCursorReplacingTheSelectionAndLeaveTheClipboard) {
    QApplication::clipboard()->setText(QStringLiteral("the user's copy"));
    auto f = editor(0, 0);
    f->editor_text->setPlainText(QStringLiteral("ab XYZ cd"));
    QTextCursor c = f->editor_text->textCursor();
    c.setPosition(3);
    c.setPosition(6, QTextCursor::KeepAnchor);
    f->editor_text->setTextCursor(c);
    f->judgement_button->click();
    const QString judgement =
        QStringLiteral("判断1:如果(    )则执行\n") + QString(22, QLatin1Char(' ')) + QStringLiteral("\n结束判断1");
    EXPECT_EQ(f->editor_text->toPlainText(), QStringLiteral("ab ") + judgement + QStringLiteral(" cd"));

    f->editor_text->setPlainText(QString());
    emit f->functions_box->activated(5);
    emit f->statements_box->activated(0);
    emit f->variable_grid->cellClicked(0, 3);
    f->loop_button->click();
    EXPECT_EQ(f->editor_text->toPlainText(),
              QStringLiteral("arctan()赋值(对象类别,对象名称,参数名,变量名或实数)t循环1:当(     )成立\n") +
                  QString(19, QLatin1Char(' ')) + QStringLiteral("\n结束循环1"));
    EXPECT_EQ(f->functions_box->currentIndex(), -1);  // the title shows again
    EXPECT_EQ(f->functions_box->count(), 13);
    EXPECT_EQ(f->statements_box->count(), 9);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's copy"));
}

TEST_F(Editors, OkStoresCancelAndStopLeaveTheProgram) {
    auto cancel = editor(0, 2);
    cancel->editor_text->setPlainText(QStringLiteral("a=1"));
    cancel->cancel_button->click();
    EXPECT_EQ(cancel->result(), QDialog::Rejected);
    EXPECT_FALSE(cancel->stop_requested);
    EXPECT_EQ(m->programs[0].line_count, 4);

    auto stop = editor(0, 2);
    stop->editor_text->setPlainText(QStringLiteral("a=1"));
    stop->stop_button->click();
    EXPECT_TRUE(stop->stop_requested);
    EXPECT_EQ(m->programs[0].line_count, 4);

    auto ok = editor(0, 2);
    ok->editor_text->setPlainText(QStringLiteral("a=1\n速度=2"));
    ok->ok_button->click();
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(ok->stop_requested);
    ASSERT_EQ(m->programs[0].line_count, 2);
    EXPECT_EQ(gbk_to_utf8(m->program_lines[0][1]), "速度=2");

    // A character GBK cannot hold keeps the editor open and the program as it was.
    auto refused = editor(0, 0);
    refused->editor_text->setPlainText(QStringLiteral("b=1 // 😀"));
    refused->ok_button->click();
    EXPECT_TRUE(refused->isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("😀")));
    EXPECT_EQ(m->programs[0].line_count, 2);

    refused->editor_text->setPlainText(QString());
    refused->ok_button->click();
    EXPECT_EQ(m->programs[0].line_count, 0);
}

// Once the modal editor runs, presses one of its buttons; without an editor
// every modal dialog is closed so that the test fails instead of hanging.
void press_in_open_editor(QPushButton* ProgramEditor::*button) {
    QTimer::singleShot(0, [button] {
        if (auto* f = dynamic_cast<ProgramEditor*>(QApplication::activeModalWidget())) {
            (f->*button)->click();
            return;
        }
        ADD_FAILURE() << "no program editor open";
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    });
}

TEST_F(Editors, ThePlatformReportsTheStopChoice) {
    QtPlatform platform;
    press_in_open_editor(&ProgramEditor::stop_button);  // 停止
    EXPECT_EQ(platform.edit_program(*m, 0, 2, ERR_NOT_A_STATEMENT), EditorExit::Stop);
    press_in_open_editor(&ProgramEditor::cancel_button);  // 取消
    EXPECT_EQ(platform.edit_program(*m, 0, 2, ERR_NOT_A_STATEMENT), EditorExit::Continue);
}

TEST_F(Editors, VariableEditorRefusesWithAMessageAndFocusesTheField) {
    VariableEditor f(*m);
    f.show_message = [this](QWidget*, const QString& text) { messages << text; };
    f.show();
    EXPECT_EQ(f.category_box->count(), 1);
    EXPECT_EQ(f.category_box->itemText(0), QStringLiteral("数值"));

    f.add_name->setText(QStringLiteral("speed"));
    f.add_value->setText(QStringLiteral("abc"));
    f.add_button->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("输入的值有误,请检查"));
    EXPECT_EQ(f.focusWidget(), f.add_value);

    f.add_name->setText(QStringLiteral("t"));
    f.add_value->setText(QStringLiteral("1"));
    f.add_button->click();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], QStringLiteral("已经有此名称的变量,请用另外一个名称"));
    EXPECT_EQ(f.focusWidget(), f.add_name);
    EXPECT_EQ(m->variable_count, 1);

    f.add_name->setText(QStringLiteral("速度"));
    f.add_button->click();
    ASSERT_EQ(f.grid->rowCount(), 2);
    EXPECT_EQ(f.grid->item(1, 1)->text(), QStringLiteral("速度"));

    // The time variable's row allows no change.
    f.grid->setCurrentCell(0, 1);
    EXPECT_FALSE(f.change_button->isEnabled());
    EXPECT_FALSE(f.delete_button->isEnabled());
    f.grid->setCurrentCell(1, 1);
    EXPECT_TRUE(f.change_button->isEnabled());
    EXPECT_EQ(f.new_name->text(), QStringLiteral("速度"));
    EXPECT_EQ(f.new_value->text(), QStringLiteral("1"));

    f.new_name->setText(QStringLiteral("v"));
    f.new_description->setText(QStringLiteral("小球的速度"));
    f.change_button->click();
    EXPECT_EQ(f.grid->item(1, 1)->text(), QStringLiteral("v"));
    EXPECT_EQ(f.grid->item(1, 2)->text(), QStringLiteral("小球的速度"));

    f.grid->setCurrentCell(1, 1);
    f.delete_button->click();
    EXPECT_EQ(f.grid->rowCount(), 1);
    EXPECT_EQ(m->variable_count, 1);
    EXPECT_EQ(messages.size(), 2);
}

}  // namespace
}  // namespace quorrel
