#include "ui/scene_view.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quorrel {
namespace {

MouseButton button_of(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return MouseButton::Left;
    if (b == Qt::RightButton) return MouseButton::Right;
    return MouseButton::Middle;
}

QPoint pixel_of(const QMouseEvent* e) {
    return e->position().toPoint();
}

}  // namespace

const QCursor& cross_cursor() {
    static const QCursor cursor = [] {
        // 32 x 32, the hot spot in the middle: a cross of one-pixel lines with
        // a gap around the centre so the pixel under it stays visible.
        QBitmap shape(32, 32), mask(32, 32);
        shape.fill(Qt::color0);
        mask.fill(Qt::color0);
        QPainter ps(&shape), pm(&mask);
        ps.setPen(Qt::color1);
        pm.setPen(Qt::color1);
        for (QPainter* g : {&ps, &pm}) {
            g->drawLine(16, 2, 16, 13);
            g->drawLine(16, 19, 16, 30);
            g->drawLine(2, 16, 13, 16);
            g->drawLine(19, 16, 30, 16);
        }
        ps.end();
        pm.end();
        return QCursor(shape, mask, 16, 16);
    }();
    return cursor;
}

SceneView::SceneView(PlayerState& p, QWidget* parent) : QWidget(parent), p_(p) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(cross_cursor());
}

void SceneView::paintEvent(QPaintEvent*) {
    QPainter g(this);
    const QImage& image = picture(p_);
    if (image.isNull())
        g.fillRect(rect(), Qt::black);
    else
        g.drawImage(0, 0, image);
    g.end();
    if (painted) painted();
}

void SceneView::apply(const MouseResult& r) {
    if (r.cursor == CursorShape::Cross) setCursor(cross_cursor());
    if (r.cursor == CursorShape::Hand) setCursor(Qt::PointingHandCursor);
    update();
    if (changed) changed();
    if (r.properties != DRAG_NONE && open_properties) open_properties(r.properties, r.properties_index);
}

void SceneView::mousePressEvent(QMouseEvent* e) {
    const QPoint at = pixel_of(e);
    apply(Image1MouseDown(p_, button_of(e->button()), at.x(), at.y()));
}

void SceneView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = pixel_of(e);
    const MouseResult r = Image1MouseMove(p_, at.x(), at.y());
    if (r.cursor == CursorShape::Cross) setCursor(cross_cursor());
    if (r.cursor == CursorShape::Hand) setCursor(Qt::PointingHandCursor);
    if (p_.mouse.mouse_down && p_.mouse.drag_state != DRAG_NONE) update();
}

void SceneView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint at = pixel_of(e);
    const MouseButton b = button_of(e->button());
    const MouseResult r = Image1MouseUp(p_, b, at.x(), at.y());
    if (r.open_menu) {
        if (open_menu) open_menu(mapToGlobal(QPoint(r.x, r.y)));
        release_after_menu(p_, b, at.x(), at.y());
    }
    apply(r);
}

// Qt replaces the second press of a double click by this event and then
// delivers its release: the double click runs first, then the press it
// stands for, which the double click's suppression swallows like the release.
void SceneView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    const QPoint at = pixel_of(e);
    apply(Image1DblClick(p_));
    apply(Image1MouseDown(p_, button_of(e->button()), at.x(), at.y()));
}

void SceneView::contextMenuEvent(QContextMenuEvent* e) {
    // The menu opens on the right button's release (see mouseReleaseEvent).
    e->accept();
}

}  // namespace quorrel
