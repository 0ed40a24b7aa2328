// The mouse on the scene, headless: what a press picks up, what each drag
// moves in the model, the scene following the pointer, dynamic label clicks
// and the track placement question.
#include "player/interaction.h"

#include <gtest/gtest.h>

#include <ostream>

#include "engine/solvers.h"
#include "format/pictures.h"
#include "model/gbk.h"
#include "player/headless_platform.h"
#include "player/hit_test.h"
#include "render/canvas.h"
#include "render/fonts.h"
#include "support/blank_player.h"
#include "support/objects.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

constexpr QRgb RED = 0xFFFF0000;

// The mouse rules hold at every view: at 1:1, and with the 700 x 420 design
// fitted to a larger picture and moved (the window maps its pointer to design
// pixels, which the handlers take).
struct ViewCase {
    const char* name;
    int width, height;
    View view;
};
// Test output names the view rather than dumping the record's bytes.
void PrintTo(const ViewCase& c, std::ostream* os) {
    *os << c.name;
}
const ViewCase VIEWS[] = {{"one_to_one", 700, 420, View{}}, {"fitted", 1905, 1143, View{2.7, 1.0, 15, 9}}};

class InteractionTest : public ::testing::TestWithParam<ViewCase> {
protected:
    static void SetUpTestSuite() { test::ensure_gui_app(); }

    void SetUp() override { test::blank_player(p, platform, GetParam().width, GetParam().height, GetParam().view); }

    Model& m() { return *p.model; }

    // A body with a red 20 x 20 picture centred on it; (x, y) in pixels.
    int body_at(int x, int y, double radius = 50) {
        const XY w = to_world(m(), x, y);
        const int i = test::place_object(m(), KIND_BODY, w.x, w.y, 0, 0, 1, radius);
        QImage pic(20, 20, QImage::Format_RGB32);
        pic.fill(RED);
        m().object_pictures[i] = pic;
        m().objects[i].picture_dx = m().objects[i].picture_dy = -10;
        return i;
    }

    int annotation_at(int x, int y, const char* text) {
        const int k = annotation_count(m());
        Annotation& a = m().annotations[k];
        annotation_font_spec(a.font, m().annotation_font[k]);
        a.x = x;
        a.y = y;
        a.in_use = 1;
        m().annotation_text[k] = utf8_to_gbk(text);
        return k;
    }

    int variable(const char* name) {
        const int v = m().variable_count++;
        m().variable_texts[v][VT_NAME] = name;
        m().variable_texts[v][VT_VALUE] = m().variable_texts[v][VT_INITIAL] = "0";
        return v;
    }
    double value(int v) { return std::stod(m().variable_texts[v][VT_VALUE]); }

    void program(int index, const char* line) {
        m().program_lines[index][0] = line;
        m().programs[index].line_count = 1;
        m().program_count = std::max(m().program_count, index + 1);
    }

    void drag(int x0, int y0, int x1, int y1) {
        Image1MouseDown(p, MouseButton::Left, x0, y0);
        Image1MouseMove(p, p, p, (x0 + x1) / 2, (y0 + y1) / 2);
        Image1MouseMove(p, p, p, x1, y1);
        Image1MouseUp(p, MouseButton::Left, x1, y1);
    }

    // A Qt-style double click: press, release, double click, press, release.
    void double_click(int x, int y) {
        Image1MouseDown(p, MouseButton::Left, x, y);
        Image1MouseUp(p, MouseButton::Left, x, y);
        Image1DblClick(p);
        Image1MouseDown(p, MouseButton::Left, x, y);
        Image1MouseUp(p, MouseButton::Left, x, y);
    }

    // The colour of the picture at the middle of design pixel (x, y).
    QRgb pixel(int x, int y) {
        const View& v = p.scene.view;
        const double k = v.scale();
        return picture(p).pixel(static_cast<int>((x + 0.5) * k) + v.dx, static_cast<int>((y + 0.5) * k) + v.dy) |
               0xFF000000;
    }

    HeadlessPlatform platform;
    PlayerState p;
};

