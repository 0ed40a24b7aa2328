#include "ui/editor_support.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidget>
#include <algorithm>

#include "model/gbk.h"
#include "model/model.h"

namespace quorrel {

bool message_box(QWidget* parent, const QString& caption, const QString& text, bool ok_cancel) {
    QMessageBox box(parent);
    box.setWindowTitle(caption.isEmpty() ? QApplication::applicationName() : caption);
    box.setText(text);
    // The box takes the application font, which grows with the window; its
    // text wraps rather than being cut.
    box.setTextFormat(Qt::PlainText);
    if (ok_cancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setIcon(QMessageBox::Question);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void plain_message(QWidget* parent, const QString& text) {
    message_box(parent, QString(), text, false);
}

QTableWidget* make_variable_grid(QWidget* parent, const QString (&titles)[6]) {
    auto* grid = new QTableWidget(0, 6, parent);
    grid->setObjectName(QStringLiteral("StringGrid1"));
    for (int c = 0; c < 6; ++c) grid->setHorizontalHeaderItem(c, new QTableWidgetItem(titles[c]));
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void fill_variable_grid(QTableWidget* grid, const Model& m, GridValue value) {
    const int n = std::clamp<int>(m.variable_count, 0, MAX_VARIABLES);
    grid->clearContents();
    grid->setRowCount(n);
    for (int i = 0; i < n; ++i) {
        const auto& t = m.variable_texts[i];
        const QString cells[6] = {QString::number(i),
                                  to_qstring(t[VT_NAME]),
                                  to_qstring(t[VT_DESCRIPTION]),
                                  to_qstring(value == GridValue::Current ? t[VT_VALUE] : t[VT_INITIAL]),
                                  QString::number(m.variables[i].var_kind),
                                  QString::number(m.variables[i].value_kind)};
        for (int c = 0; c < 6; ++c) grid->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
}

QString to_qstring(const std::string& gbk) {
    return QString::fromStdString(gbk_to_utf8(gbk));
}

}  // namespace quorrel
