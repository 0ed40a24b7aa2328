#include "script/bridge.h"

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "fakes.h"
#include "model/numtext.h"
#include "script/interpreter.h"

namespace quorrel {
namespace {

using testing::FakePlatform;
using testing::set_program;
using testing::set_var;
using testing::var;

class Bridge : public ::testing::Test {
protected:
    void SetUp() override {
        m = make_model();
        s = make_script(&platform);
        MovingObject& o = m->objects[0];
        o.kind = KIND_BODY;
        o.rest_mass = o.mass = 1;
        o.x = o.x0 = 3;
        o.y = o.y0 = 4;
        m->object_texts[0].name = "ball";
        m->objects[1].kind = KIND_BODY;
        m->objects[1].rest_mass = 1;
        m->object_texts[1].name = utf8_to_gbk("小球");
        m->points[0].kind = 1;
        m->points[0].x = 7;
        m->point_texts[0][PT_NAME] = "p";
        set_var(*m, "a", "0");
    }
    int read(const std::string& args) { return read_obj_bl(*m, utf8_to_gbk(args)); }
    int write(const std::string& args) { return write_obj_bl(*m, utf8_to_gbk(args)); }
    // Puts the experiment into a run at a time after 0.
    void start_run() {
        m->running = true;
        m->sim_time = 0.5;
    }

