// A drawing canvas over one picture (QImage, Format_RGB32), with the pen,
// brush and font state of a classic raster canvas: the routines set a pen or
// a font and then draw several primitives with it.
//
// Every routine draws in design pixels (the scene as laid out at the
// window's design size). The canvas carries a view transform: a design pixel
// (x, y) covers the picture's pixels from (x * scale + dx, y * scale + dy).
// Setting the view chooses one of two backends for all primitives (the
// primitives themselves never look at the scale). At scale 1 without an
// offset (the identity) the raster backend (canvas_raster.cpp) draws design
// pixels as picture pixels and the rules below hold pixel for pixel. At any
// other view the view backend (canvas_view.cpp) draws the same primitives at
// the picture's resolution: lines along an axis, boxes and marks as
// whole-pixel bands of round(width * scale) pixels, other lines, ellipses and
// arcs smoothed in copy mode, pictures smoothly resampled, text laid out in
// design pixels and rendered at the picture's resolution; the exclusive-or
// mode is never smoothed, so drawing twice still restores the picture.
//
// Pixel rules at the identity:
// - No anti-aliasing of lines and figures: every primitive lands on whole
//   pixels. Text alone is smoothed.
// - A line from A to B paints A but not B. Thin (width 1) lines are rastered
//   here with a midpoint rule so that this holds in both directions and the
//   exclusive-or mode touches each pixel exactly once; wider lines go to
//   QPainter with round caps.
// - Rectangles and ellipses take (left, top, right, bottom) with the right
//   column and bottom row outside the figure.
// - Text is placed by the top-left corner of its cell.
//
// The QPainter stays active between calls (its state mirrors the canvas
// state) so a frame does not pay a painter set-up per primitive. Call
// canvas_end before resizing the picture or reading it from elsewhere.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cmath>
#include <cstdint>

#include "model/records.h"

namespace quorrel {

namespace canvas_detail {
struct Backend;
extern const Backend RASTER;
}  // namespace canvas_detail

enum class PenMode : std::uint8_t { Copy, Xor };
enum class PenStyle : std::uint8_t { Solid, Dot };

// The boxes of Image1 (picture pixels) that may differ from scene_bitmap:
// what was drawn on either since Image1 was last restored. `all` when unknown.
struct DirtyBoxes {
    static constexpr int MAX = 16;
    QRect box[MAX];
    int n = 0;
    bool all = true;

    void mark_all() {
        all = true;
        n = 0;
    }
    void clear() {
        all = false;
        n = 0;
    }
    // Adds a box, merged into the one it enlarges least when the list is full.
    void add(const QRect& r);
};

struct Canvas {
    QImage* image = nullptr;
    QPainter painter;

    Colour pen_colour = 0;
    int pen_width = 1;
    PenMode pen_mode = PenMode::Copy;
    PenStyle pen_style = PenStyle::Solid;
    Colour brush_colour = 0xFFFFFF;
    bool brush_clear = false;
    QFont font;
    Colour font_colour = 0;

    // The view transform (see above); the identity unless canvas_set_view says otherwise.
    double scale = 1.0;
    int dx = 0, dy = 0;
    // What draws the primitives for that view, chosen by canvas_set_view.
    const canvas_detail::Backend* backend = &canvas_detail::RASTER;

    // While measuring, primitives draw nothing and only grow `measured` by
    // the design box they would cover (content bounds).
    bool measuring = false;
    QRect measured;
    // Where drawing notes the boxes it covers (null: nowhere).
    DirtyBoxes* dirty = nullptr;

