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
#include "ui/text_scale.h"
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

ProgramEditor::ProgramEditor(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(QStringLiteral("事件程序编辑器"));
    resize(scaled_size(720, 520));

    const QString titles[6] = {QStringLiteral("编号"),   QStringLiteral("名称"), QStringLiteral("说明"),
                               QStringLiteral("当前值"), QStringLiteral("类型"), QStringLiteral("值类型")};
    variable_grid = make_variable_grid(this, titles);
    editor_text = new QPlainTextEdit(this);
    editor_text->setObjectName(QStringLiteral("editor_text"));
    editor_text->setLineWrapMode(QPlainTextEdit::NoWrap);

    judgement_button = new QPushButton(QStringLiteral("判断"), this);
    loop_button = new QPushButton(QStringLiteral("循环"), this);
    stop_button = new QPushButton(QStringLiteral("停止"), this);
    ok_button = new QPushButton(QStringLiteral("确定(&O)"), this);
    cancel_button = new QPushButton(QStringLiteral("取消(&C)"), this);
    variables_button = new QPushButton(QStringLiteral("变量编辑器"), this);
    functions_box = make_insert_list(this, QStringLiteral("数学函数"), MATH_FUNCTIONS, std::size(MATH_FUNCTIONS));
    statements_box = make_insert_list(this, QStringLiteral("内部函数"), BUILT_INS, std::size(BUILT_INS));
    // The buttons never take the focus from the text, so its cursor and
    // selection stay where the insertion goes.
    for (QPushButton* b : {judgement_button, loop_button}) b->setFocusPolicy(Qt::NoFocus);

    auto* tools = new QHBoxLayout;
    tools->addWidget(judgement_button);
    tools->addWidget(loop_button);
    tools->addWidget(functions_box);
    tools->addWidget(statements_box, 1);
    tools->addWidget(stop_button);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(variables_button);
    bottom->addStretch();
    bottom->addWidget(ok_button);
    bottom->addWidget(cancel_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(editor_text, 3);
    layout->addWidget(variable_grid, 2);
    layout->addLayout(bottom);

    connect(judgement_button, &QPushButton::clicked, this, [this] { insert_text(judgement_template()); });
    connect(loop_button, &QPushButton::clicked, this, [this] { insert_text(loop_template()); });
    for (QComboBox* list : {functions_box, statements_box}) {
        connect(list, &QComboBox::activated, this, [this, list](int index) {
            if (index < 0) return;
            insert_text(list->itemText(index));
            list->setCurrentIndex(-1);
        });
    }
    connect(variable_grid, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (row >= 0 && row < m_.variable_count && row < MAX_VARIABLES)
            insert_text(to_qstring(m_.variable_texts[row][VT_NAME]));
    });
    connect(ok_button, &QPushButton::clicked, this, [this] { ok_clicked(); });
    connect(cancel_button, &QPushButton::clicked, this, [this] {
        stop_requested = false;
        reject();
    });
    connect(stop_button, &QPushButton::clicked, this, [this] {
        stop_requested = true;
        reject();
    });
    connect(variables_button, &QPushButton::clicked, this, [this] {
        VariableEditor variables(m_, this);
        variables.show_message = show_message;
        variables.exec();
        fill_variable_grid(variable_grid, m_, GridValue::Current);
    });
}

void ProgramEditor::load() {
    loaded_ = true;
    stop_requested = false;
    fill_variable_grid(variable_grid, m_, GridValue::Current);
    editor_text->setPlainText(QString::fromStdString(program_text(m_, program)));
    setWindowTitle(QStringLiteral("程序编辑器") +
                   (program == 0 ? QStringLiteral("-系统时钟事件") : QStringLiteral("-动态标签点击事件")) + error_text);
    mark_error_line();
    editor_text->setFocus();
}

void ProgramEditor::showEvent(QShowEvent* event) {
    if (!loaded_) load();
    QDialog::showEvent(event);
}

void ProgramEditor::mark_error_line() {
    QList<QTextEdit::ExtraSelection> marks;
    const QTextBlock block = editor_text->document()->findBlockByNumber(error_line);
    if (error_line >= 0 && block.isValid()) {
        QTextCursor c(block);
        editor_text->setTextCursor(c);
        editor_text->centerCursor();
        QTextEdit::ExtraSelection mark;
        mark.cursor = c;
        mark.format.setBackground(QColor(255, 200, 200));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    editor_text->setExtraSelections(marks);
}

void ProgramEditor::insert_text(const QString& text) {
    QTextCursor c = editor_text->textCursor();
    c.insertText(text);
    editor_text->setTextCursor(c);
    editor_text->setFocus();
}

void ProgramEditor::ok_clicked() {
    const EditOutcome r = store_program(m_, program, editor_text->toPlainText().toStdString());
    if (!r.ok) {
        show_message(this, QString::fromStdString(r.message));
        editor_text->setFocus();
        return;
    }
    stop_requested = false;
    accept();
}

void ProgramEditor::done(int result) {
    error_text.clear();
    loaded_ = false;
    QDialog::done(result);
}

}  // namespace quorrel
