#include "render/info_text.h"

#include <algorithm>
#include <cstdlib>

#include "model/gbk.h"

namespace quorrel {

const QString& cached_text(TextCache& cache, const Text& gbk, const char* unit) {
    if (!cache.valid || cache.gbk != gbk || cache.unit != unit) {
        cache.gbk = gbk;
        cache.unit = unit;
        cache.text = QString::fromStdString(gbk_to_utf8(gbk));
        if (unit != nullptr) {
            const QString u = QString::fromUtf8(unit);
            if (u != QStringLiteral("°")) cache.text += QLatin1Char(' ');
            cache.text += u;
        }
        cache.valid = true;
        cache.width = -1;
    }
    return cache.text;
}

int cached_width(TextCache& cache, Canvas& c) {
    if (cache.width < 0 || !(cache.width_font == c.font)) {
        cache.width = text_width(c, cache.text);
        cache.width_font = c.font;
    }
    return cache.width;
}

void restore_box(Canvas& c, const QImage& clean, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom) {
    if (c.image == nullptr || clean.isNull()) return;
    const QRect area = design_area(c);
    left = std::clamp<std::int64_t>(left, area.left(), area.right() + 1);
    right = std::clamp<std::int64_t>(right, area.left(), area.right() + 1);
    top = std::clamp<std::int64_t>(top, area.top(), area.bottom() + 1);
    bottom = std::clamp<std::int64_t>(bottom, area.top(), area.bottom() + 1);
    if (right <= left || bottom <= top) return;
    const QRect r(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                  static_cast<int>(bottom - top));
    restore_rect(c, r, clean);
}

std::int64_t font_height_px(const FontSpec& spec) {
    return std::llabs(static_cast<std::int64_t>(spec.height));
}

}  // namespace quorrel
