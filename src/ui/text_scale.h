// The size of the player's text as the window grows. The tool bar doubles on
// a projector (toolbar_scale); the pop-up menu, dialogs, message boxes, tool
// tips and editors follow it through the application font, so every widget
// that does not set a font of its own grows with it and lays itself out
// again. At scale 1 the application font is the one the platform gave.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace quorrel {

// `base` at `scale` times its size, in pixels or points as `base` is given.
QFont scaled_font(QFont base, double scale);

// Sets the application font to the platform's font at `scale` times its
// size (the font before the first call counts as the platform's).
void set_text_scale(double scale);
double text_scale();
// The platform's application font, unscaled.
QFont unscaled_font();

// A dialog's design size grown by the text scale.
QSize scaled_size(int width, int height);
QRect scaled_rect(int x, int y, int width, int height);

}  // namespace quorrel
