// The canvas's internals shared by its two raster paths: canvas.cpp draws
// design pixels 1:1, canvas_view.cpp draws them through the view transform.
#pragma once

#include <QImage>
#include <QPainter>
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

}  // namespace quorrel::canvas_detail

namespace quorrel {

// The primitives drawn through a view transform other than the identity
// (canvas_view.cpp); the callers in canvas.cpp have normalised boxes and
// checked that there is a picture.
void view_line(Canvas& c, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
void view_line_f(Canvas& c, double x0, double y0, double x1, double y1);
void view_polyline(Canvas& c, const QPoint* points, int n);
void view_rectangle(Canvas& c, int left, int top, int right, int bottom);
void view_fill_rect(Canvas& c, int left, int top, int right, int bottom);
void view_ellipse(Canvas& c, int left, int top, int right, int bottom);
void view_arc(Canvas& c, int left, int top, int right, int bottom, double start_deg, double span_deg);
void view_set_pixel(Canvas& c, int x, int y, Colour colour);
void view_text_out(Canvas& c, int x, int y, const QString& text);
void view_copy_rect(Canvas& c, const QRect& to, const QImage& src, const QRect& from);
void view_restore_rect(Canvas& c, const QRect& box, const QImage& same);
void view_draw_picture(Canvas& c, int x, int y, const QImage& picture, std::int64_t key, ScaledPicture* cache);
void view_stretch_picture(Canvas& c, const QRect& to, const QImage& picture);

}  // namespace quorrel