    FakePlatform platform;
    std::unique_ptr<Model> m;
    std::unique_ptr<Script> s;
};

TEST_F(Bridge, ReadsUseTheStartValuesBeforeTheFirstRun) {
    MovingObject& o = m->objects[0];
    o.x = 30;  // the current position differs from the start position
    EXPECT_EQ(read("运动对象,ball,x,a"), 0);
    EXPECT_EQ(var(*m, "a"), "3");
    start_run();
    EXPECT_EQ(read("运动对象,ball,x,a"), 0);
    EXPECT_EQ(var(*m, "a"), "30");
    m->running = false;  // paused at a time after 0: still the current values
    EXPECT_EQ(read("运动对象,ball,x,a"), 0);
    EXPECT_EQ(var(*m, "a"), "30");
}

TEST_F(Bridge, ReadsEveryParameter) {
    MovingObject& o = m->objects[0];
    o.vx0 = 0;
    o.vy0 = -2;
    o.ax = -1;
    o.ay = 0;
    o.fx = 1;
    o.fy = 1;
    struct {
        const char* param;
        const char* value;
    } cases[] = {{"r", "5"},
                 {"deg", "53.130102354156"},
                 {"vx", "0"},
                 {"vy", "-2"},
                 {"|v|", "2"},
                 {"v_deg", "270"},
                 {"ax", "-1"},
                 {"ay", "0"},
                 {"|a|", "1"},
                 {"a_deg", "180"},
                 {"fx", "1"},
                 {"fy", "1"},
                 {"|f|", "1.4142135623731"},
                 {"f_deg", "45"}};
    for (auto& c : cases) {
        set_var(*m, "a", "none");
        EXPECT_EQ(read(std::string("运动对象,ball,") + c.param + ",a"), 0) << c.param;
        EXPECT_EQ(var(*m, "a"), c.value) << c.param;
    }
    EXPECT_EQ(read("辅助点,p,x,a"), 0);
    EXPECT_EQ(var(*m, "a"), "7");
    set_var(*m, "a", "none");
    EXPECT_EQ(read("运动对象,ball,speed,a"), -1);  // unknown parameter: unchanged
    EXPECT_EQ(var(*m, "a"), "none");
}

// One table serves both: a reading of a quantity code and a 读值 of the
// parameter's name give the same number.
TEST_F(Bridge, ReadingsAndProgramsAgreeOnEveryParameter) {
    MovingObject& o = m->objects[0];
    o.vx = -2, o.vy = 1, o.ax = 0.5, o.ay = -3, o.fx = 4, o.fy = -4;
    start_run();
    Measurement& r = m->measurements[0];
    r.type = MEASURE_QUANTITY;
    r.kind1 = REF_OBJECT;
    m->measurement_texts[0][MT_POINT1] = "ball";
    for (const ObjectParam& p : OBJECT_PARAMS) {
        r.quantity = p.code;
        jisuan_du_liang(*m);
        EXPECT_EQ(read(std::string("运动对象,ball,") + p.name + ",a"), 0) << p.name;
        EXPECT_EQ(var(*m, "a"), number_text(r.value)) << p.name;
    }
}

TEST_F(Bridge, MalformedReferencesChangeNothing) {
    for (const char* bad : {"运动对象,ball,x", "运动对象,ball,x,a,b", "运动对象,nobody,x,a", "物体,ball,x,a",
                            "运动对象,ball,x,nobody", "辅助点,ball,x,a", ""}) {
        set_var(*m, "a", "none");
        EXPECT_EQ(read(bad), -1) << bad;
        EXPECT_EQ(var(*m, "a"), "none") << bad;
    }
    EXPECT_EQ(write("运动对象,ball,x,notanumber"), -1);
    EXPECT_EQ(write("运动对象,nobody,x,1"), -1);
    set_var(*m, "word", "abc");
    EXPECT_EQ(write("运动对象,ball,x,word"), -1);
    EXPECT_EQ(write("运动对象,ball,x,1e999"), -1);
    EXPECT_EQ(m->objects[0].x, 3);
}

TEST_F(Bridge, FullWidthCommasSeparateLikeAsciiOnes) {
    m->objects[0].y0 = 2.5;
    EXPECT_EQ(read("运动对象，ball，y，a"), 0);
    EXPECT_EQ(var(*m, "a"), "2.5");
    EXPECT_EQ(read("运动对象,小球,x,a"), 0);  // a Chinese name is no separator
    EXPECT_EQ(write("运动对象，小球,vx，9"), 0);
    EXPECT_EQ(m->objects[1].vx, 9);
}

TEST_F(Bridge, WritesBeforeTheFirstRunAlsoSetTheStart) {
    MovingObject& o = m->objects[0];
    EXPECT_EQ(write("运动对象,ball,vx,5"), 0);
    EXPECT_EQ(o.vx, 5);
    EXPECT_EQ(o.vx0, 5);
    start_run();
    EXPECT_EQ(write("运动对象,ball,vx,6"), 0);
    EXPECT_EQ(o.vx, 6);
    EXPECT_EQ(o.vx0, 5);
    set_var(*m, "v", "-1.5");  // a variable's value is taken before the field's own text
    EXPECT_EQ(write("运动对象,ball,fy,v"), 0);
    EXPECT_EQ(o.fy, -1.5);
}

TEST_F(Bridge, PolarWritesKeepTheOtherComponent) {
    MovingObject& o = m->objects[0];
    EXPECT_EQ(write("运动对象,ball,deg,90"), 0);  // (3, 4) to (0, 5)
    EXPECT_NEAR(o.x, 0, 1e-12);
    EXPECT_NEAR(o.y, 5, 1e-12);
    EXPECT_NEAR(o.y0, 5, 1e-12);
    EXPECT_EQ(write("运动对象,ball,r,10"), 0);
    EXPECT_NEAR(o.y, 10, 1e-12);
    EXPECT_EQ(write("运动对象,ball,|v|,2"), 0);  // at rest: direction 0
    EXPECT_EQ(o.vx, 2);
    EXPECT_EQ(o.vy, 0);
    EXPECT_EQ(write("运动对象,ball,v_deg,180"), 0);
    EXPECT_NEAR(o.vx, -2, 1e-12);
    EXPECT_NEAR(o.vy, 0, 1e-12);
    EXPECT_EQ(write("运动对象,ball,|f|,3"), 0);
    EXPECT_EQ(o.fx, 3);
    EXPECT_EQ(write("运动对象,ball,f_deg,90"), 0);
    EXPECT_NEAR(o.fx, 0, 1e-12);
    EXPECT_NEAR(o.fy, 3, 1e-12);
    EXPECT_EQ(write("运动对象,ball,ax,1"), 0);  // read only
    EXPECT_EQ(o.ax, 0);
    EXPECT_EQ(write("辅助点,p,y,-4"), 0);
    EXPECT_EQ(m->points[0].y, -4);
}

TEST_F(Bridge, StatementsIgnoreFailures) {
    set_program(*m, 0, {"读值(运动对象,ball,r,a)", "赋值(运动对象,ghost,x,1)", "赋值(运动对象,ball,x,a)"});
    EXPECT_EQ(run_program(*s, *m, 0), 1);
    EXPECT_EQ(var(*m, "a"), "5");
    EXPECT_EQ(m->objects[0].x, 5);
}

TEST_F(Bridge, AnnotationTextsExpandReferences) {
    m->digits = 3;
    set_var(*m, "v", "3.14159");
    EXPECT_EQ(gbk_to_utf8(str_bl_to_str(*m, utf8_to_gbk("v = {v}"))), "v = 3.14");
    EXPECT_EQ(gbk_to_utf8(str_bl_to_str(*m, utf8_to_gbk("{运动对象,ball,r} m"))), "5 m");
    EXPECT_EQ(gbk_to_utf8(str_bl_to_str(*m, utf8_to_gbk("{nothing}|{v"))), "0|{v");
    EXPECT_EQ(text_obj_bl(*m, utf8_to_gbk("运动对象,ball,deg")), 53.1);
    EXPECT_EQ(text_obj_bl(*m, utf8_to_gbk("运动对象,ball")), 0);
    // Bounded: many references, and growth beyond the working text.
    std::string many;
    for (int i = 0; i < 300; ++i) many += "{v}";
    std::string out = str_bl_to_str(*m, many);
    EXPECT_LE(out.size(), static_cast<size_t>(MAX_EXPANDED_TEXT));
    EXPECT_EQ(out.substr(0, 8), "3.143.14");
    EXPECT_NE(out.find("{v}"), std::string::npos);
    m->digits = 15;
    set_var(*m, "w", "0.123456789012345");
    std::string wide;
    for (int i = 0; i < 200; ++i) wide += "{w}";
    EXPECT_LE(str_bl_to_str(*m, wide).size(), static_cast<size_t>(MAX_EXPANDED_TEXT));
}

TEST_F(Bridge, DirectionsCoverEveryQuadrant) {
    MovingObject& o = m->objects[0];
    const ObjectParam& f_deg = *find_object_param("f_deg");
    const struct {
        double x, y, deg;
    } cases[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 90}, {-1, 0, 180}, {0, -1, 270}, {1, -1, 315}, {-1, -1, 225}};
    for (const auto& c : cases) {
        o.fx = c.x;
        o.fy = c.y;
        EXPECT_NEAR(object_param(o, f_deg, false), c.deg, 1e-12) << c.x << ", " << c.y;
    }
}

}  // namespace
}  // namespace quorrel
