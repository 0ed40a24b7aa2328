#include "ui/program_editor.h"

#include <QColor>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>
#include <iterator>

#include "model/model.h"
#include "script/variable_edit.h"
#include "ui/variable_editor.h"

namespace quorrel {
namespace {

const char* const MATH_FUNCTIONS[] = {"cos()",  "arccos()", "sin()",   "arcsin()", "tan()",  "arctan()", "exp()",
                                      "fabs()", "log()",    "log10()", "sqrt()",   "pow(,)", "signum()"};
const char* const BUILT_INS[] = {"赋值(对象类别,对象名称,参数名,变量名或实数)",
                                 "读值(对象类别,对象名称,参数名,变量名)",
                                 "简单发声",
                                 "播放声音(相对目录下的声音文件名)",
                                 "打开(网址或相对目录下要打开的文件名)",
                                 "重新运行",
                                 "暂停",
                                 "停止",
                                 "退出"};

QString judgement_template() {
    return QStringLiteral("判断1:如果(    )则执行\n") + QString(22, QLatin1Char(' ')) + QStringLiteral("\n结束判断1");
}

QString loop_template() {
    return QStringLiteral("循环1:当(     )成立\n") + QString(19, QLatin1Char(' ')) + QStringLiteral("\n结束循环1");
}

// A list that inserts the item the user picks; it shows `title` while
// nothing is picked.
QComboBox* make_insert_list(QWidget* parent, const QString& title, const char* const* items, int count) {
    auto* list = new QComboBox(parent);
    for (int i = 0; i < count; ++i) list->addItem(QString::fromUtf8(items[i]));
    list->setPlaceholderText(title);
    list->setCurrentIndex(-1);
    return list;
}

}  // namespace

TGcForm::TGcForm(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(QStringLiteral("事件程序编辑器"));
    resize(720, 520);

    const QString titles[6] = {QStringLiteral("编号"),   QStringLiteral("名称"), QStringLiteral("说明"),
                               QStringLiteral("当前值"), QStringLiteral("类型"), QStringLiteral("值类型")};
    StringGrid1 = make_variable_grid(this, titles);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    SpeedButton1 = new QPushButton(QStringLiteral("判断"), this);
    SpeedButton3 = new QPushButton(QStringLiteral("循环"), this);
    SpeedButton2 = new QPushButton(QStringLiteral("停止"), this);
    SpeedButton4 = new QPushButton(QStringLiteral("确定(&O)"), this);
    SpeedButton5 = new QPushButton(QStringLiteral("取消(&C)"), this);
    BitBtn1 = new QPushButton(QStringLiteral("变量编辑器"), this);
    ComboBox1 = make_insert_list(this, QStringLiteral("数学函数"), MATH_FUNCTIONS, std::size(MATH_FUNCTIONS));
    ComboBox2 = make_insert_list(this, QStringLiteral("内部函数"), BUILT_INS, std::size(BUILT_INS));
    // The buttons never take the focus from the text, so its cursor and
    // selection stay where the insertion goes.
    for (QPushButton* b : {SpeedButton1, SpeedButton3}) b->setFocusPolicy(Qt::NoFocus);

    auto* tools = new QHBoxLayout;
    tools->addWidget(SpeedButton1);
    tools->addWidget(SpeedButton3);
    tools->addWidget(ComboBox1);
    tools->addWidget(ComboBox2, 1);
    tools->addWidget(SpeedButton2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BitBtn1);
    bottom->addStretch();
    bottom->addWidget(SpeedButton4);
    bottom->addWidget(SpeedButton5);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(Memo1, 3);
    layout->addWidget(StringGrid1, 2);
    layout->addLayout(bottom);

    connect(SpeedButton1, &QPushButton::clicked, this, [this] { insert_text(judgement_template()); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { insert_text(loop_template()); });
    for (QComboBox* list : {ComboBox1, ComboBox2}) {
        connect(list, &QComboBox::activated, this, [this, list](int index) {
            if (index < 0) return;
            insert_text(list->itemText(index));
            list->setCurrentIndex(-1);
        });
    }
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (row >= 0 && row < m_.variable_count && row < MAX_VARIABLES)
            insert_text(to_qstring(m_.variable_texts[row][VT_NAME]));
    });
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { ok_clicked(); });
    connect(SpeedButton5, &QPushButton::clicked, this, [this] {
        stop_requested = false;
        reject();
    });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] {
        stop_requested = true;
        reject();
    });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        TBlForm variables(m_, this);
        variables.show_message = show_message;
        variables.exec();
        fill_variable_grid(StringGrid1, m_, GridValue::Current);
    });
}

void TGcForm::load() {
    loaded_ = true;
    stop_requested = false;
    fill_variable_grid(StringGrid1, m_, GridValue::Current);
    Memo1->setPlainText(QString::fromStdString(program_text(m_, program)));
    setWindowTitle(QStringLiteral("程序编辑器") +
                   (program == 0 ? QStringLiteral("-系统时钟事件") : QStringLiteral("-动态标签点击事件")) + error_text);
    mark_error_line();
    Memo1->setFocus();
}

void TGcForm::showEvent(QShowEvent* event) {
    if (!loaded_) load();
    QDialog::showEvent(event);
}

void TGcForm::mark_error_line() {
    QList<QTextEdit::ExtraSelection> marks;
    const QTextBlock block = Memo1->document()->findBlockByNumber(error_line);
    if (error_line >= 0 && block.isValid()) {
        QTextCursor c(block);
        Memo1->setTextCursor(c);
        Memo1->centerCursor();
        QTextEdit::ExtraSelection mark;
        mark.cursor = c;
        mark.format.setBackground(QColor(255, 200, 200));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    Memo1->setExtraSelections(marks);
}

void TGcForm::insert_text(const QString& text) {
    QTextCursor c = Memo1->textCursor();
    c.insertText(text);
    Memo1->setTextCursor(c);
    Memo1->setFocus();
}

void TGcForm::ok_clicked() {
    const EditOutcome r = store_program(m_, program, Memo1->toPlainText().toStdString());
    if (!r.ok) {
        show_message(this, QString::fromStdString(r.message));
        Memo1->setFocus();
        return;
    }
    stop_requested = false;
    accept();
}

void TGcForm::done(int result) {
    error_text.clear();
    loaded_ = false;
    QDialog::done(result);
}

}  // namespace quorrel
