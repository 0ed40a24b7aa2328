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
    std::unique_ptr<TGcForm> editor(int program, int line) {
        auto f = std::make_unique<TGcForm>(*m);
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
    EXPECT_EQ(f->Memo1->toPlainText(), QStringLiteral("x=1\ny=2\noops\nz=3"));
    EXPECT_EQ(f->Memo1->textCursor().blockNumber(), 2);
    EXPECT_EQ(f->Memo1->extraSelections().size(), 1);
    ASSERT_EQ(f->StringGrid1->rowCount(), 1);
    EXPECT_EQ(f->StringGrid1->item(0, 1)->text(), QStringLiteral("t"));
    EXPECT_EQ(f->StringGrid1->horizontalHeaderItem(3)->text(), QStringLiteral("当前值"));
    f->SpeedButton5->click();
    EXPECT_TRUE(f->error_text.isEmpty());  // cleared on close

    set_lines(7, {"a=1"});
    auto label = editor(7, 0);
    EXPECT_EQ(label->windowTitle(), QStringLiteral("程序编辑器-动态标签点击事件(程序中第1行有误)"));
}

TEST_F(Editors, InsertionsGoToTheCursorReplacingTheSelectionAndLeaveTheClipboard) {
    QApplication::clipboard()->setText(QStringLiteral("the user's copy"));
    auto f = editor(0, 0);
    f->Memo1->setPlainText(QStringLiteral("ab XYZ cd"));
    QTextCursor c = f->Memo1->textCursor();
    c.setPosition(3);
    c.setPosition(6, QTextCursor::KeepAnchor);
    f->Memo1->setTextCursor(c);
    f->SpeedButton1->click();
    const QString judgement =
        QStringLiteral("判断1:如果(    )则执行\n") + QString(22, QLatin1Char(' ')) + QStringLiteral("\n结束判断1");
    EXPECT_EQ(f->Memo1->toPlainText(), QStringLiteral("ab ") + judgement + QStringLiteral(" cd"));

    f->Memo1->setPlainText(QString());
    emit f->ComboBox1->activated(5);
    emit f->ComboBox2->activated(0);
    emit f->StringGrid1->cellClicked(0, 3);
    f->SpeedButton3->click();
    EXPECT_EQ(f->Memo1->toPlainText(),
              QStringLiteral("arctan()赋值(对象类别,对象名称,参数名,变量名或实数)t循环1:当(     )成立\n") +
                  QString(19, QLatin1Char(' ')) + QStringLiteral("\n结束循环1"));
    EXPECT_EQ(f->ComboBox1->currentIndex(), -1);  // the title shows again
    EXPECT_EQ(f->ComboBox1->count(), 13);
    EXPECT_EQ(f->ComboBox2->count(), 9);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's copy"));
}

TEST_F(Editors, OkStoresCancelAndStopLeaveTheProgram) {
    auto cancel = editor(0, 2);
    cancel->Memo1->setPlainText(QStringLiteral("a=1"));
    cancel->SpeedButton5->click();
    EXPECT_EQ(cancel->result(), QDialog::Rejected);
    EXPECT_FALSE(cancel->stop_requested);
    EXPECT_EQ(m->programs[0].line_count, 4);

    auto stop = editor(0, 2);
    stop->Memo1->setPlainText(QStringLiteral("a=1"));
    stop->SpeedButton2->click();
    EXPECT_TRUE(stop->stop_requested);
    EXPECT_EQ(m->programs[0].line_count, 4);

    auto ok = editor(0, 2);
    ok->Memo1->setPlainText(QStringLiteral("a=1\n速度=2"));
    ok->SpeedButton4->click();
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(ok->stop_requested);
    ASSERT_EQ(m->programs[0].line_count, 2);
    EXPECT_EQ(gbk_to_utf8(m->program_lines[0][1]), "速度=2");

    // A character GBK cannot hold keeps the editor open and the program as it was.
    auto refused = editor(0, 0);
    refused->Memo1->setPlainText(QStringLiteral("b=1 // 😀"));
    refused->SpeedButton4->click();
    EXPECT_TRUE(refused->isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("😀")));
    EXPECT_EQ(m->programs[0].line_count, 2);

    refused->Memo1->setPlainText(QString());
    refused->SpeedButton4->click();
    EXPECT_EQ(m->programs[0].line_count, 0);
}

