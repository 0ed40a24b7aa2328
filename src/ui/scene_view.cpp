#include "ui/scene_view.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "player/view_control.h"

namespace quorrel {
namespace {

MouseButton button_of(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return MouseButton::Left;
    if (b == Qt::RightButton) return MouseButton::Right;
    return MouseButton::Middle;
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

QPointF SceneView::widget_point(double x, double y) const {
    return screen_point(p_.scene.view, x, y);
}

ScreenXY SceneView::design_pixel(QPointF at) const {
    return design_point(p_.scene.view, at.x(), at.y());
}

QPointF SceneView::zoom_anchor() const {
    const QPoint at = mapFromGlobal(QCursor::pos());
    return rect().contains(at) ? QPointF(at) : QPointF(width() / 2.0, height() / 2.0);
}

void SceneView::paintEvent(QPaintEvent*) {
    QPainter g(this);
    const QImage& image = picture(p_);
    if (image.isNull()) {
        g.fillRect(rect(), Qt::black);
    } else {
        // The picture has the screen's resolution: one picture pixel per device pixel.
        QImage shown = image;
        shown.setDevicePixelRatio(p_.scene.view.pixel_ratio);
        g.drawImage(0, 0, shown);
    }
    g.end();
    if (painted) painted();
}

void SceneView::set_cursor(CursorShape shape) {
    if (shape == CursorShape::Cross) setCursor(cross_cursor());
    if (shape == CursorShape::Hand) setCursor(Qt::PointingHandCursor);
}

void SceneView::apply(const MouseResult& r) {
    set_cursor(r.cursor);
    update();
    if (changed) changed();
    if (r.properties != DRAG_NONE && open_properties) open_properties(r.properties, r.properties_index);
}

void SceneView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        panning_ = true;
        pan_from_ = e->position();
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    const ScreenXY at = design_pixel(e->position());
    apply(Image1MouseDown(p_, button_of(e->button()), at.x, at.y));
}

void SceneView::mouseMoveEvent(QMouseEvent* e) {
    if (panning_) {
        const QPointF d = e->position() - pan_from_;
        pan_from_ = e->position();
        view_pan(p_, p_, d.x(), d.y());
        update();
        return;
    }
    const ScreenXY at = design_pixel(e->position());
    const MouseResult r = Image1MouseMove(p_, p_, p_, at.x, at.y);
    set_cursor(r.cursor);
    if (p_.mouse.mouse_down && p_.mouse.drag_state != DRAG_NONE) update();
}

void SceneView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        panning_ = false;
        setCursor(cross_cursor());
        return;
    }
    const ScreenXY at = design_pixel(e->position());
    const MouseButton b = button_of(e->button());
    const MouseResult r = Image1MouseUp(p_, b, at.x, at.y);
    if (r.open_menu) {
        if (open_menu) open_menu(mapToGlobal(e->position().toPoint()));
        release_after_menu(p_, b, at.x, at.y);
    }
    apply(r);
}

void SceneView::wheelEvent(QWheelEvent* e) {
    if (!(e->modifiers() & Qt::ControlModifier)) {
        e->ignore();
        return;
    }
    const double notches = e->angleDelta().y() / 120.0;
    if (notches != 0.0) {
        view_zoom(p_, p_, std::pow(ZOOM_STEP, notches), e->position().x(), e->position().y());
        update();
    }
    e->accept();
}

// Qt replaces the second press of a double click by this event and then
// delivers its release: the double click runs first, then the press it
// stands for, which the double click's suppression swallows like the release.
void SceneView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    const ScreenXY at = design_pixel(e->position());
    apply(Image1DblClick(p_));
    apply(Image1MouseDown(p_, button_of(e->button()), at.x, at.y));
}

void SceneView::contextMenuEvent(QContextMenuEvent* e) {
    // The menu opens on the right button's release (see mouseReleaseEvent).
    e->accept();
}

}  // namespace quorrel
