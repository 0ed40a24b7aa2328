#include "ui/about_box.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "script/platform.h"
#include "ui/icons.h"
#include "ui/text_scale.h"

namespace quorrel {

AboutBox::AboutBox(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
    setWindowTitle(QStringLiteral("Quorrel播放器"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // The design box, grown with the text on a large window.
    setFixedSize(scaled_size(336, 72));

    logo_ = new QLabel(this);
    logo_->setPixmap(quorrel_logo(scaled_size(48, 48).width()));
    logo_->setGeometry(scaled_rect(10, 12, 48, 48));
    logo_->installEventFilter(this);

    auto* title = new QLabel(QStringLiteral("Quorrel  V3.5 编译"), this);
    title->setGeometry(scaled_rect(70, 6, 180, 18));

    auto* line = new QLabel(QStringLiteral("课堂教学用的物理实验播放器"), this);
    line->setGeometry(scaled_rect(70, 26, 190, 18));

    address_ = new QLabel(QString::fromLatin1(ABOUT_ADDRESS), this);
    QFont f = scaled_font(QFont(QStringLiteral("Arial")), text_scale());
    f.setBold(true);
    f.setItalic(true);
    address_->setFont(f);
    address_->setStyleSheet(QStringLiteral("color: #000080"));
    address_->setCursor(Qt::PointingHandCursor);
    address_->setGeometry(scaled_rect(70, 48, 190, 18));
    address_->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(scaled_rect(262, 40, 66, 26));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == address_ && event->type() == QEvent::MouseButtonPress) {
        // The result is ignored and the box stays open.
        platform_.shell_open(ABOUT_ADDRESS);
        return true;
    }
    if (watched == logo_ && event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quorrel
