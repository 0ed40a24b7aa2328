#include "ui/editor_support.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidget>
#include <algorithm>

#include "model/gbk.h"
#include "model/model.h"

namespace quorrel {

void plain_message(QWidget* parent, const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(QApplication::applicationName());
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
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
