// The OK rules of the property dialogs: untouched fields keep their exact
// values, every refusal names its field and stores nothing, the velocity as
// speed and direction, renaming, springs, and the conversions of the field
// and region dialogs.
#include "player/property_edit.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/gbk.h"
#include "support/objects.h"

namespace quorrel {
namespace {

class PropertyEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A start no dialog text shows exactly, as a drag to a pixel leaves it.
        MovingObject& a = test::set_object(*m, 0, KIND_BODY, 0.35000000000000003, -2, 3, 4, 2, 0.5);
        a.strobe_interval = 1;
        m->object_texts[0].name = utf8_to_gbk("小球");
        test::set_object(*m, 1, KIND_BODY, 3, 2);
        m->object_texts[1].name = "B";
        m->TH.rec[0] = {0, 0, 1.5, 20, 0, 0};        // spring from the origin to the ball
        m->E_SH.rec[0] = {1, 0, 9, 1, 0};            // rope between B and the ball
        m->measurements[0].type = MEASURE_DISTANCE;  // from the ball to B
        m->measurements[0].kind1 = m->measurements[0].kind2 = REF_OBJECT;
        m->measurement_texts[0][MT_POINT1] = m->object_texts[0].name;
        m->measurement_texts[0][MT_POINT2] = "B";
        f = object_fields(*m, 0);
    }

    bool ball_unchanged(const MovingObject& before) { return std::memcmp(&before, &m->objects[0], sizeof before) == 0; }

    std::unique_ptr<Model> m = make_model();
    ObjectFields f;
};

TEST_F(PropertyEditTest, UntouchedFieldsKeepTheirExactValues) {
    EXPECT_EQ(f.text[OT_X0], "0.35");
    EXPECT_EQ(f.text[OT_SPEED], "5");
    EXPECT_EQ(f.text[OT_ANGLE], "53.1301023542");
    const MovingObject before = m->objects[0];
    f.text[OT_CHARGE] = "1e-6";
    EXPECT_FALSE(apply_object_properties(*m, 0, f).refused);
    EXPECT_EQ(m->objects[0].x0, 0.35000000000000003);
    EXPECT_EQ(m->objects[0].charge, 1e-6);
    m->objects[0].charge = 0;
    EXPECT_TRUE(ball_unchanged(before));
}

TEST_F(PropertyEditTest, EachRefusalNamesItsFieldAndStoresNothing) {
    struct Case {
        int field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {OT_NAME, "", "请输入名称"},
        {OT_NAME, "B", "已经有此名称的运动对象,请用另外一个名称"},
        {OT_NAME, "球😀", "字符“😀”无法保存,请改用其他字符"},
        {OT_Y0, "1e999", "1e999  不是一个有效的实数!"},
        {OT_MASS, "0", "质量必须大于零。"},
        {OT_MASS, "abc", "abc  不是一个有效的实数!"},
        {OT_RADIUS, "-1", "半径必须大于或等于零。"},
        {OT_LOSS, "1.5", "碰撞损失系数必须在0到1之间。"},
        {OT_STROBE_INTERVAL, "0", "频闪间隔必须大于零。"},
        {connector_field(0, false), "-1", "弹簧原长必须大于或等于零。"},
        {connector_field(0, true), "0", "劲度系数必须大于零。"},
    };
    const MovingObject before = m->objects[0];
    for (const Case& c : cases) {
        ObjectFields g = f;
        g.text[OT_X0] = "7";  // valid, and earlier in the order: still not stored
        g.show_trail = true;
        if (c.field < OBJECT_TEXTS)
            g.text[c.field] = c.text;
        else if ((c.field - OBJECT_TEXTS) % 2 == 0)
            g.connectors[0].length = c.text;
        else
            g.connectors[0].stiffness = c.text;
        const EditRefusal r = apply_object_properties(*m, 0, g);
        EXPECT_TRUE(r.refused) << c.text;
        EXPECT_EQ(r.field, c.field) << c.text;
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.caption, "提示");
        EXPECT_TRUE(ball_unchanged(before)) << c.text;
        EXPECT_EQ(m->TH.rec[0].natural_length, 1.5);
    }
}

TEST_F(PropertyEditTest, SpeedAndDirectionGiveTheVelocityWhenTypedLast) {
    f.text[OT_SPEED] = "10";
    f.text[OT_ANGLE] = "90";
    f.text[OT_VX0] = "99";  // ignored: the polar texts were typed last
    f.polar_velocity = true;
    ASSERT_FALSE(apply_object_properties(*m, 0, f).refused);
    EXPECT_EQ(m->objects[0].vx0, 0);  // exactly: no cos(pi/2) residue
    EXPECT_EQ(m->objects[0].vy0, 10);

    f = object_fields(*m, 0);
    f.text[OT_ANGLE] = "-150";
    f.polar_velocity = true;
    ASSERT_FALSE(apply_object_properties(*m, 0, f).refused);
    EXPECT_NEAR(m->objects[0].vx0, -10 * std::sqrt(3.0) / 2, 1e-12);
    EXPECT_NEAR(m->objects[0].vy0, -5, 1e-12);

    f = object_fields(*m, 0);
    f.text[OT_SPEED] = "-1";
    f.polar_velocity = true;
    EXPECT_EQ(apply_object_properties(*m, 0, f).field, OT_SPEED);

    // Under relativity a body cannot start at the speed of light.
    m->settings.use_relativity = 1;
    m->settings.c = 3e8;
    f = object_fields(*m, 0);
    f.text[OT_VX0] = "3e8";
    const EditRefusal r = apply_object_properties(*m, 0, f);
    EXPECT_EQ(r.field, OT_VX0);
    EXPECT_EQ(r.message, "考虑相对论时，速率必须小于真空光速。");
}

