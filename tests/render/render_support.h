// Shared helpers of the drawing tests: a QGuiApplication for text drawing,
// models and scenes, and pixel counting on pictures.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <memory>

#include "model/model.h"
#include "render/scene.h"
#include "support/objects.h"
#include "support/qt_app.h"

namespace quorrel::test {

// Text drawing needs a QGuiApplication: one for the whole test program.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ensure_gui_app(); }
};
inline ::testing::Environment* const gui_environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

// Pure colours, 0x00BBGGRR like every colour of the model.
inline constexpr Colour RED = 0x0000FF;
inline constexpr Colour GREEN = 0x00FF00;
inline constexpr Colour BLUE = 0xFF0000;
inline constexpr Colour YELLOW = 0x00FFFF;

inline QRgb rgb(Colour c) {
    return to_rgb(c);
}

inline QRgb at(Scene& s, const QImage& image, int x, int y) {
    scene_end(s);
    return image.pixel(x, y) | 0xFF000000u;
}

// Pixels of colour c inside the rectangle (clipped to the picture).
inline int count_colour(Scene& s, const QImage& image, QRect r, Colour c) {
    scene_end(s);
    r = r.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) | 0xFF000000u) == to_rgb(c);
    return n;
}

// Pixels of smoothed text or lines in colour c over background bg: at least
// half of c blended over bg (each channel within a small tolerance).
inline int count_ink(Scene& s, const QImage& image, QRect r, Colour c, Colour bg = 0) {
    scene_end(s);
    r = r.intersected(image.rect());
    const QRgb fg = to_rgb(c), back = to_rgb(bg);
    // The channel along which c and bg differ most gives the blend factor.
    int ch = 0, span = 0;
    for (int k = 0; k < 3; ++k) {
        const int d = static_cast<int>((fg >> (8 * k)) & 0xFF) - static_cast<int>((back >> (8 * k)) & 0xFF);
        if (std::abs(d) > std::abs(span)) span = d, ch = k;
    }
    if (span == 0) return 0;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            const auto at = [](QRgb v, int k) { return static_cast<int>((v >> (8 * k)) & 0xFF); };
            const double a = static_cast<double>(at(p, ch) - at(back, ch)) / span;
            if (a < 0.5 || a > 1.05) continue;
            bool near = true;
            for (int k = 0; k < 3; ++k)
                near = near && std::abs(at(p, k) - (at(back, k) + a * (at(fg, k) - at(back, k)))) <= 16;
            n += near;
        }
    return n;
}

// Pixels that differ from colour c inside the rectangle.
inline int count_not(Scene& s, const QImage& image, QRect r, Colour c) {
    scene_end(s);
    r = r.intersected(image.rect());
    return r.width() * r.height() - count_colour(s, image, r, c);
}

// A 400 x 320 scene with the origin at the top-left corner and one world
// unit per pixel (pixel (x, y) is the world point (x, -y)), thin lines.
inline void unit_scene(Model& m, Scene& s) {
    scene_init(s, 400, 320);
    m.settings.origin_x = 0;
    m.settings.origin_y = 0;
    m.settings.scale = 1.0;
    m.settings.line_width = 1;
}

inline QImage solid_picture(int w, int h, Colour c) {
    QImage p(w, h, QImage::Format_RGB32);
    p.fill(to_rgb(c));
    return p;
}

// A model after a reset with black background, no grids, axes off unless asked.
inline std::unique_ptr<Model> plain_model() {
    auto m = make_model();
    m->settings.show_axes = 0;
    m->settings.show_grid = 0;
    m->settings.show_fine_grid = 0;
    return m;
}

}  // namespace quorrel::test
