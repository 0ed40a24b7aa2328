#include "ui/text_scale.h"

#include <QApplication>
#include <QProxyStyle>
#include <cmath>

namespace quorrel {
namespace {

double current_scale = 1.0;

const QFont& platform_font() {
    static const QFont font = QApplication::font();
    return font;
}

// The platform's style with the marks that stand beside text (check boxes,
// radio buttons, the icons of buttons, menus and message boxes) and the
// scroll bars grown with the text. At scale 1 every measure is the style's own.
class ScaledStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
            case PM_ExclusiveIndicatorWidth:
            case PM_ExclusiveIndicatorHeight:
            case PM_SmallIconSize:
            case PM_ButtonIconSize:
            case PM_MessageBoxIconSize:
            case PM_ScrollBarExtent:
                return static_cast<int>(std::lround(base * current_scale));
            default:
                return base;
        }
    }
};

}  // namespace

QFont scaled_font(QFont base, double scale) {
    if (base.pixelSize() > 0)
        base.setPixelSize(static_cast<int>(std::lround(base.pixelSize() * scale)));
    else
        base.setPointSizeF(base.pointSizeF() * scale);
    return base;
}

void set_text_scale(double scale) {
    if (!(scale >= 1.0)) scale = 1.0;
    const QFont& base = platform_font();  // captured before the first change
    if (scale == current_scale) return;
    current_scale = scale;
    // Installed the first time the text grows; the font change below makes
    // every widget measure itself again.
    static bool styled = false;
    if (!styled && scale > 1.0) {
        styled = true;
        QApplication::setStyle(new ScaledStyle);
    }
    QApplication::setFont(scale == 1.0 ? base : scaled_font(base, scale));
}

double text_scale() {
    return current_scale;
}

QFont unscaled_font() {
    return platform_font();
}

QSize scaled_size(int width, int height) {
    return QSize(static_cast<int>(std::lround(width * current_scale)),
                 static_cast<int>(std::lround(height * current_scale)));
}

QRect scaled_rect(int x, int y, int width, int height) {
    const QSize corner = scaled_size(x, y);
    return QRect(QPoint(corner.width(), corner.height()), scaled_size(width, height));
}

}  // namespace quorrel