TEST_P(InteractionTest, HitOrderPointsFirstInclinesOnlyInsideTheirTriangleOriginWithinFourPixels) {
    body_at(300, 200);
    Point& pt = m().points[0];
    pt.kind = 1;
    const XY w = to_world(m(), 302, 201);
    pt.x = w.x;
    pt.y = w.y;
    // An incline 100 x 60 pixels, slope rising to the right: its empty
    // corner is the top left of its bounding box.
    const XY c = to_world(m(), 500, 300);
    MovingObject& inc = test::set_object(m(), 1, KIND_INCLINE, c.x, c.y);
    inc.width = 1000;
    inc.height = 600;
    m().object_pictures[1] = QImage(100, 60, QImage::Format_RGB32);  // covers the whole box
    m().object_pictures[1].fill(Qt::white);
    inc.picture_dx = -67;
    inc.picture_dy = -40;
    prepar_obj(p);

    EXPECT_EQ(hit_test(m(), p.scene, 300, 200).state, DRAG_POINT);
    EXPECT_EQ(hit_test(m(), p.scene, 293, 195).state, DRAG_MOVING);
    EXPECT_EQ(hit_test(m(), p.scene, 520, 310).state, DRAG_MOVING);  // inside the triangle
    EXPECT_EQ(hit_test(m(), p.scene, 440, 265).state, DRAG_NONE);    // box corner above the slope
    EXPECT_EQ(hit_test(m(), p.scene, 204, 146).state, DRAG_ORIGIN);
    EXPECT_EQ(hit_test(m(), p.scene, 205, 150).state, DRAG_NONE);
}

// Objects without a picture of their own are hit where their default look is
// drawn: a body's disc centred on it, a plank's rectangle of its size.
TEST_P(InteractionTest, PicturelessObjectsAreHitWhereTheirLookIsDrawn) {
    const XY wb = to_world(m(), 300, 200);
    const int body = test::place_object(m(), KIND_BODY, wb.x, wb.y, 0, 0, 1, 100 * m().settings.scale);
    m().object_pictures[body] = make_ball_picture(m(), body);
    const int b = ball_half_size(m(), body);
    const XY wp = to_world(m(), 500, 300);
    const int plank = test::place_object(m(), KIND_PLANK, wp.x, wp.y);
    m().objects[plank].width = 80 * m().settings.scale;
    m().objects[plank].height = 10 * m().settings.scale;
    m().object_pictures[plank] = make_ball_picture(m(), plank);
    prepar_obj(p);
    const struct {
        int x, y;
        int state;
    } cases[] = {
        {300 - b + 2, 200, DRAG_MOVING},  // left of the centre: the old picture began at it
        {300 + b + 2, 200, DRAG_NONE},
        {535, 303, DRAG_MOVING},  // the plank's right end
        {500, 309, DRAG_NONE},    // below it
    };
    for (const auto& c : cases) EXPECT_EQ(hit_test(m(), p.scene, c.x, c.y).state, c.state) << c.x << "," << c.y;
}

TEST_P(InteractionTest, DraggingABodyMovesItsStartAndTheSceneFollows) {
    const int i = body_at(300, 200);
    prepar_obj(p);
    ASSERT_EQ(pixel(300, 200), RED);

    Image1MouseDown(p, MouseButton::Left, 305, 203);
    EXPECT_EQ(p.mouse.drag_state, DRAG_MOVING);
    EXPECT_EQ(Image1MouseMove(p, p, p, 405, 253).cursor, CursorShape::Hand);
    EXPECT_EQ(pixel(400, 250), RED);  // the grab offset is kept
    EXPECT_NE(pixel(300, 200), RED);
    Image1MouseUp(p, MouseButton::Left, 405, 253);

    EXPECT_DOUBLE_EQ(m().objects[i].x0, to_world(m(), 400, 250).x);
    EXPECT_DOUBLE_EQ(m().objects[i].y0, to_world(m(), 400, 250).y);
    EXPECT_EQ(p.mouse.drag_state, DRAG_NONE);
    EXPECT_EQ(pixel(400, 250), RED);
    EXPECT_EQ(platform.placement_asked, 0);  // no track anywhere
}