    // Which parts of the painter's state no longer match the fields above.
    bool pen_dirty = true;
    bool font_dirty = true;

    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

// Model colour 0x00BBGGRR to an opaque QRgb 0xFFRRGGBB (the high byte of the
// model colour is ignored).
inline QRgb to_rgb(Colour c) {
    const auto u = static_cast<std::uint32_t>(c);
    return 0xFF000000u | ((u & 0xFFu) << 16) | (u & 0xFF00u) | ((u >> 16) & 0xFFu);
}
// QRgb back to a model colour.
inline Colour from_rgb(QRgb rgb) {
    return static_cast<Colour>(((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16));
}

// Binds the canvas to a picture (ending any painting on the previous one).
void canvas_attach(Canvas& c, QImage* image);
// Ends painting; the next primitive starts it again.
void canvas_end(Canvas& c);

// Sets the view transform and the backend that draws for it; a scale that is
// not finite and positive is taken as 1.
void canvas_set_view(Canvas& c, double scale, int dx, int dy);
inline bool canvas_identity(const Canvas& c) {
    return c.scale == 1.0 && c.dx == 0 && c.dy == 0;
}
// The design pixels the picture shows: [left, right) x [top, bottom), widened
// to whole pixels.
QRect design_area(const Canvas& c);
// The picture pixel whose area starts at design coordinate (x, y).
inline int device_x(const Canvas& c, double x) {
    return static_cast<int>(std::floor(x * c.scale + 0.5)) + c.dx;
}
inline int device_y(const Canvas& c, double y) {
    return static_cast<int>(std::floor(y * c.scale + 0.5)) + c.dy;
}
// Starts measuring: `measured` is emptied and nothing is drawn until canvas_stop_measuring.
void canvas_start_measuring(Canvas& c);
// Ends measuring and returns the design box everything drawn since would cover.
QRect canvas_stop_measuring(Canvas& c);

// A picture resampled for the view, kept between frames: rebuilt only when
// its source, the scale or the key colour changes.
struct ScaledPicture {
    qint64 source = 0;
    double scale = 0;
    std::int64_t key = -1;  // the left-out colour, -1 for none
    QImage image;           // premultiplied ARGB; left-out pixels are transparent
};

void set_pen(Canvas& c, Colour colour, int width);
void set_pen_colour(Canvas& c, Colour colour);
void set_pen_width(Canvas& c, int width);
void set_pen_mode(Canvas& c, PenMode mode);
void set_pen_style(Canvas& c, PenStyle style);
void set_brush(Canvas& c, Colour colour);  // solid
void set_brush_clear(Canvas& c);
void set_font(Canvas& c, const QFont& font, Colour colour);
void set_font_colour(Canvas& c, Colour colour);

void line(Canvas& c, int x0, int y0, int x1, int y1);
// A line between two continuous design positions (pixel p covers [p, p + 1)):
// at the identity the line between the pixels holding them (coordinates cut
// toward zero, as `line`), at other scales drawn with their fractions.
void line_f(Canvas& c, double x0, double y0, double x1, double y1);
// Joined segments through n points (each inner point painted once).
void polyline(Canvas& c, const QPoint* points, int n);
// Outline with the pen and inside with the brush; right and bottom excluded.
void rectangle(Canvas& c, int left, int top, int right, int bottom);
// Fills with the brush colour, no outline; right and bottom excluded.
void fill_rect(Canvas& c, int left, int top, int right, int bottom);
void ellipse(Canvas& c, int left, int top, int right, int bottom);
// Counter-clockwise arc of the ellipse in the box, from the ray through
// (xs, ys) to the ray through (xe, ye); equal rays give the whole ellipse.
void arc(Canvas& c, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
void set_pixel(Canvas& c, int x, int y, Colour colour);
// Colour of a pixel, or -1 outside the picture.
Colour get_pixel(const Canvas& c, int x, int y);

// Text with its cell's top-left corner at (x, y), in the font colour; a solid
// brush fills the cell behind it, a clear brush leaves the picture showing.
void text_out(Canvas& c, int x, int y, const QString& text);
int text_width(Canvas& c, const QString& text);
int text_height(Canvas& c);

// Copies the rectangle `from` of `src` (a picture in its own pixels) to the
// design rectangle `to` of the canvas, stretching when the sizes differ.
// Parts outside either picture are skipped.
void copy_rect(Canvas& c, const QRect& to, const QImage& src, const QRect& from);
// The whole of `src` (a picture of the canvas's size) copied over the picture.
void copy_whole(Canvas& c, const QImage& src);
// The same within `area` only (picture pixels) and not inside the holes,
// which the caller paints over at once anyway.
void copy_whole_except(Canvas& c, const QImage& src, const QRect& area, const QRect* holes, int n);
// Copies the design box `box` from `same` (a picture of the canvas's kind:
// same size and view, such as scene_bitmap for Image1) to the same place.
void restore_rect(Canvas& c, const QRect& box, const QImage& same);
// Picture with its top-left corner at (x, y); `cache`, when given, keeps its
// resampling for the view between calls.
void draw_picture(Canvas& c, int x, int y, const QImage& picture, ScaledPicture* cache = nullptr);
// The same, leaving out every pixel whose colour is `key`.
void draw_transparent(Canvas& c, int x, int y, const QImage& picture, Colour key, ScaledPicture* cache = nullptr);
// The picture laid over the canvas with opacity `factor` (each channel
// B * (1 - factor) + F * factor), resampled for the view like draw_picture.
void blend_picture(Canvas& c, int x, int y, const QImage& picture, std::int64_t key, double factor,
                   ScaledPicture* cache);
// A picture already drawn at the view's resolution (a graph picture), its
// top-left corner at design (x, y); `key` >= 0 leaves out that colour.
void draw_view_picture(Canvas& c, int x, int y, const QImage& picture, std::int64_t key);
// Copies the rectangle `from` of `src` into `dst` at (x, y), without a
// canvas (both pictures 32 bits per pixel; parts outside either are skipped).
void copy_pixels(QImage& dst, int x, int y, const QImage& src, const QRect& from);
// Picture stretched over the rectangle (nearest pixel, no smoothing).
void stretch_picture(Canvas& c, const QRect& to, const QImage& picture);

}  // namespace quorrel
