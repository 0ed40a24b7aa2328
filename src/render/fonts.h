// Fonts of the scene: the four default fonts (axis labels, measurements,
// annotations, function graphs) and the fonts stored with annotations, text
// blocks and point labels.
//
// Faces: the experiments ask for Windows faces; Chinese faces (宋体 and the
// like) are drawn with WenQuanYi Micro Hei and Arial with Liberation Sans,
// its metric twin. Whatever face is asked for, WenQuanYi Micro Hei stays in
// the family list so Chinese text never falls back to empty boxes.
// Glyphs are smoothed.
#pragma once

#include <QFont>
#include <cstdint>
#include <cstring>

#include "model/model.h"

namespace quorrel {

inline constexpr const char* CHINESE_FACE = "WenQuanYi Micro Hei";
inline constexpr const char* ARIAL_FACE = "Liberation Sans";

// Style bits of a FontSpec.
enum : std::uint8_t { STYLE_BOLD = 1, STYLE_ITALIC = 2, STYLE_UNDERLINE = 4, STYLE_STRIKE_OUT = 8 };

// A font by face (UTF-8, a Windows face name is mapped as above) and pixel height.
QFont scene_font(const char* face_utf8, int pixel_height, bool bold = false);

// The font a stored FontSpec and its GBK face name describe. A negative
// height is the character height in pixels, a positive one the cell height;
// 0 falls back to the point size (at 96 pixels per inch, whatever the
// screen). A face that is neither mapped nor installed is replaced by the
// Chinese face for an East Asian character set or a non-ASCII name, by
// Liberation Mono for a fixed pitch, else by Liberation Sans.
QFont font_from_spec(const FontSpec& spec, const Text& face_gbk);

// A font rebuilt only when its spec or face name changes, so drawing a record
// every frame does not convert its face name every frame.
struct FontCache {
    FontSpec spec{};
    Text face;
    QFont font;
    bool valid = false;
};
const QFont& cached_font(FontCache& cache, const FontSpec& spec, const Text& face_gbk);

// The scene's four default fonts.
struct LabelFonts {
    QFont axis;                        // axis labels: Arial, 13 px, bold
    QFont measurement;                 // measurements and strobe readouts: Arial, 13 px
    QFont annotation;                  // annotations, text blocks, point labels: 宋体, 16 px
    QFont graph;                       // function graph tick labels: Arial, 11 px
    int measurement_label_height = 0;  // height of one measurement label (one text line)
};
void init_label_fonts(LabelFonts& fonts);

// The annotation font as a FontSpec and GBK face name: the default font of
// annotations, text blocks and point labels (the main window's creation
// copies it into every slot; text blocks then take the colour 0xFF0000).
void annotation_font_spec(FontSpec& spec, Text& face_gbk);

// A label's font as drawn. A stored font left unset (neither a height nor a
// size) is the annotation font above; a colour equal to the background's,
// which would not show, becomes white on a dark background and black on a
// light one. `face` points at the stored face name or the default's.
struct LabelFont {
    FontSpec spec;
    const Text* face;
};
LabelFont label_font(const FontSpec& stored, const Text& face_gbk, Colour background);
// A label colour that shows on the background (as above).
Colour label_colour(Colour colour, Colour background);

}  // namespace quorrel
