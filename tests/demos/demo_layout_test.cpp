// Every bundled demo is laid out to be read from afar, at the window's design
// size and so at any zoom of it. Two rules are checked:
//
// 1. At t = 0, and every few frames of the run's first 10 s, the texts
//    (annotations, text blocks, reading labels, point labels, and strobe
//    readouts while running) and the graph windows keep clear of everything
//    drawn: of one another, the bodies, the axis tick numbers, the axes, field
//    regions, fixed charges and masses, points, tracks, connectors and the
//    gravity sign, and while running of trails and motion arrows too. Bodies,
//    tick numbers and the drawn elements may share their place.
// 2. While the demo runs (until it pauses itself, or for a long stretch when
//    it never does) every moving object stays inside the content bounds the
//    view fits to the window when the demo opens, so it stays in sight.
//
// Text boxes are the drawing's own: the sizes the labels stored when they were
// drawn, and the same font metrics for the texts that store none.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineF>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "demos/demos.h"
#include "format/pictures.h"
#include "format/text_form.h"
#include "model/gbk.h"
#include "model/mapping.h"
#include "model/numtext.h"
#include "played_demo.h"
#include "player/hit_test.h"
#include "player/player.h"
#include "render/bounds.h"
#include "render/info_text.h"
#include "render/objects.h"
#include "render/scene.h"

namespace quorrel {
namespace {
using test::PlayedDemo;

// A run that never pauses is followed this long (simulated seconds).
constexpr double HORIZON = 12.0;
// While running, the layout is checked this long, every few frames.
constexpr double LAYOUT_HORIZON = 10.0;
constexpr int LAYOUT_EVERY = 4;
// A moving object may pass the region by this many pixels: a generated ball's
// picture is a pixel wider than the body, and a fitted view keeps a margin.
constexpr int SLACK = 4;

enum Kind { TEXT, GRAPH, BODY, TICK, DRAWN };

struct Box {
    QRect r;
    Kind kind;
    std::string what;
    int owner = -1;  // a point's marker and its label share one
};

struct Segment {
    QLineF line;
    std::string what;
};

QRect object_rect(const Model& m, int i, double x, double y) {
    const MovingObject& o = m.objects[i];
    const ScreenXY at = to_screen(m, x, y);
    const QImage& pic = m.object_pictures[i];
    return QRect(trunc_px(at.x + static_cast<double>(o.picture_dx)), trunc_px(at.y + static_cast<double>(o.picture_dy)),
                 pic.width(), pic.height());
}

QRect around(ScreenXY at, int half) {
    return QRect(at.x - half, at.y - half, 2 * half + 1, 2 * half + 1);
}

QRect world_rect(const Model& m, double x1, double y1, double x2, double y2) {
    const ScreenXY a = to_screen(m, x1, y1), b = to_screen(m, x2, y2);
    return QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)), QPoint(std::max(a.x, b.x), std::max(a.y, b.y)));
}

QPointF screen_of(const Model& m, double x, double y) {
    return {world_px(m.settings, x), world_py(m.settings, y)};
}

// Where object i is drawn: its start before a run, where it is during one.
QRect object_box(const Model& m, int i) {
    double x, y;
    object_position(m, i, x, y);
    return object_rect(m, i, x, y);
}

QPointF object_at(const Model& m, double index) {
    double x, y;
    object_position(m, static_cast<int>(index), x, y);
    return screen_of(m, x, y);
}

// Everything drawn at t = 0, as boxes and line segments, in pixels.
struct Layout {
    std::vector<Box> boxes;
    std::vector<Segment> lines;
};