TEST_P(InteractionTest, EachKindOfElementIsMovedByItsDrag) {
    FixedCharge& e = m().E.rec[0];
    e = {to_world(m(), 250.5, 100.5).x, to_world(m(), 250.5, 100.5).y, 1};
    StraightTrack& t = m().TB.rec[0];
    t.x1 = -1000;
    t.y1 = -1000;
    t.x2 = 1000;
    t.y2 = -1000;
    tb_line(m(), 0);
    ElectricField& f = m().EA.rec[0];
    f = {2000, -2000, 3000, -2500, 0, 1};  // pixels (400, 350)-(500, 400)
    const int k = annotation_at(600, 50, "label");
    m().measurements[0] = {};
    m().measurements[0].type = MEASURE_QUANTITY;
    m().measurements[0].label_x = 600;
    m().measurements[0].label_y = 300;
    prepar_obj(p);

    drag(250, 100, 270, 90);
    EXPECT_EQ(to_screen_trunc(m(), e.x, e.y).x, 270);
    EXPECT_EQ(to_screen_trunc(m(), e.x, e.y).y, 90);

    drag(150, 250, 150, 230);  // on the track's line, 100 pixels from its first end
    EXPECT_DOUBLE_EQ(t.y1, t.y2);
    EXPECT_NEAR(t.y1, -800, 10);
    EXPECT_NEAR(t.x2 - t.x1, 2000, 1e-9);
    EXPECT_NEAR(t.a * t.x1 + t.b * t.y1 + t.c, 0, 1e-6);  // the line goes through the moved ends

    drag(450, 370, 460, 370);
    EXPECT_NEAR(f.x1, 2100, 10);
    EXPECT_NEAR(f.x2 - f.x1, 1000, 1e-9);

    drag(610, 55, 640, 75);
    EXPECT_EQ(m().annotations[k].x, 630);
    EXPECT_EQ(m().annotations[k].y, 70);

    // A measurement label stays while dragging and moves on release.
    Image1MouseDown(p, MouseButton::Left, 602, 302);
    EXPECT_EQ(p.mouse.drag_state, DRAG_MEASUREMENT);
    Image1MouseMove(p, p, p, 622, 312);
    EXPECT_EQ(m().measurements[0].label_x, 600);
    Image1MouseUp(p, MouseButton::Left, 622, 312);
    EXPECT_EQ(m().measurements[0].label_x, 620);
    EXPECT_EQ(m().measurements[0].label_y, 310);

    drag(198, 152, 300, 100);
    EXPECT_EQ(m().settings.origin_x, 300);
    EXPECT_EQ(m().settings.origin_y, 100);
}

// While a static element is dragged the picture is the one it will have once
// dropped there: the background leaves out just what the drag moves and the
// moving layer draws just that (the origin moves them all).
TEST_P(InteractionTest, ADraggedStaticElementIsDrawnOnceWhereItWillLand) {
    auto world = [&](int x, int y) { return to_world(m(), x, y); };
    auto region = [&](auto& r, int left, int top, int right, int bottom) {
        r.x1 = world(left, bottom).x, r.y1 = world(left, bottom).y;
        r.x2 = world(right, top).x, r.y2 = world(right, top).y;
    };
    m().E.rec[0] = {world(100, 150).x, world(100, 150).y, 1};
    m().M.rec[0] = {world(200, 230).x, world(200, 230).y, 1};
    region(m().Z.rec[0], 300, 100, 380, 170);
    m().Z.rec[0].coefficient = 1;
    region(m().EA.rec[0], 420, 100, 500, 170);
    m().EA.rec[0].strength = 1;
    region(m().BA.rec[0], 540, 100, 620, 170);
    m().BA.rec[0].shape = 1;
    m().BA.rec[0].induction = 1;
    StraightTrack& t = m().TB.rec[0];
    t.x1 = world(100, 300).x, t.y1 = world(100, 300).y, t.x2 = world(250, 300).x, t.y2 = t.y1;
    tb_line(m(), 0);
    m().CT.rec[0] = {world(450, 320).x, world(450, 320).y, 0, PI, 40 * m().settings.scale, 0, 0};
    const struct {
        int state, x, y;
    } held[] = {{DRAG_E, 100, 150},  {DRAG_M, 200, 230},
                {DRAG_Z, 340, 135},  {DRAG_EA, 460, 135},
                {DRAG_BA, 580, 135}, {DRAG_TB, 175, 300},
                {DRAG_CT, 490, 320}, {DRAG_ORIGIN, m().settings.origin_x, m().settings.origin_y}};
    for (const auto& h : held) {
        prepar_obj(p);
        Image1MouseDown(p, MouseButton::Left, h.x, h.y);
        EXPECT_EQ(p.mouse.drag_state, h.state);
        Image1MouseMove(p, p, p, h.x, h.y + 40);
        const QImage dragged = picture(p).copy();
        Image1MouseUp(p, MouseButton::Left, h.x, h.y + 40);
        EXPECT_EQ(picture(p), dragged) << "drag state " << h.state;
    }
}