TEST_F(PropertyEditTest, RenamingFollowsInMeasurementsAndSpringsAndFlagsAreStored) {
    ASSERT_EQ(f.connectors.size(), 2u);
    EXPECT_EQ(f.connectors[0].caption, "弹簧（固定端）");
    EXPECT_TRUE(f.connectors[0].editable);
    EXPECT_EQ(f.connectors[1].caption, "绳（连接“B”）");
    EXPECT_FALSE(f.connectors[1].editable);
    EXPECT_EQ(f.connectors[1].length, property_text(std::hypot(3 - 0.35000000000000003, 4)));  // from the starts

    f.text[OT_NAME] = "红球";
    f.connectors[0].length = "2";
    f.connectors[0].stiffness = "35";
    f.connectors[1].length = "100";  // read-only: not stored
    f.live_vector[VEC_FRICTION] = true;
    f.readout[READ_VX] = true;
    f.trail_colour = 0x123456;
    f.text[OT_MASS] = "4";
    ASSERT_FALSE(apply_object_properties(*m, 0, f).refused);
    EXPECT_EQ(m->object_texts[0].name, utf8_to_gbk("红球"));
    EXPECT_EQ(m->measurement_texts[0][MT_POINT1], utf8_to_gbk("红球"));
    EXPECT_EQ(m->measurement_texts[0][MT_POINT2], "B");
    EXPECT_EQ(m->TH.rec[0].natural_length, 2);
    EXPECT_EQ(m->TH.rec[0].stiffness, 35);
    EXPECT_EQ(m->E_SH.rec[0].length, 9);
    EXPECT_EQ(m->objects[0].live_vector_flags[VEC_FRICTION], 1);
    EXPECT_EQ(m->objects[0].readout_flags[READ_VX], 1);
    EXPECT_EQ(m->objects[0].trail_colour, 0x123456);
    EXPECT_EQ(m->objects[0].rest_mass, 4);
    EXPECT_EQ(m->objects[0].mass, 4);
}

TEST_F(PropertyEditTest, FieldAndRegionChecksAndConversions) {
    m->Z.rec[0] = {-1, -1, 1, 1, 0.5, 2, 1};
    m->M.rec[0] = {0, 0, 1e20};
    m->E.rec[0] = {0, 0, 1e-6};
    m->EA.rec[0] = {-1, -1, 1, 1, 0.3, 100};
    m->BA.rec[0] = {-1, -1, 1, 1, -1, 2};  // the shape's sign turns the field: -2 T
    struct Case {
        int table, row;
        const char* text;
        const char* message;
    };
    const Case cases[] = {{T_Z, 4, "0", "阻力系数必须大于零。"},
                          {T_M, 2, "-1", "质量必须大于零。"},
                          {T_E, 2, "0", "电荷量不能为零。"},
                          {T_EA, 5, "0", "电场强度不能为零。"},
                          {T_BA, 4, "0", "磁感应强度不能为零。"},
                          {T_EA, 2, "-2", "区域的右边界必须大于左边界。"},
                          {T_Z, 3, "-1", "区域的上边界必须大于下边界。"},
                          {T_BA, 0, "x", "x  不是一个有效的实数!"}};
    for (const Case& c : cases) {
        double before[11] = {}, after[11] = {};
        get_element(*m, c.table, 0, before);
        ElementFields e = element_fields(*m, c.table, 0);
        e.text[c.row] = c.text;
        const EditRefusal r = apply_element_properties(*m, c.table, 0, e);
        EXPECT_EQ(r.field, c.row) << c.text;
        EXPECT_EQ(r.message, c.message);
        get_element(*m, c.table, 0, after);
        EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    }

    // Untouched: nothing moves, not even the direction shown in degrees.
    const ElectricField ea = m->EA.rec[0];
    ASSERT_FALSE(apply_element_properties(*m, T_EA, 0, element_fields(*m, T_EA, 0)).refused);
    EXPECT_EQ(std::memcmp(&ea, &m->EA.rec[0], sizeof ea), 0);

    ElementFields e = element_fields(*m, T_EA, 0);
    e.text[4] = "90";
    ASSERT_FALSE(apply_element_properties(*m, T_EA, 0, e).refused);
    EXPECT_EQ(m->EA.rec[0].direction, PI / 2);

    e = element_fields(*m, T_BA, 0);
    EXPECT_EQ(e.text[4], "-2");
    EXPECT_EQ(e.choice, 0);
    e.text[4] = "3";
    e.choice = 1;
    ASSERT_FALSE(apply_element_properties(*m, T_BA, 0, e).refused);
    EXPECT_EQ(m->BA.rec[0].shape, -10);  // a circle, the sign kept
    EXPECT_EQ(m->BA.rec[0].induction, -3);

    e = element_fields(*m, T_Z, 0);
    EXPECT_EQ(e.choice, 1);
    e.choice = 2;
    ASSERT_FALSE(apply_element_properties(*m, T_Z, 0, e).refused);
    EXPECT_EQ(m->Z.rec[0].law, 2);
}

}  // namespace
}  // namespace quorrel