void add_texts(PlayedDemo& l, Layout& out) {
    const Model& m = l.m();
    Scene& s = l.p.scene;
    for (int i = 0; i < measurement_count(m); ++i)
        if (m.measurements[i].type != MEASURE_HIDDEN)
            out.boxes.push_back({text_rect(m, s, DRAG_MEASUREMENT, i), TEXT, "reading " + std::to_string(i)});
    for (int i = 0; i < annotation_count(m); ++i)
        if (!m.annotation_text[i].empty())
            out.boxes.push_back({text_rect(m, s, DRAG_ANNOTATION, i), TEXT, "annotation " + std::to_string(i)});
    for (int i = 0; i < text_block_count(m); ++i)
        out.boxes.push_back({text_rect(m, s, DRAG_TEXT_BLOCK, i), TEXT, "text block " + std::to_string(i)});
    for (int i = 0; i < point_count(m); ++i) {
        const Point& p = m.points[i];
        const ScreenXY at = to_screen(m, p.x, p.y);
        out.boxes.push_back({around(at, 4), DRAWN, "point " + std::to_string(i), i});
        if (!m.point_texts[i][PT_LABEL].empty())
            out.boxes.push_back({QRect(at.x, at.y, p.label_width, static_cast<int>(font_height_px(p.font))), TEXT,
                                 "point label " + std::to_string(i), i});
    }
    for (int i = 0; i < graph_count(m); ++i) {
        const FunctionGraph& g = m.graphs[i];
        out.boxes.push_back({QRect(g.x - 120, g.y - 120, 240, 240), GRAPH, "graph " + std::to_string(i)});
    }
}

void add_elements(const Model& m, Layout& out) {
    for (int i = 0; i < object_count(m); ++i)
        out.boxes.push_back({object_box(m, i), BODY, "object " + std::to_string(i)});
    const auto regions = [&](const auto& list, int table, const char* what) {
        for (int i = 0; i < element_count(m, table); ++i) {
            const auto& r = list.rec[i];
            out.boxes.push_back({world_rect(m, r.x1, r.y1, r.x2, r.y2), DRAWN, what});
        }
    };
    regions(m.Z, T_Z, "resistance region");
    regions(m.EA, T_EA, "electric field");
    regions(m.BA, T_BA, "magnetic field");
    const auto fixed = [&](const auto& list, int table, const char* what) {
        for (int i = 0; i < element_count(m, table); ++i)
            out.boxes.push_back({around(to_screen(m, list.rec[i].x, list.rec[i].y), 6), DRAWN, what});
    };
    fixed(m.M, T_M, "fixed mass");
    fixed(m.E, T_E, "fixed charge");
    for (int i = 0; i < element_count(m, T_TB); ++i) {
        const StraightTrack& t = m.TB.rec[i];
        out.lines.push_back({{screen_of(m, t.x1, t.y1), screen_of(m, t.x2, t.y2)}, "track"});
    }
    for (int i = 0; i < element_count(m, T_CT); ++i) {
        const ArcTrack& t = m.CT.rec[i];
        constexpr int PIECES = 24;
        for (int k = 0; k < PIECES; ++k) {
            const double a = t.start_angle + (t.end_angle - t.start_angle) * k / PIECES;
            const double b = t.start_angle + (t.end_angle - t.start_angle) * (k + 1) / PIECES;
            out.lines.push_back({{screen_of(m, t.cx + t.radius * std::cos(a), t.cy + t.radius * std::sin(a)),
                                  screen_of(m, t.cx + t.radius * std::cos(b), t.cy + t.radius * std::sin(b))},
                                 "arc track"});
        }
    }
    const auto anchored = [&](const auto& list, int table, const char* what) {
        for (int i = 0; i < element_count(m, table); ++i) {
            const auto& r = list.rec[i];
            out.lines.push_back({{screen_of(m, r.anchor_x, r.anchor_y), object_at(m, r.object)}, what});
        }
    };
    anchored(m.TH, T_TH, "spring");
    anchored(m.SH, T_SH, "rope");
    anchored(m.GAN, T_GAN, "rod");
    const auto between = [&](const auto& list, int table, const char* what) {
        for (int i = 0; i < element_count(m, table); ++i)
            out.lines.push_back({{object_at(m, list.rec[i].object_a), object_at(m, list.rec[i].object_b)}, what});
    };
    between(m.E_TH, T_E_TH, "spring");
    between(m.E_SH, T_E_SH, "rope");
    between(m.E_GAN, T_E_GAN, "rod");
}

