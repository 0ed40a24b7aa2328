// Readings and the write-back of variables changed by event programs.
#include <gtest/gtest.h>

#include "demos/bench_scenes.h"
#include "engine/engine.h"
#include "engine/object_params.h"
#include "model/numtext.h"
#include "model/units.h"

namespace quorrel {
namespace {

struct Readings : ::testing::Test {
    std::unique_ptr<Model> m = make_model();

    int object(const char* name, double x, double y, double vx = 0, double vy = 0) {
        const int i = add_body(*m, name, x, y, vx, vy, 1, 0.1);
        prepare_initial_state(*m);
        return i;
    }
    int point(const char* name, double x, double y) {
        const int i = point_count(*m);
        m->points[i].kind = 1;
        m->points[i].x = x;
        m->points[i].y = y;
        m->point_texts[i][PT_NAME] = name;
        return i;
    }
    int variable(const char* name) {
        const int i = m->variable_count++;
        m->variable_texts[i][VT_NAME] = name;
        return i;
    }
    // A reading of one point: type 1, the point's kind and name, a quantity code.
    int reading(std::int32_t type, std::int32_t quantity, const char* var, std::int32_t kind1, const char* p1,
                std::int32_t kind2 = 0, const char* p2 = "", std::int32_t kind3 = 0, const char* p3 = "") {
        const int i = measurement_count(*m);
        Measurement& r = m->measurements[i];
        r.type = type;
        r.quantity = quantity;
        r.kind1 = kind1;
        r.kind2 = kind2;
        r.kind3 = kind3;
        auto& t = m->measurement_texts[i];
        t[MT_VARIABLE] = var;
        t[MT_POINT1] = p1;
        t[MT_POINT2] = p2;
        t[MT_POINT3] = p3;
        return i;
    }
    const Text& value_of(int var) { return m->variable_texts[var][VT_VALUE]; }
};

TEST_F(Readings, QuantitiesOfAnObjectAndTheLinkedVariable) {
    const int b = object("ball", 3, 4, 0, -2);
    m->objects[b].fx = -1;
    m->objects[b].fy = 0;
    const int v = variable("dist");
    const int r1 = reading(MEASURE_QUANTITY, Q_R, "dist", REF_OBJECT, "ball");
    const int r2 = reading(MEASURE_QUANTITY, Q_V_DEG, "", REF_OBJECT, "ball");
    const int r3 = reading(MEASURE_HIDDEN, Q_F_DEG, "", REF_OBJECT, "ball");
    m->sim_time = 1.25;
    jisuan_du_liang(*m);
    EXPECT_EQ(value_of(0), "1.25");
    EXPECT_EQ(m->measurements[r1].value, 5.0);
    EXPECT_EQ(value_of(v), "5");
    EXPECT_EQ(m->variables[v].var_kind, 1);
    EXPECT_EQ(m->variables[v].reading_form, 0);
    EXPECT_NEAR(m->measurements[r2].value, 270.0, 1e-12);
    EXPECT_NEAR(m->measurements[r3].value, 180.0, 1e-12);
    EXPECT_EQ(m->prev_measurements[r1].value, 5.0);
    EXPECT_EQ(m->prev_measurement_texts[r1][MT_VALUE], "5");
}

TEST_F(Readings, DistanceAndAngleBetweenPoints) {
    point("a", 0, 0);
    point("b", 1, 0);
    point("c", 2, 0);
    object("o", 1, 1);
    const int v = variable("ang");
    const int between = reading(MEASURE_ANGLE, 0, "ang", REF_POINT, "a", REF_POINT, "b", REF_POINT, "c");
    const int at_end = reading(MEASURE_ANGLE, 0, "", REF_POINT, "a", REF_POINT, "c", REF_POINT, "b");
    const int right = reading(MEASURE_ANGLE, 0, "", REF_POINT, "a", REF_POINT, "b", REF_OBJECT, "o");
    const int dist = reading(MEASURE_DISTANCE, 0, "", REF_OBJECT, "o", REF_POINT, "a");
    jisuan_du_liang(*m);
    EXPECT_NEAR(m->measurements[between].value, 180.0, 1e-12);
    EXPECT_NEAR(m->measurements[at_end].value, 0.0, 1e-12);
    EXPECT_NEAR(m->measurements[right].value, 90.0, 1e-12);
    EXPECT_NEAR(m->measurements[dist].value, std::sqrt(2.0), 1e-15);
    EXPECT_EQ(m->variables[v].var_kind, 2);
    EXPECT_EQ(m->variables[v].reading_form, 1);
}

TEST_F(Readings, UnresolvedNamesKeepTheLastValue) {
    object("ball", 3, 4);
    const int v = variable("x");
    m->variable_texts[v][VT_VALUE] = "untouched";
    const int r = reading(MEASURE_QUANTITY, Q_X, "x", REF_OBJECT, "nobody");
    const int bad_kind = reading(MEASURE_QUANTITY, Q_X, "", 9, "ball");
    const int bad_code = reading(MEASURE_QUANTITY, 99, "", REF_OBJECT, "ball");
    m->measurements[r].value = 7;
    m->measurements[bad_kind].value = 8;
    m->measurements[bad_code].value = 9;
    jisuan_du_liang(*m);
    EXPECT_EQ(m->measurements[r].value, 7.0);
    EXPECT_EQ(m->measurements[bad_kind].value, 8.0);
    EXPECT_EQ(m->measurements[bad_code].value, 9.0);
    EXPECT_EQ(value_of(v), "untouched");
    write_bl_back(*m);  // the variable exists, the object does not: nothing is written
    EXPECT_EQ(m->objects[0].x, 3.0);
}

TEST_F(Readings, WritingAnAngleKeepsTheDistance) {
    const int b = object("ball", 3, 4);
    const int v = variable("deg");
    reading(MEASURE_QUANTITY, Q_DEG, "deg", REF_OBJECT, "ball");
    jisuan_du_liang(*m);
    m->variable_texts[v][VT_VALUE] = "90";
    write_bl_back(*m);
    EXPECT_NEAR(m->objects[b].x, 0.0, 1e-12);
    EXPECT_NEAR(m->objects[b].y, 5.0, 1e-12);
    // Before a run the start position moves too.
    EXPECT_EQ(m->objects[b].x0, m->objects[b].x);
    EXPECT_EQ(m->objects[b].y0, m->objects[b].y);
}

TEST_F(Readings, WritingASpeedKeepsTheDirection) {
    const int b = object("ball", 0, 0, 3, 4);
    const int v = variable("speed");
    reading(MEASURE_QUANTITY, Q_V, "speed", REF_OBJECT, "ball");
    jisuan_du_liang(*m);
    m->sim_time = 0.5;  // during a run the start values stay
    m->variable_texts[v][VT_VALUE] = "10";
    write_bl_back(*m);
    EXPECT_NEAR(m->objects[b].vx, 6.0, 1e-12);
    EXPECT_NEAR(m->objects[b].vy, 8.0, 1e-12);
    EXPECT_EQ(m->objects[b].vx0, 3.0);
}

TEST_F(Readings, AnUnchangedTextIsNotWrittenBack) {
    const int b = object("ball", 3, 4);
    m->objects[b].x = 1.0 / 3.0;
    const int v = variable("xv");
    reading(MEASURE_QUANTITY, Q_X, "xv", REF_OBJECT, "ball");
    jisuan_du_liang(*m);
    EXPECT_EQ(value_of(v), "0.3333");
    write_bl_back(*m);  // the program left the variable alone
    EXPECT_EQ(m->objects[b].x, 1.0 / 3.0);
    m->variable_texts[v][VT_VALUE] = "0.33333";  // same at 4 digits
    write_bl_back(*m);
    EXPECT_EQ(m->objects[b].x, 1.0 / 3.0);
    m->variable_texts[v][VT_VALUE] = "0.334";
    write_bl_back(*m);
    EXPECT_EQ(m->objects[b].x, 0.334);
}

TEST_F(Readings, WriteBackToPointsForcesAndNotAccelerations) {
    const int p = point("p", 1, 2);
    const int b = object("ball", 0, 0);
    m->objects[b].fx = 0;
    m->objects[b].fy = 2;
    const int vy = variable("py");
    const int vf = variable("fdeg");
    const int va = variable("ax");
    const int vbad = variable("bad");
    reading(MEASURE_QUANTITY, Q_Y, "py", REF_POINT, "p");
    reading(MEASURE_QUANTITY, Q_F_DEG, "fdeg", REF_OBJECT, "ball");
    reading(MEASURE_QUANTITY, Q_AX, "ax", REF_OBJECT, "ball");
    reading(MEASURE_QUANTITY, Q_X, "bad", REF_OBJECT, "ball");
    jisuan_du_liang(*m);
    m->variable_texts[vy][VT_VALUE] = "-4.5";
    m->variable_texts[vf][VT_VALUE] = "180";
    m->variable_texts[va][VT_VALUE] = "12";
    m->variable_texts[vbad][VT_VALUE] = "1e999";
    write_bl_back(*m);
    EXPECT_EQ(m->points[p].y, -4.5);
    EXPECT_NEAR(m->objects[b].fx, -2.0, 1e-12);
    EXPECT_NEAR(m->objects[b].fy, 0.0, 1e-12);
    EXPECT_EQ(m->objects[b].ax, 0.0);
    EXPECT_EQ(m->objects[b].x, 0.0);
}

// The unit a reading is shown with: by the measurement's type, and for a
// quantity by its code; readings without a known unit get none.
TEST(ReadingUnits, ByTypeAndQuantity) {
    const struct {
        std::int32_t type, quantity;
        const char* unit;
    } cases[] = {
        {MEASURE_QUANTITY, Q_X, "m"},
        {MEASURE_QUANTITY, Q_R, "m"},
        {MEASURE_QUANTITY, Q_DEG, "°"},
        {MEASURE_QUANTITY, Q_V, "m/s"},
        {MEASURE_QUANTITY, Q_VY, "m/s"},
        {MEASURE_QUANTITY, Q_A, "m/s²"},
        {MEASURE_QUANTITY, Q_A_DEG, "°"},
        {MEASURE_QUANTITY, Q_FX, "N"},
        {MEASURE_QUANTITY, Q_F_DEG, "°"},
        {MEASURE_DISTANCE, 0, "m"},
        {MEASURE_ANGLE, Q_V, "°"},
        {MEASURE_QUANTITY, Q_X - 1, nullptr},
        {MEASURE_QUANTITY, Q_F_DEG + 1, nullptr},
        {MEASURE_HIDDEN, Q_X, nullptr},
        {0, Q_X, nullptr},
        {7, Q_X, nullptr},  // a reading of another kind: its number alone
    };
    for (const auto& c : cases) {
        Measurement r{};
        r.type = c.type;
        r.quantity = c.quantity;
        const char* unit = reading_unit(r);
        SCOPED_TRACE(testing::Message() << c.type << " " << c.quantity);
        if (c.unit == nullptr)
            EXPECT_EQ(unit, nullptr);
        else
            EXPECT_STREQ(unit, c.unit);
    }
}

// Every parameter a reading can name has a unit, and a direction's is degrees.
TEST(ReadingUnits, EveryObjectParameterHasOne) {
    for (const ObjectParam& p : OBJECT_PARAMS) {
        const char* unit = quantity_unit(p.code);
        ASSERT_NE(unit, nullptr) << p.name;
        EXPECT_EQ(p.part == ParamPart::Direction, std::string_view(unit) == "°") << p.name;
    }
}

}  // namespace
}  // namespace quorrel
