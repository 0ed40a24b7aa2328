#include "ui/colour_swatch.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include "ui/text_scale.h"

namespace quorrel {
namespace {

QColor to_qcolor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

ColourSwatch::ColourSwatch(QWidget* parent, int width, int height) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedSize(scaled_size(width, height));  // grows with the text
}

void ColourSwatch::set_colour(Colour c) {
    colour_ = c;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    {
        QPainter g(this);
        g.fillRect(rect(), to_qcolor(colour_));
    }
    QFrame::paintEvent(event);
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (on_click && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        on_click();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

bool choose_colour(QWidget* parent, Colour& c) {
    const QColor chosen = QColorDialog::getColor(to_qcolor(c), parent);
    if (!chosen.isValid()) return false;
    c = static_cast<Colour>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
    return true;
}

}  // namespace quorrel