// What the scene shows now, the axes aside.
Layout shown_now(PlayedDemo& l) {
    Layout layout;
    add_texts(l, layout);
    add_elements(l.m(), layout);
    return layout;
}

// The axis tick numbers over the content region, as Draw_Cross writes them.
void add_ticks(PlayedDemo& l, const QRect& region, Layout& out) {
    const Model& m = l.m();
    const Settings& s = m.settings;
    if (!s.show_axes) return;
    const QFontMetrics fm(l.p.scene.fonts.axis);
    auto tick = [&](int x, int y, double value) {
        const QString text = QString::fromStdString(format_g(value, m.digits));
        const QRect r(x, y, fm.horizontalAdvance(text), fm.height());
        if (r.intersects(region)) out.boxes.push_back({r, TICK, "tick " + text.toStdString()});
    };
    for (int k = (region.left() - s.origin_x) / 100 - 1; s.origin_x + 100 * k <= region.right() + 10; ++k)
        tick(s.origin_x + 100 * k - 10, s.origin_y + 3, k * s.scale * 100.0);
    for (int k = (region.top() - s.origin_y) / 100 - 1; s.origin_y + 100 * k <= region.bottom() + 8; ++k)
        if (k != 0) tick(s.origin_x + 3, s.origin_y + 100 * k - 8, -k * s.scale * 100.0);
}

// Texts and graph windows keep clear of everything; bodies, tick numbers and
// the drawn elements may share their place (a body starts on an axis, on a
// track, in a field).
bool may_overlap(const Box& a, const Box& b) {
    if (a.owner >= 0 && a.owner == b.owner) return true;
    return a.kind != TEXT && a.kind != GRAPH && b.kind != TEXT && b.kind != GRAPH;
}

bool crosses(const QLineF& line, const QRect& r) {
    const QRectF f(r);
    if (f.contains(line.p1()) || f.contains(line.p2())) return true;
    const QPointF c[4] = {f.topLeft(), f.topRight(), f.bottomRight(), f.bottomLeft()};
    for (int i = 0; i < 4; ++i)
        if (line.intersects(QLineF(c[i], c[(i + 1) % 4]), nullptr) == QLineF::BoundedIntersection) return true;
    return false;
}

std::vector<std::string> overlaps(const Model& m, const Layout& l) {
    std::vector<std::string> found;
    const auto& b = l.boxes;
    for (std::size_t i = 0; i < b.size(); ++i)
        for (std::size_t j = i + 1; j < b.size(); ++j)
            if (!may_overlap(b[i], b[j]) && b[i].r.intersects(b[j].r)) found.push_back(b[i].what + " / " + b[j].what);
    for (const Box& x : b) {
        if (x.kind != TEXT && x.kind != GRAPH) continue;
        for (const Segment& s : l.lines)
            if (crosses(s.line, x.r)) found.push_back(x.what + " / " + s.what);
        if (x.kind != TEXT || !m.settings.show_axes) continue;
        const int ox = m.settings.origin_x, oy = m.settings.origin_y;
        if (x.r.left() <= ox && ox <= x.r.right()) found.push_back(x.what + " / y axis");
        if (x.r.top() <= oy && oy <= x.r.bottom()) found.push_back(x.what + " / x axis");
    }
    return found;
}

std::string text_of(const QRect& r) {
    return "(" + std::to_string(r.left()) + ", " + std::to_string(r.top()) + ")-(" + std::to_string(r.right()) + ", " +
           std::to_string(r.bottom()) + ")";
}

