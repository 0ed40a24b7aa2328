// The picture of the scene: paints the core's Image1 and hands the mouse to
// the core's handlers, setting the cursor they ask for.
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void apply(const MouseResult& r);
    PlayerState& p_;
};

}  // namespace quorrel
