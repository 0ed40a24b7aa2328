#include "render/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "model/gbk.h"

namespace quorrel {
namespace {

// Pixel heights beyond this come from damaged files; they would only make
// the glyph cache huge.
constexpr int MAX_PIXEL_HEIGHT = 1000;

// Qt draws glyphs larger than 64 pixels on the screen as outlines, about
// fifty times slower than from its glyph cache; a 16-pixel title in a view
// scaled four times is such a glyph every frame. The cache limit is raised
// before Qt first reads it (it reads the variable once), unless it is set.
const bool large_glyphs_cached = [] {
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE")) qputenv("QT_MAX_CACHED_GLYPH_SIZE", "256");
    return true;
}();
constexpr int DEFAULT_PIXEL_HEIGHT = 16;

// Windows faces and the installed faces that stand in for them.
struct FaceMap {
    const char* asked;
    const char* installed;
};
constexpr FaceMap FACE_MAP[] = {
    {"Arial", ARIAL_FACE},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"宋体", CHINESE_FACE},
    {"新宋体", CHINESE_FACE},
    {"黑体", CHINESE_FACE},
    {"楷体_GB2312", CHINESE_FACE},
    {"仿宋_GB2312", CHINESE_FACE},
    {"隶书", CHINESE_FACE},
    {"幼圆", CHINESE_FACE},
    {"SimSun", CHINESE_FACE},
    {"NSimSun", CHINESE_FACE},
    {"SimHei", CHINESE_FACE},
    {"MS Sans Serif", ARIAL_FACE},
    {"System", ARIAL_FACE},
};

// Character sets of East Asian faces: a face of one of them that is not
// installed is drawn with the Chinese face, not with a Latin one.
bool east_asian_charset(std::uint8_t charset) {
    return charset == 128 || charset == 129 || charset == 134 || charset == 136;
}

bool has_non_ascii(const QString& face) {
    for (const QChar ch : face)
        if (ch.unicode() > 0x7F) return true;
    return false;
}

// The installed family for an asked face: the mapped stand-in, the face
// itself when installed, otherwise a stand-in chosen by script and pitch.
QString installed_family(QString face, std::uint8_t charset, std::uint8_t pitch) {
    if (face.startsWith(QLatin1Char('@'))) face.remove(0, 1);  // vertical variant of a face
    for (const FaceMap& f : FACE_MAP) {
        if (face.compare(QString::fromUtf8(f.asked), Qt::CaseInsensitive) == 0) return QString::fromUtf8(f.installed);
    }
    if (!face.isEmpty() && QFontDatabase::hasFamily(face)) return face;
    if (east_asian_charset(charset) || has_non_ascii(face)) return QString::fromUtf8(CHINESE_FACE);
    if ((pitch & 3) == 1) return QStringLiteral("Liberation Mono");  // fixed pitch
    return QString::fromUtf8(ARIAL_FACE);
}

QStringList families_for(const QString& installed) {
    QStringList list;
    list << installed;
    if (installed != QLatin1String(CHINESE_FACE)) list << QString::fromUtf8(CHINESE_FACE);
    return list;
}

QFont make_font(const QString& installed, int pixel_height, bool bold) {
    QFont f;
    f.setFamilies(families_for(installed));
    f.setPixelSize(std::clamp(pixel_height, 1, MAX_PIXEL_HEIGHT));
    f.setBold(bold);
    // Smoothed glyphs with vertical hinting only: without smoothing, hinting
    // snaps the strokes of some Chinese glyphs to two pixels and of others to
    // one, so one line mixes bold and thin characters.
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

}  // namespace

QFont scene_font(const char* face_utf8, int pixel_height, bool bold) {
    return make_font(installed_family(QString::fromUtf8(face_utf8), 0, 0), pixel_height, bold);
}

QFont font_from_spec(const FontSpec& spec, const Text& face_gbk) {
    const QString face = QString::fromStdString(gbk_to_utf8(face_gbk));
    int px = DEFAULT_PIXEL_HEIGHT;
    bool cell_height = false;
    if (spec.height < 0 && spec.height > -MAX_PIXEL_HEIGHT) {
        px = -spec.height;
    } else if (spec.height > 0) {
        px = std::min(spec.height, MAX_PIXEL_HEIGHT);
        cell_height = true;
    } else if (spec.size > 0 && spec.size < MAX_PIXEL_HEIGHT) {
        px = (spec.size * 96 + 36) / 72;  // points at 96 pixels per inch
    }
    QFont f = make_font(installed_family(face, spec.charset, spec.pitch), px, (spec.style & STYLE_BOLD) != 0);
    if (cell_height) {
        // The stored height is the whole cell: shrink the character height so
        // ascent + descent come out at that height.
        const int cell = QFontMetrics(f).height();
        if (cell > 0) f.setPixelSize(std::max(1, static_cast<int>(std::lround(double(px) * px / cell))));
    }
    f.setItalic((spec.style & STYLE_ITALIC) != 0);
    f.setUnderline((spec.style & STYLE_UNDERLINE) != 0);
    f.setStrikeOut((spec.style & STYLE_STRIKE_OUT) != 0);
    return f;
}

const QFont& cached_font(FontCache& cache, const FontSpec& spec, const Text& face_gbk) {
    if (!cache.valid || std::memcmp(&cache.spec, &spec, sizeof spec) != 0 || cache.face != face_gbk) {
        cache.spec = spec;
        cache.face = face_gbk;
        cache.font = font_from_spec(spec, face_gbk);
        cache.valid = true;
    }
    return cache.font;
}

void init_label_fonts(LabelFonts& fonts) {
    fonts.axis = scene_font("Arial", 13, true);
    fonts.measurement = scene_font("Arial", 13, false);
    fonts.annotation = scene_font("宋体", 16, false);
    fonts.graph = scene_font("Arial", 11, false);
    fonts.measurement_label_height = QFontMetrics(fonts.measurement).height();
}

void annotation_font_spec(FontSpec& spec, Text& face_gbk) {
    std::memset(static_cast<void*>(&spec), 0, sizeof spec);
    spec.charset = 134;  // GB2312
    spec.colour = 0;     // window text colour: black
    spec.height = -16;
    spec.size = 12;
    face_gbk = "\xcb\xce\xcc\xe5";  // 宋体
}

Colour label_colour(Colour colour, Colour background) {
    const auto u = static_cast<std::uint32_t>(background);
    const int luma = static_cast<int>(299 * (u & 0xFF) + 587 * ((u >> 8) & 0xFF) + 114 * ((u >> 16) & 0xFF));
    if ((static_cast<std::uint32_t>(colour) & 0xFFFFFFu) != (u & 0xFFFFFFu)) return colour;
    return luma < 128 * 1000 ? 0xFFFFFF : 0x000000;
}

LabelFont label_font(const FontSpec& stored, const Text& face_gbk, Colour background) {
    static const Text default_face = [] {
        FontSpec spec;
        Text face;
        annotation_font_spec(spec, face);
        return face;
    }();
    LabelFont f{stored, &face_gbk};
    if (stored.height == 0 && stored.size == 0) {
        Text ignored;
        annotation_font_spec(f.spec, ignored);
        f.spec.colour = stored.colour;
        f.spec.style = stored.style;
        if (face_gbk.empty()) f.face = &default_face;
    }
    f.spec.colour = label_colour(f.spec.colour, background);
    return f;
}

}  // namespace quorrel