// Everything shown now, with the tick numbers over the starting view and the
// gravity sign, which stands at a fixed place of the picture's corner.
Layout full_layout(PlayedDemo& l, const QRect& region) {
    Layout layout = shown_now(l);
    add_ticks(l, region, layout);
    if (l.m().settings.use_gravity) layout.boxes.push_back({QRect(10, 40, 25, 41), DRAWN, "gravity sign"});
    return layout;
}

TEST(DemoLayout, NothingOverlapsAtTheStart) {
    for (const DemoInfo& d : all_demos()) {
        PlayedDemo l(d.file_name, false);
        const Layout layout = full_layout(l, content_bounds(*l.p.model, l.p.scene));
        for (const std::string& o : overlaps(l.m(), layout)) ADD_FAILURE() << d.file_name << ": " << o;
    }
}

// Where the trails of objects and points are now, one per slot; the
// positions of the points follow the objects'.
std::vector<QPointF> trail_ends(const Model& m) {
    std::vector<QPointF> ends;
    for (int i = 0; i < object_count(m); ++i)
        ends.push_back(m.objects[i].show_trail != 0 ? object_at(m, i) : QPointF(qQNaN(), qQNaN()));
    for (int i = 0; i < point_count(m); ++i)
        ends.push_back(m.points[i].show_trail == 1 ? screen_of(m, m.points[i].x, m.points[i].y)
                                                   : QPointF(qQNaN(), qQNaN()));
    return ends;
}

// The arrows of one motion vector group (the vector, its x and y parts) from
// (sx, sy), as vectors.cpp draws them: 50 px per `scale`, at most `cap`.
void add_motion_arrows(Layout& out, const std::uint8_t* flags, int base, double vx, double vy, double scale, double cap,
                       QPointF at, const std::string& what) {
    const double length = std::min(std::hypot(vx, vy) / scale * 50.0, cap);
    const double a = std::atan2(vy, vx), dx = length * std::cos(a), dy = -length * std::sin(a);
    if (!(length > 0)) return;
    if (flags[base]) out.lines.push_back({{at, at + QPointF(dx, dy)}, what});
    if (flags[base + 1]) out.lines.push_back({{at, at + QPointF(dx, 0)}, what + " x"});
    if (flags[base + 2]) out.lines.push_back({{at, at + QPointF(0, dy)}, what + " y"});
}

// The live velocity and acceleration arrows of every object.
void add_live_arrows(const Model& m, Layout& out) {
    const Settings& st = m.settings;
    for (int i = 0; i < object_count(m); ++i) {
        const MovingObject& o = m.objects[i];
        const QPointF at(o.screen_x, o.screen_y);
        const std::string who = "object " + std::to_string(i);
        add_motion_arrows(out, o.live_vector_flags, VEC_V, o.vx, o.vy, st.v_scale, 1200, at, who + " velocity arrow");
        add_motion_arrows(out, o.live_vector_flags, VEC_A, o.ax, o.ay, st.a_scale, 1200, at,
                          who + " acceleration arrow");
    }
}

// What the strobe stamps of this frame leave in the scene for the rest of the
// run: their readouts and motion arrows.
void add_strobes(PlayedDemo& l, const std::vector<double>& due_before, Layout& kept) {
    const Model& m = l.m();
    const Settings& st = m.settings;
    for (int i = 0; i < object_count(m); ++i) {
        const MovingObject& o = m.objects[i];
        if (o.strobe_on != 1 || o.next_strobe == due_before[i]) continue;
        const ScreenXY at = to_screen(m, o.x, o.y);
        const std::string who = "strobe of object " + std::to_string(i) + " at t = " + format_g(m.sim_time, 4);
        const QRect r = strobe_readout_rect(m, l.p.scene, i, at.x, at.y);
        if (!r.isEmpty()) kept.boxes.push_back({r, TEXT, who + " readout"});
        add_motion_arrows(kept, o.strobe_vector_flags, VEC_V, o.vx, o.vy, st.v_scale, 1600, QPointF(at.x, at.y),
                          who + " velocity arrow");
        add_motion_arrows(kept, o.strobe_vector_flags, VEC_A, o.ax, o.ay, st.a_scale, 1600, QPointF(at.x, at.y),
                          who + " acceleration arrow");
    }
}

