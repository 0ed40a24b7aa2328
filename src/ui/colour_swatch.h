// A small frame painted in one colour; a click on it calls `on_click`. The
// settings dialogs use it for every colour they edit and for the arrow samples.
#pragma once

#include <QFrame>
#include <functional>

#include "model/model.h"

namespace quorrel {

class ColourSwatch : public QFrame {
public:
    ColourSwatch(QWidget* parent, int width, int height);

    Colour colour() const { return colour_; }
    void set_colour(Colour c);

    std::function<void()> on_click;  // empty: the swatch is only a sample

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Colour colour_ = 0;
};

// Asks the user for a colour, starting from `c`, with the desktop's colour
// dialog. True and the new colour in `c` when the user confirmed.
bool choose_colour(QWidget* parent, Colour& c);

}  // namespace quorrel