// Once the modal editor runs, presses one of its buttons; without an editor
// every modal dialog is closed so that the test fails instead of hanging.
void press_in_open_editor(QPushButton* TGcForm::*button) {
    QTimer::singleShot(0, [button] {
        if (auto* f = dynamic_cast<TGcForm*>(QApplication::activeModalWidget())) {
            (f->*button)->click();
            return;
        }
        ADD_FAILURE() << "no program editor open";
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    });
}

TEST_F(Editors, ThePlatformReportsTheStopChoice) {
    QtPlatform platform;
    press_in_open_editor(&TGcForm::SpeedButton2);  // 停止
    EXPECT_EQ(platform.edit_program(*m, 0, 2, ERR_NOT_A_STATEMENT), EditorExit::Stop);
    press_in_open_editor(&TGcForm::SpeedButton5);  // 取消
    EXPECT_EQ(platform.edit_program(*m, 0, 2, ERR_NOT_A_STATEMENT), EditorExit::Continue);
}

TEST_F(Editors, VariableEditorRefusesWithAMessageAndFocusesTheField) {
    TBlForm f(*m);
    f.show_message = [this](QWidget*, const QString& text) { messages << text; };
    f.show();
    EXPECT_EQ(f.ComboBox1->count(), 1);
    EXPECT_EQ(f.ComboBox1->itemText(0), QStringLiteral("数值"));

    f.Edit1->setText(QStringLiteral("speed"));
    f.Edit2->setText(QStringLiteral("abc"));
    f.SpeedButton1->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("输入的值有误,请检查"));
    EXPECT_EQ(f.focusWidget(), f.Edit2);

    f.Edit1->setText(QStringLiteral("t"));
    f.Edit2->setText(QStringLiteral("1"));
    f.SpeedButton1->click();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], QStringLiteral("已经有此名称的变量,请用另外一个名称"));
    EXPECT_EQ(f.focusWidget(), f.Edit1);
    EXPECT_EQ(m->variable_count, 1);

    f.Edit1->setText(QStringLiteral("速度"));
    f.SpeedButton1->click();
    ASSERT_EQ(f.StringGrid1->rowCount(), 2);
    EXPECT_EQ(f.StringGrid1->item(1, 1)->text(), QStringLiteral("速度"));

    // The time variable's row allows no change.
    f.StringGrid1->setCurrentCell(0, 1);
    EXPECT_FALSE(f.SpeedButton4->isEnabled());
    EXPECT_FALSE(f.SpeedButton2->isEnabled());
    f.StringGrid1->setCurrentCell(1, 1);
    EXPECT_TRUE(f.SpeedButton4->isEnabled());
    EXPECT_EQ(f.Edit3->text(), QStringLiteral("速度"));
    EXPECT_EQ(f.Edit4->text(), QStringLiteral("1"));

    f.Edit3->setText(QStringLiteral("v"));
    f.Edit5->setText(QStringLiteral("小球的速度"));
    f.SpeedButton4->click();
    EXPECT_EQ(f.StringGrid1->item(1, 1)->text(), QStringLiteral("v"));
    EXPECT_EQ(f.StringGrid1->item(1, 2)->text(), QStringLiteral("小球的速度"));

    f.StringGrid1->setCurrentCell(1, 1);
    f.SpeedButton2->click();
    EXPECT_EQ(f.StringGrid1->rowCount(), 1);
    EXPECT_EQ(m->variable_count, 1);
    EXPECT_EQ(messages.size(), 2);
}

}  // namespace
}  // namespace quorrel