std::vector<double> strobes_due(const Model& m) {
    std::vector<double> due;
    for (int i = 0; i < object_count(m); ++i) due.push_back(m.objects[i].next_strobe);
    return due;
}

// Both rules while the demo runs, from one run of each demo (the test runs
// under the sanitizers too): the view every frame until the first object
// leaves it; the overlaps every few frames of the first 10 s, with the live
// motion arrows, the trails drawn since the last look, and the readouts and
// arrows strobe stamps left as texts and lines too, each reported once, at its
// first moment.
TEST(DemoLayout, WhileRunningNothingOverlapsOrLeavesTheView) {
    for (const DemoInfo& d : all_demos()) {
        PlayedDemo l(d.file_name, false);
        const QRect start = content_bounds(*l.p.model, l.p.scene);
        const QRect region = start.adjusted(-SLACK, -SLACK, SLACK, SLACK);
        press_run(l.p);
        const Model& m = l.m();
        std::vector<std::string> seen;
        std::vector<QPointF> last = trail_ends(m);
        Layout kept;  // what strobe stamps left
        bool inside = true;
        for (int frame = 1; m.sim_time < HORIZON; ++frame) {
            const std::vector<double> due = strobes_due(m);
            if (!l.frame()) break;
            for (int i = 0; i < object_count(m) && inside; ++i) {
                const QRect r = object_box(m, i);
                inside = region.contains(r);
                EXPECT_TRUE(inside) << d.file_name << ": object " << i << " at " << text_of(r) << " left "
                                    << text_of(region) << " at t = " << m.sim_time;
            }
            if (m.sim_time >= LAYOUT_HORIZON) continue;
            add_strobes(l, due, kept);
            if (frame % LAYOUT_EVERY != 0) continue;
            Layout layout = full_layout(l, start);
            add_live_arrows(m, layout);
            layout.boxes.insert(layout.boxes.end(), kept.boxes.begin(), kept.boxes.end());
            layout.lines.insert(layout.lines.end(), kept.lines.begin(), kept.lines.end());
            const std::vector<QPointF> now = trail_ends(m);
            for (std::size_t k = 0; k < now.size(); ++k)
                if (!std::isnan(now[k].x())) layout.lines.push_back({{last[k], now[k]}, "trail"});
            last = now;
            for (const std::string& o : overlaps(m, layout)) {
                if (std::find(seen.begin(), seen.end(), o) != seen.end()) continue;
                seen.push_back(o);
                ADD_FAILURE() << d.file_name << ": " << o << " at t = " << m.sim_time;
            }
        }
    }
}

// A demo's text opened from demos/ (its pictures found beside it, as
// `quorrel demos/NAME.toml` finds them) is the demo the programs embed.
TEST(DemoTexts, TheFilesInDemosOpenAsTheEmbeddedDemos) {
    for (const DemoInfo& demo : all_demos()) {
        SCOPED_TRACE(demo.text_name);
        auto embedded = make_model(), opened = make_model();
        ASSERT_TRUE(load_demo(*embedded, demo).ok);
        LoadScratch scratch;
        const LoadResult r =
            read_text_form_file(*opened, std::string(QUORREL_SOURCE_DIR "/demos/") + demo.text_name, scratch);
        ASSERT_TRUE(r.ok) << r.message;
        // The embedded demo comes with each object's state at its start.
        current_state_at_start(*opened);
        EXPECT_EQ(write_toml(*opened), write_toml(*embedded));
        for (int i = 0; i < object_count(*embedded); ++i)
            EXPECT_EQ(opened->object_pictures[i], embedded->object_pictures[i]) << "object " << i;
    }
}

}  // namespace
}  // namespace quorrel
