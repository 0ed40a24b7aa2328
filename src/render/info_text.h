// Helpers shared by the informational layer (measurements, annotations, text
// blocks and point labels): the Unicode form of a GBK text kept between frames,
// variable substitution into a reused buffer, and restoring a box of the
// picture from a clean copy before a text is written over it.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>

#include "model/model.h"
#include "render/canvas.h"

namespace quorrel {

// A GBK text and its QString, converted again only when the text changes,
// so a label drawn every frame does not convert (or allocate) every frame.
struct TextCache {
    Text gbk;
    const char* unit = nullptr;  // UTF-8, from the table of units
    QString text;
    bool valid = false;
    // The text's width in the font it was last measured in; -1 when not measured.
    QFont width_font;
    int width = -1;
};
// `unit`, when given, is a unit of model/units.h put after the text: after a
// space, but the degree sign right after the number ("1.408 m/s", "3.45°").
const QString& cached_text(TextCache& cache, const Text& gbk, const char* unit = nullptr);
// The width of the cached text in the canvas's font, measured again only
// when the text or the font changed (shaping a text costs as much as drawing it).
int cached_width(TextCache& cache, Canvas& c);

// Copies the box (left, top)-(right, bottom), right and bottom excluded, of
// `clean` onto the canvas at the same place. Corners come from stored widths
// and may be far off or inverted: the box is cut to the picture first and an
// empty box copies nothing.
void restore_box(Canvas& c, const QImage& clean, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom);

// The magnitude of a stored font height (either sign convention), as a pixel
// count that is safe to add to a coordinate.
std::int64_t font_height_px(const FontSpec& spec);

}  // namespace quorrel
