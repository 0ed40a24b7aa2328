#include "player/interaction.h"

#include <cmath>

#include "engine/engine.h"
#include "engine/placement.h"
#include "engine/solvers.h"
#include "model/numtext.h"
#include "player/hit_test.h"
#include "player/property_edit.h"
#include "player/run_control.h"
#include "render/annotations.h"
#include "render/canvas.h"
#include "render/frame.h"
#include "render/objects.h"
#include "render/points.h"
#include "render/static_objects.h"
#include "render/vectors.h"
#include "script/interpreter.h"

namespace quorrel {
namespace {

constexpr Colour WHITE = 0xFFFFFF;

bool is_text_kind(int state) {
    return state == DRAG_MEASUREMENT || state == DRAG_ANNOTATION || state == DRAG_TEXT_BLOCK;
}

// The drawing reads the drag state too: blocks follow a dragged plank or incline.
void set_drag(ViewState& vs, int state, int index) {
    vs.mouse.drag_state = vs.scene.drag_state = state;
    vs.mouse.drag_index = vs.scene.drag_index = index;
}

// The scene without what the drag moves: background, coordinate system
// (unless the origin moves), text blocks (unless one is dragged), the gravity
// sign and every static kind that is not being dragged. It also becomes
// scene_bitmap, from which labels restore the area behind them.
void build_drag_background(Model& m, ViewState& vs) {
    Scene& s = vs.scene;
    const int st = vs.mouse.drag_state;
    const bool origin = st == DRAG_ORIGIN;
    fill_scene_background(m, s);
    draw_background_picture(m, s);
    if (!origin) Draw_Cross(m, s, 0);
    if (st != DRAG_TEXT_BLOCK) Draw_zhu_shi_s(m, s);
    Draw_G(m, s);
    draw_static_elements(m, s, StaticDrag::Staying, st);
    canvas_end(s.canvas);
    const QRect r = s.image1.rect();
    copy_whole(s.scene_canvas, s.image1);
    QImage& bg = vs.mouse.drag_background;
    if (bg.size() != s.image1.size() || bg.format() != s.image1.format())
        bg = s.image1.copy();
    else
        copy_pixels(bg, 0, 0, s.image1, r);
}

// A variable named by a point vector takes `value` as current and initial value.
void set_vector_variable(Model& m, const Text& name, double value) {
    if (name.empty()) return;
    const int v = find_variable(m, name);
    if (v < 0) return;
    m.variable_texts[v][VT_VALUE] = m.variable_texts[v][VT_INITIAL] = number_text(value);
}

// The tip of point i's vector dragged to pixel `tip`: its variables take the
// offset in the vector's own form, 0.02 * vector scale per pixel.
void drag_point_vector(Model& m, int i, ScreenXY tip) {
    const Point& pt = m.points[i];
    const ScreenXY at = to_screen(m, pt.x, pt.y);
    const double per_pixel = 0.02 * pt.vector_scale;
    const double dx = tip.x - at.x, dy = at.y - tip.y;  // y up, as in the world
    const Text& first = m.point_texts[i][PT_VECTOR_X];
    const Text& second = m.point_texts[i][PT_VECTOR_Y];
    if (pt.polar != 0) {
        const Polar v = vector_polar(dx, dy);
        set_vector_variable(m, first, v.magnitude * per_pixel);
        set_vector_variable(m, second, v.angle);
    } else {
        set_vector_variable(m, first, dx * per_pixel);
        set_vector_variable(m, second, dy * per_pixel);
    }
    write_bl_back(m);
}

// Both corners of a region moved so that the first lands on `to`.
template <class Rec>
void move_region(Rec& r, XY to) {
    const double dx = to.x - r.x1, dy = to.y - r.y1;
    r.x1 += dx;
    r.y1 += dy;
    r.x2 += dx;
    r.y2 += dy;
}

// A position pair of a record := a world or pixel position.
void put(double& x, double& y, XY to) {
    x = to.x;
    y = to.y;
}
void put(std::int32_t& x, std::int32_t& y, ScreenXY to) {
    x = to.x;
    y = to.y;
}

// The dragged element with its handle at the pointer minus the grab offset.
// A measurement label moves only on release.
void apply_drag(Model& m, const Interaction& in, int x, int y, bool release) {
    const int i = in.drag_index;
    const ScreenXY h{x - in.grab_offset.x, y - in.grab_offset.y};
    // Objects and points map by rounding; static elements are cut toward
    // zero, so they go to the middle of the handle's pixel.
    const XY w = to_world(m, h.x, h.y);
    const XY ws = to_world(m, h.x + 0.5, h.y + 0.5);
    switch (in.drag_state) {
        case DRAG_MOVING:
            put(m.objects[i].x0, m.objects[i].y0, w);
            break;
        case DRAG_POINT:
            put(m.points[i].x, m.points[i].y, w);
            break;
        case DRAG_POINT_VECTOR:
            drag_point_vector(m, i, h);
            break;
        case DRAG_E:
            put(m.E.rec[i].x, m.E.rec[i].y, ws);
            break;
        case DRAG_M:
            put(m.M.rec[i].x, m.M.rec[i].y, ws);
            break;
        case DRAG_EA:
            move_region(m.EA.rec[i], ws);
            break;
        case DRAG_Z:
            move_region(m.Z.rec[i], ws);
            break;
        case DRAG_BA:
            move_region(m.BA.rec[i], ws);
            break;
        case DRAG_TB:
            move_region(m.TB.rec[i], ws);
            tb_line(m, i);
            break;
        case DRAG_CT:
            put(m.CT.rec[i].cx, m.CT.rec[i].cy, ws);
            break;
        case DRAG_TH:
            put(m.TH.rec[i].anchor_x, m.TH.rec[i].anchor_y, ws);
            break;
        case DRAG_SH:
            put(m.SH.rec[i].anchor_x, m.SH.rec[i].anchor_y, ws);
            break;
        case DRAG_GAN:
            put(m.GAN.rec[i].anchor_x, m.GAN.rec[i].anchor_y, ws);
            break;
        case DRAG_ANNOTATION:
            put(m.annotations[i].x, m.annotations[i].y, h);
            break;
        case DRAG_TEXT_BLOCK:
            put(m.text_blocks[i].x, m.text_blocks[i].y, h);
            break;
        case DRAG_GRAPH:
            put(m.graphs[i].x, m.graphs[i].y, h);
            break;
        case DRAG_MEASUREMENT:
            if (release) {
                put(m.measurements[i].label_x, m.measurements[i].label_y, h);
            }
            break;
        case DRAG_ORIGIN:
            m.settings.origin_x = x;
            m.settings.origin_y = y;
            break;
        default:  // connectors between two objects follow their objects
            break;
    }
}

Placement ask_placement(void* context) {
    PlayerState& p = *static_cast<PlayerState*>(context);
    return p.platform ? p.platform->ask_placement(p.mouse.last.x, p.mouse.last.y) : Placement::Custom;
}

// Runs the click program of label k (program k + 1) with the usual error
// report: the main loop is suspended while the editor is open, and its stop
// button stops the experiment. Returns false when the experiment was stopped.
bool run_label_program(PlayerState& p, int k) {
    Model& m = *p.model;
    p.mouse.drag_index = k;
    jisuan_du_liang(m);
    p.script->pause_request = 0;
    ProgramError e;
    if (run_event_program(p, m, k + 1, e) == 0) return true;
    // A paused run stays paused after the report.
    const bool was_running = m.running;
    m.running = false;
    const EditorExit exit = show_program_error(p, m);
    m.running = was_running;
    if (exit != EditorExit::Stop) return true;
    press_stop(p);
    return false;
}

// After a label's program: variables into the model, objects and points
// drawn again.
void after_label_program(Model& m, ViewState& vs) {
    set_drag(vs, DRAG_NONE, vs.mouse.drag_index);
    write_bl_back(m);
    frame_object_pictures(m, vs.scene);
    Draw_gu_ding_dian(m, vs.scene);
}

void finish_release(PlayerState& p, MouseButton button, int x, int y) {
    Model& m = *p.model;
    Interaction& in = p.mouse;
    if (p.model_loaded && (m.running || m.sim_time != 0)) {
        const int k = label_at(m, p.scene, x, y);
        if (k < 0) return;
        run_label_program(p, k);
        if (p.script->pause_request == 1) press_pause(p, m);
        after_label_program(m, p);
        if (m.sim_time == 0) {
            ClockRuns runs;
            readings_program_writeback(p, m, runs);
            prepar_obj(p);
        }
        return;
    }
    in.mouse_down = false;
    if (button != MouseButton::Left || in.drag_state == DRAG_NONE) return;
    // A click that never left its pixel moves nothing: storing the pixel's
    // world position would round away the exact start a dialog or the file
    // gave, and a double click would ask where to put a body on its track.
    if (in.moved || x != in.pressed_at.x || y != in.pressed_at.y) {
        apply_drag(m, in, x, y, true);
        if (in.drag_state == DRAG_MOVING) s_obj_TB_CT_position(m, in.drag_index, ask_placement, &p);
        p.edits.commit();
    } else {
        p.edits.cancel();
    }
    // Blocks still follow their dragged host while the scene is prepared.
    prepar_obj(p);
    set_drag(p, DRAG_NONE, -1);
}

}  // namespace

bool drag_mode(const Document& d) {
    return d.model_loaded && !d.model->running && d.model->sim_time == 0;
}

void justing_draw(RunState& run, Model& m, ViewState& vs) {
    Scene& s = vs.scene;
    ClockRuns runs;
    evaluate_start_state(run, m, runs);
    const Interaction& in = vs.mouse;
    drag_frame(m, s, in.drag_state, in.drag_background);
    if (is_text_kind(in.drag_state)) {
        // The selection mark around the picked-up text.
        const QRect r = text_rect(m, s, in.drag_state, in.drag_index);
        Canvas& c = s.canvas;
        set_pen_mode(c, PenMode::Xor);
        set_pen(c, WHITE, 1);
        set_brush_clear(c);
        rectangle(c, r.left() - 2, r.top() - 2, r.right() + 3, r.bottom() + 3);
        set_pen_mode(c, PenMode::Copy);
    }
}

MouseResult Image1MouseDown(PlayerState& p, MouseButton button, int x, int y) {
    Interaction& in = p.mouse;
    if (in.click_suppress > 0) {
        --in.click_suppress;
        return {};
    }
    in.last = {x, y};
    if (!drag_mode(p) || button != MouseButton::Left) return {};
    in.mouse_down = true;
    set_drag(p, DRAG_NONE, -1);
    MouseResult r;
    r.cursor = CursorShape::Cross;
    const Hit h = hit_test(*p.model, p.scene, x, y);
    if (h.state == DRAG_NONE) {
        prepar_obj(p);
        return r;
    }
    in.grab_offset = {x - h.handle.x, y - h.handle.y};
    in.pressed_at = {x, y};
    in.moved = false;
    p.edits.begin(*p.model);
    set_drag(p, h.state, h.index);
    if (is_text_kind(h.state)) prepar_obj(p);
    build_drag_background(*p.model, p);
    justing_draw(p, *p.model, p);
    return r;
}

MouseResult Image1MouseMove(Document& d, RunState& run, ViewState& vs, int x, int y) {
    Interaction& in = vs.mouse;
    if (in.click_suppress > 0) return {};
    in.last = {x, y};
    if (!drag_mode(d)) return {};
    MouseResult r;
    if (in.mouse_down && in.drag_state != DRAG_NONE) {
        r.cursor = CursorShape::Hand;
        // Until the pointer leaves the pressed pixel the element stays as it is.
        if (x != in.pressed_at.x || y != in.pressed_at.y) in.moved = true;
        if (in.moved) {
            apply_drag(*d.model, in, x, y, false);
            justing_draw(run, *d.model, vs);
        }
    } else {
        r.cursor = hit_test(*d.model, vs.scene, x, y).state != DRAG_NONE ? CursorShape::Hand : CursorShape::Cross;
    }
    return r;
}

MouseResult Image1MouseUp(PlayerState& p, MouseButton button, int x, int y) {
    Interaction& in = p.mouse;
    if (in.click_suppress > 0) {
        --in.click_suppress;
        return {};
    }
    in.last = {x, y};
    MouseResult r;
    if (button == MouseButton::Right) {
        r.open_menu = true;
        r.x = x;
        r.y = y;
        return r;
    }
    finish_release(p, button, x, y);
    return r;
}

void release_after_menu(PlayerState& p, MouseButton button, int x, int y) {
    finish_release(p, button, x, y);
}

MouseResult Image1DblClick(PlayerState& p) {
    Interaction& in = p.mouse;
    in.click_suppress = 2;
    in.mouse_down = false;
    if (!drag_mode(p)) return {};
    const int k = label_at(*p.model, p.scene, in.last.x, in.last.y);
    if (k < 0) {
        MouseResult r;
        const Hit h = hit_test(*p.model, p.scene, in.last.x, in.last.y);
        if (has_properties(h.state)) {
            r.properties = h.state;
            r.properties_index = h.index;
            // The dialog may take the double click's release: only the
            // press that stands for the double click is left to swallow.
            in.click_suppress = 1;
        }
        return r;
    }
    if (!run_label_program(p, k)) return {};
    if (p.script->pause_request == 1) {
        press_pause(p, *p.model);
        return {};
    }
    after_label_program(*p.model, p);
    return {};
}

}  // namespace quorrel