TEST_P(InteractionTest, PressOnEmptySpaceStartsNoDragAndNothingMovesWhileRunning) {
    const int i = body_at(300, 200);
    prepar_obj(p);
    Image1MouseDown(p, MouseButton::Left, 600, 400);
    EXPECT_EQ(p.mouse.drag_state, DRAG_NONE);
    EXPECT_EQ(Image1MouseMove(p, p, p, 610, 400).cursor, CursorShape::Cross);
    Image1MouseUp(p, MouseButton::Left, 610, 400);

    press_run(p);
    const double x0 = m().objects[i].x0;
    drag(300, 200, 350, 200);
    EXPECT_EQ(p.mouse.drag_state, DRAG_NONE);
    EXPECT_EQ(m().objects[i].x0, x0);
}

TEST_P(InteractionTest, DoubleClickOnALabelRunsItsProgramOnceAndMovesNothing) {
    const int n = variable("n");
    const int k = annotation_at(300, 100, "click me");
    program(k + 1, "n=n+1");
    prepar_obj(p);

    double_click(310, 105);
    EXPECT_EQ(value(n), 1);
    EXPECT_EQ(m().annotations[k].x, 300);
    EXPECT_FALSE(p.mouse.mouse_down);
    EXPECT_EQ(p.mouse.drag_state, DRAG_NONE);
    EXPECT_EQ(p.mouse.click_suppress, 0);

    // A single click before the first run runs nothing.
    Image1MouseDown(p, MouseButton::Left, 310, 105);
    Image1MouseUp(p, MouseButton::Left, 310, 105);
    EXPECT_EQ(value(n), 1);
}

TEST_P(InteractionTest, ClickDuringARunRunsTheLowestOverlappingLabelAndRightClickAfterTheMenu) {
    const int a = variable("a"), b = variable("b");
    annotation_at(300, 100, "first label");
    annotation_at(305, 102, "second label");
    program(1, "a=a+1");
    program(2, "b=b+1");
    prepar_obj(p);
    press_run(p);
    Timing(p);

    Image1MouseDown(p, MouseButton::Left, 320, 108);
    Image1MouseUp(p, MouseButton::Left, 320, 108);
    EXPECT_EQ(value(a), 1);
    EXPECT_EQ(value(b), 0);

    Image1MouseDown(p, MouseButton::Right, 320, 108);
    const MouseResult r = Image1MouseUp(p, MouseButton::Right, 320, 108);
    EXPECT_TRUE(r.open_menu);
    EXPECT_EQ(value(a), 1);  // not before the menu has closed
    release_after_menu(p, MouseButton::Right, 320, 108);
    EXPECT_EQ(value(a), 2);
    EXPECT_TRUE(m().running);
}

TEST_P(InteractionTest, ALabelProgramThatPausesPausesTheRun) {
    annotation_at(300, 100, "pause");
    program(1, "");
    m().program_lines[1][0] = utf8_to_gbk("暂停");
    prepar_obj(p);
    press_run(p);
    Timing(p);
    Image1MouseDown(p, MouseButton::Left, 310, 105);
    Image1MouseUp(p, MouseButton::Left, 310, 105);
    EXPECT_FALSE(m().running);
    EXPECT_TRUE(p.pause_down);
}

TEST_P(InteractionTest, ThePlacementQuestionIsAskedOnlyNearATrack) {
    // A horizontal track along world y = 0 (pixel row 150).
    StraightTrack& t = m().TB.rec[0];
    t = {};
    t.x1 = -2000;
    t.x2 = 2000;
    tb_line(m(), 0);
    const int i = body_at(300, 100, 50);  // radius 50: 5 pixels
    platform.placement = Placement::Against;
    prepar_obj(p);

    drag(300, 100, 300, 80);  // far from the track
    EXPECT_EQ(platform.placement_asked, 0);
    drag(300, 80, 300, 144);  // 60 world units above it: within 1.5 radii
    EXPECT_EQ(platform.placement_asked, 1);
    EXPECT_DOUBLE_EQ(m().objects[i].y0, 50);
}

INSTANTIATE_TEST_SUITE_P(Views, InteractionTest, ::testing::ValuesIn(VIEWS),
                         [](const ::testing::TestParamInfo<ViewCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorrel
