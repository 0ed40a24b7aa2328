// Fonts of the scene: the four default fonts of the main window's hidden
// labels and the fonts stored with annotations, text blocks and point labels.
//
// Faces: the experiments ask for Windows faces; Chinese faces (宋体 and the
// like) are drawn with WenQuanYi Micro Hei and Arial with Liberation Sans,
// its metric twin. Whatever face is asked for, WenQuanYi Micro Hei stays in
// the family list so Chinese text never falls back to empty boxes.
// Every font is made without anti-aliasing.
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

// The default fonts of the main window's hidden labels.
struct LabelFonts {
    QFont axis;                        // Label1 "坐标线标记字体": Arial, 13 px, bold
    QFont measurement;                 // Label2 "度量的字体": Arial, 13 px
    QFont annotation;                  // Label3 "注释字体": 宋体, 16 px
    QFont graph;                       // Label6 "函数对象的字体 1234567890": Arial, 11 px
    int measurement_label_height = 0;  // height of the Label2 control (one text line)
};
void init_label_fonts(LabelFonts& fonts);

// Label3's font as a FontSpec and GBK face name: the default font of
// annotations, text blocks and point labels (the main window's creation
// copies it into every slot; text blocks then take the colour 0xFF0000).
void label3_font_spec(FontSpec& spec, Text& face_gbk);

}  // namespace quorrel
