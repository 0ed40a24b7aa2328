// The canvas's internals: the helpers its files share and the two backends
// that draw the primitives. canvas.cpp checks a primitive's arguments, notes
// the box it covers and hands it to the backend canvas_set_view chose:
// canvas_raster.cpp draws design pixels 1:1, canvas_view.cpp draws them
// through any other view transform.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

#include "render/canvas.h"

namespace quorrel::canvas_detail {

using i64 = std::int64_t;

// Beyond this many pixels a line is cut to a box first, so the integer
// raster cannot overflow and never walks millions of hidden pixels.
inline constexpr i64 COORD_LIMIT = i64{1} << 22;
// Dotted lines: three design pixels on, three off, counted from the line's start.
inline constexpr i64 DOT_ON = 3;
inline constexpr i64 DOT_PERIOD = 6;

// The drawing of the primitives, in design pixels. canvas.cpp calls them with
// boxes normalised and non-empty where a figure needs it, the box recorded,
// and a picture bound: with its own pixels (own_pixels), or with the painter
// active on it (painting) for ellipse, arc, text_out and stretch_picture.
struct Backend {
    void (*line)(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1);
    // Finite positions, not measuring; records its own box.
    void (*line_f)(Canvas& c, double x0, double y0, double x1, double y1);
    void (*polyline)(Canvas& c, const QPoint* points, int n);
    void (*rectangle)(Canvas& c, int left, int top, int right, int bottom);
    void (*fill_rect)(Canvas& c, int left, int top, int right, int bottom);
    void (*ellipse)(Canvas& c, int left, int top, int right, int bottom);
    // Angles in degrees, counter-clockwise on the screen; 0 < span <= 360.
    void (*arc)(Canvas& c, int left, int top, int right, int bottom, double start_deg, double span_deg);
    void (*set_pixel)(Canvas& c, int x, int y, Colour colour);
    // The painter's font is the canvas's.
    void (*text_out)(Canvas& c, int x, int y, const QString& text);
    void (*copy_rect)(Canvas& c, const QRect& to, const QImage& src, const QRect& from);
    void (*restore_rect)(Canvas& c, const QRect& box, const QImage& same);
    // `key` >= 0 leaves out that colour (0x00BBGGRR).
    void (*picture)(Canvas& c, int x, int y, const QImage& picture, i64 key, ScaledPicture* cache);
    void (*stretch_picture)(Canvas& c, const QRect& to, const QImage& picture);
};

// Design pixels are picture pixels (canvas_raster.cpp).
extern const Backend RASTER;
// Any other view transform (canvas_view.cpp).
extern const Backend VIEW;

// A 32-bit picture is bound.
bool usable(const Canvas& c);
// Raw pixel access to a picture that owns its buffer (detaching it first).
bool own_pixels(Canvas& c);
// The painter is active on the picture.
bool painting(Canvas& c);
QPainter::CompositionMode pen_composition(const Canvas& c);
void sync_brush(Canvas& c);
bool far_out(i64 v);
// Cuts the segment to the box |x|, |y| <= COORD_LIMIT / 2; false when nothing is left.
bool clip_far(i64& x0, i64& y0, i64& x1, i64& y1);
// Orders the corners and cuts boxes from damaged data to +-2^22.
void normalise(int& left, int& top, int& right, int& bottom);
// Fills the picture box [x0, x1) x [y0, y1) (clipped) with `rgb` by `mode`.
void fill_box(Canvas& c, i64 x0, i64 y0, i64 x1, i64 y1, std::uint32_t rgb, PenMode mode);
// Copies a block of 32-bit pixels, clipped to both pictures; `key` >= 0
// skips source pixels of that colour.
void blit(QImage& dst, int x, int y, const QImage& src, int sx, int sy, int w, int h, std::int64_t key);
// A primitive is about to cover the design box (widened by `margin` design
// pixels): while measuring it grows the measured box and returns true (draw
// nothing); else the box is noted among the picture's dirty boxes.
bool record(Canvas& c, i64 left, i64 top, i64 right, i64 bottom, int margin);
// The picture resampled for the view (kept in `cache` when given) and laid
// over the canvas with the painter's opacity, its top-left corner at design
// (x, y); `key` >= 0 is left out. Pictures at every scale that blend take this.
void draw_resampled(Canvas& c, int x, int y, const QImage& picture, i64 key, ScaledPicture* cache);

}  // namespace quorrel::canvas_detail
