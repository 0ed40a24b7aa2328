#include "render/scene.h"

#include <sys/mman.h>

#include <QPainter>
#include <cmath>
#include <cstdlib>

namespace quorrel {
namespace {

constexpr int TOOLBAR_HEIGHT = 33;

void release_pixels(void* pixels) {
    std::free(pixels);
}

// A picture of the scene's size, its pixels in memory the kernel may back
// with large pages: a projector-sized picture is several megabytes, and
// faulting it in page by page costs a visible part of the start-up.
QImage scene_picture(int width, int height) {
    constexpr std::size_t LARGE_PAGE = 2u << 20;
    const std::size_t bytes_per_line = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes =
        (bytes_per_line * static_cast<std::size_t>(height) + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
    void* pixels = std::aligned_alloc(LARGE_PAGE, bytes);
    if (pixels == nullptr) return QImage(width, height, QImage::Format_RGB32);
#ifdef MADV_HUGEPAGE
    madvise(pixels, bytes, MADV_HUGEPAGE);
#endif
    return QImage(static_cast<uchar*>(pixels), width, height, static_cast<qsizetype>(bytes_per_line),
                  QImage::Format_RGB32, release_pixels, pixels);
}

void resize_keep(QImage& image, int width, int height) {
    QImage fresh = scene_picture(width, height);
    fresh.fill(0xFF000000u);
    if (!image.isNull()) {
        QPainter p(&fresh);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image);
    }
    image = fresh;
}

}  // namespace

void scene_init(Scene& s, int width, int height) {
    scene_end(s);
    s.image1 = QImage();
    s.scene_bitmap = QImage();
    s.annotation_backdrop = QImage();
    scene_resize(s, width, height);
    s.window_width = std::max(width, 1) + 2;
    s.window_height = std::max(height, 1) + TOOLBAR_HEIGHT + 2;
    init_label_fonts(s.fonts);
    set_font(s.canvas, s.fonts.axis, 0);
}

void scene_resize(Scene& s, int width, int height) {
    scene_end(s);
    width = std::clamp(width, 1, 8192);
    height = std::clamp(height, 1, 8192);
    resize_keep(s.image1, width, height);
    resize_keep(s.scene_bitmap, width, height);
    // The backdrop is refreshed from scene_bitmap before every use and is used
    // only when framed annotations exist: it is neither filled nor kept, so
    // without framed annotations its pages are never touched and cost no memory.
    s.annotation_backdrop = QImage();
    s.annotation_backdrop = QImage(width, height, QImage::Format_RGB32);
    canvas_attach(s.canvas, &s.image1);
    canvas_attach(s.scene_canvas, &s.scene_bitmap);
    canvas_attach(s.backdrop_canvas, &s.annotation_backdrop);
    s.canvas.dirty = s.scene_canvas.dirty = &s.dirty;
    s.dirty.mark_all();
}

void scene_set_view(Scene& s, const View& v) {
    s.view = v;
    const double k = v.scale();
    for (Canvas* c : {&s.canvas, &s.scene_canvas, &s.backdrop_canvas}) canvas_set_view(*c, k, v.dx, v.dy);
    canvas_set_view(s.graph_canvas, k, 0, 0);
}

void scene_end(Scene& s) {
    canvas_end(s.canvas);
    canvas_end(s.scene_canvas);
    canvas_end(s.backdrop_canvas);
    canvas_end(s.graph_canvas);
}

const Text& substitute_text(Model& m, Scene& s, const Text& in) {
    if (s.substitute == nullptr || in.find('{') == Text::npos) return in;
    s.info.scratch.clear();
    s.substitute(s.substitute_ctx, m, in, s.info.scratch);
    return s.info.scratch;
}

void object_position(const Model& m, int i, double& x, double& y) {
    const MovingObject& o = m.objects[i];
    x = m.running ? o.x : o.x0;
    y = m.running ? o.y : o.y0;
}

}  // namespace quorrel
