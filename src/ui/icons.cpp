#include "ui/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include "ui/logo.h"

namespace quorrel {
namespace {

// The icons are drawn on a grid of this many units a side.
constexpr double ICON_UNITS = 20.0;

void draw_icon(QPainter& g, IconKind kind, bool enabled) {
    const QColor ink = enabled ? QColor(40, 40, 40) : QColor(150, 150, 150);
    g.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
        case IconKind::Settings: {
            // Three sliders.
            g.setPen(QPen(ink, 1.6));
            for (int i = 0; i < 3; ++i) {
                const double y = 5 + i * 5;
                g.drawLine(QPointF(3, y), QPointF(17, y));
            }
            g.setBrush(enabled ? QColor(70, 110, 200) : QColor(180, 180, 180));
            const double knobs[3] = {7, 13, 9};
            for (int i = 0; i < 3; ++i) g.drawEllipse(QPointF(knobs[i], 5 + i * 5), 2.2, 2.2);
            break;
        }
        case IconKind::Run: {
            QPainterPath tri;
            tri.moveTo(5, 3);
            tri.lineTo(17, 10);
            tri.lineTo(5, 17);
            tri.closeSubpath();
            g.setPen(QPen(ink, 1));
            g.setBrush(enabled ? QColor(40, 160, 60) : QColor(180, 180, 180));
            g.drawPath(tri);
            break;
        }
        case IconKind::Stop:
            g.setPen(QPen(ink, 1));
            g.setBrush(enabled ? QColor(200, 50, 40) : QColor(180, 180, 180));
            g.drawRoundedRect(QRectF(4.5, 4.5, 11, 11), 1.5, 1.5);
            break;
        case IconKind::Pause:
            g.setPen(QPen(ink, 1));
            g.setBrush(enabled ? QColor(60, 90, 180) : QColor(180, 180, 180));
            g.drawRect(QRectF(5, 4, 3.5, 12));
            g.drawRect(QRectF(11.5, 4, 3.5, 12));
            break;
        case IconKind::Exit: {
            // A door frame with an arrow leaving it.
            g.setPen(QPen(ink, 1.5));
            g.setBrush(Qt::NoBrush);
            g.drawRect(QRectF(3, 3, 8, 14));
            g.setPen(QPen(enabled ? QColor(200, 50, 40) : QColor(150, 150, 150), 2));
            g.drawLine(QPointF(8, 10), QPointF(17, 10));
            g.drawLine(QPointF(14, 7), QPointF(17, 10));
            g.drawLine(QPointF(14, 13), QPointF(17, 10));
            break;
        }
    }
}

// Draws the icon afresh at whatever size a button asks for (the tool bar
// grows on large windows, and on high-density screens the pixmap is larger
// than the button's units): every size is sharp, none an enlargement.
class ToolIconEngine : public QIconEngine {
public:
    explicit ToolIconEngine(IconKind kind) : kind_(kind) {}

    void paint(QPainter* g, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        g->save();
        g->translate(rect.topLeft());
        g->scale(rect.width() / ICON_UNITS, rect.height() / ICON_UNITS);
        draw_icon(*g, kind_, mode != QIcon::Disabled);
        g->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter g(&pm);
        paint(&g, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new ToolIconEngine(kind_); }

private:
    IconKind kind_;
};

}  // namespace

QIcon tool_icon(IconKind kind) {
    return QIcon(new ToolIconEngine(kind));
}

QPixmap quorrel_logo(int size) {
    return QPixmap::fromImage(logo_image(size));
}

}  // namespace quorrel
