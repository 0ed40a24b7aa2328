#include "ui/position_dialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorrel {

PositionDialog::PositionDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("位置设定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto* group = new QGroupBox(QStringLiteral("运动对象与轨道的位置设定"), this);
    auto* inner = new QVBoxLayout(group);
    const char* texts[3] = {"自定义位置", "紧贴在轨道上", "穿在轨道中间"};
    for (int i = 0; i < 3; ++i) {
        radio_[i] = new QRadioButton(QString::fromUtf8(texts[i]), group);
        inner->addWidget(radio_[i]);
    }
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    radio_[0]->setChecked(true);
}

Placement PositionDialog::choice() const {
    if (radio_[1]->isChecked()) return Placement::Against;
    if (radio_[2]->isChecked()) return Placement::Threaded;
    return Placement::Custom;
}

void PositionDialog::showEvent(QShowEvent* event) {
    radio_[0]->setChecked(true);
    QDialog::showEvent(event);
}

}  // namespace quorrel
