// The picture of the scene: paints the core's Image1 and hands the mouse to
// the core's handlers in design pixels (mapped back through the view),
// setting the cursor they ask for. Ctrl + wheel zooms about the pointer and
// the middle button drags the view.
#pragma once

#include <QCursor>
#include <QWidget>
#include <functional>

#include "player/interaction.h"

namespace quorrel {

// The scene's normal cursor: a thin cross drawn from a small bitmap.
const QCursor& cross_cursor();

class SceneView : public QWidget {
public:
    SceneView(PlayerState& p, QWidget* parent);

    // Shows the pop-up menu modally at a global position (set by the window).
    std::function<void(QPoint)> open_menu;
    // Called after a handler may have changed the run state (Stop, Pause).
    std::function<void()> changed;
    // Called after every paint of the scene.
    std::function<void()> painted;
    // Opens the properties of what a double click hit (drag state, slot).
    std::function<void(int, int)> open_properties;

    // A design position's point on the widget, and the design pixel under a
    // widget point.
    QPointF widget_point(double x, double y) const;
    ScreenXY design_pixel(QPointF at) const;
    // The pointer's place on the widget, or its centre when the pointer is elsewhere.
    QPointF zoom_anchor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void apply(const MouseResult& r);
    void set_cursor(CursorShape shape);
    PlayerState& p_;
    // The middle button's drag of the view: the last pointer position.
    bool panning_ = false;
    QPointF pan_from_;
};

}  // namespace quorrel
