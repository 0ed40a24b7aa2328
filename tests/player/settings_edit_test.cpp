// The OK rules of the settings and vector display dialogs: the order of the
// checks, the messages, and which values are already stored when OK is refused.
#include "player/settings_edit.h"

#include <gtest/gtest.h>

namespace quorrel {
namespace {

constexpr const char* STEPS_MESSAGE = "每脉扫描次数必须大于1。";
constexpr const char* DIGITS_MESSAGE = "数据输出的有效位数必须大于零且小于十。";
constexpr const char* SCALE_MESSAGE = "矢量的比例必须是大于零的实数。";

class SettingsEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& s = m->settings;
        s.time_step = 0.001;
        s.steps_per_frame = 100;
        s.pause_time = 0.5;
        s.g = 9.8;
        s.G = 6.672e-11;
        s.k = 9e9;
        s.c = 3e8;
        s.show_grid = 0;
        s.line_width = 1;
        s.v_scale = s.a_scale = s.f_scale = 1;
        for (int i = 0; i < FORCE_COLOURS; ++i) s.force_colours[i] = 0x100 + i;
        m->digits = 4;
        f = settings_fields(*m);
    }

    std::unique_ptr<Model> m = make_model();
    SettingsFields f;
};

TEST_F(SettingsEditTest, FieldsShowTheModelAndAcceptUnchanged) {
    m->settings.time_step = 1e-12;
    m->settings.G = 6.672e-11;
    m->settings.line_width = 3;
    f = settings_fields(*m);
    EXPECT_EQ(f.text[ST_TIME_STEP], "1e-12");
    EXPECT_EQ(f.text[ST_PAUSE], "0.5");
    EXPECT_EQ(f.text[ST_GRAVITATION], "6.672E-11");
    EXPECT_EQ(f.text[ST_K], "9E9");
    EXPECT_TRUE(f.flag[SF_BOLD_LINES]);
    EXPECT_FALSE(apply_settings(*m, f).refused);
    EXPECT_EQ(m->settings.time_step, 1e-12);
    EXPECT_EQ(m->settings.line_width, 2);  // bold lines are stored as width 2
}

TEST_F(SettingsEditTest, StepsPerFrameMustExceedOne) {
    f.text[ST_STEPS] = "2";
    EXPECT_FALSE(apply_settings(*m, f).refused);
    EXPECT_EQ(m->settings.steps_per_frame, 2);
    for (const char* bad : {"1", "0", "-1"}) {
        f.text[ST_STEPS] = bad;
        const EditRefusal r = apply_settings(*m, f);
        EXPECT_TRUE(r.refused) << bad;
        EXPECT_EQ(r.field, ST_STEPS);
        EXPECT_EQ(r.message, STEPS_MESSAGE);
        EXPECT_EQ(r.caption, "提示");
        EXPECT_TRUE(r.ok_cancel);
        EXPECT_EQ(m->settings.steps_per_frame, 2);
    }
}

TEST_F(SettingsEditTest, DigitsMustLieBetweenOneAndNine) {
    f.text[ST_DIGITS] = "9";
    EXPECT_FALSE(apply_settings(*m, f).refused);
    EXPECT_EQ(m->digits, 9);
    for (const char* bad : {"0", "10"}) {
        f.text[ST_DIGITS] = bad;
        const EditRefusal r = apply_settings(*m, f);
        EXPECT_EQ(r.field, ST_DIGITS);
        EXPECT_EQ(r.message, DIGITS_MESSAGE);
        EXPECT_EQ(m->digits, 9);
    }
}

TEST_F(SettingsEditTest, PauseZeroMeansNoPauseAndNegativeIsRefused) {
    f.text[ST_PAUSE] = "0";
    EXPECT_FALSE(apply_settings(*m, f).refused);
    EXPECT_EQ(m->settings.pause_time, 0);
    f.text[ST_PAUSE] = "-1";
    EXPECT_EQ(apply_settings(*m, f).field, ST_PAUSE);
    EXPECT_EQ(m->settings.pause_time, 0);
}

TEST_F(SettingsEditTest, ConstantsAndDigitsStayStoredWhenALaterFieldIsRefused) {
    f.text[ST_G] = "5";
    f.text[ST_DIGITS] = "6";
    f.text[ST_TIME_STEP] = "0";
    f.text[ST_STEPS] = "7";
    f.flag[SF_SHOW_GRID] = true;
    const EditRefusal r = apply_settings(*m, f);
    EXPECT_EQ(r.field, ST_TIME_STEP);
    EXPECT_EQ(r.message, "实验最小扫描时间必须大于零。");
    // The dialog is then cancelled: what OK already stored stays.
    EXPECT_EQ(m->settings.g, 5);
    EXPECT_EQ(m->digits, 6);
    EXPECT_EQ(m->settings.time_step, 0.001);
    EXPECT_EQ(m->settings.steps_per_frame, 100);
    EXPECT_EQ(m->settings.show_grid, 0);
}

TEST_F(SettingsEditTest, TextsThatAreNoNumbersAreNamedInTheMessageInFieldOrder) {
    f.text[ST_G] = "4";
    f.text[ST_GRAVITATION] = "abc";
    f.text[ST_TIME_STEP] = "x";
    EditRefusal r = apply_settings(*m, f);
    EXPECT_EQ(r.field, ST_GRAVITATION);
    EXPECT_EQ(r.message, "abc  不是一个有效的实数!");
    EXPECT_EQ(m->settings.g, 4);
    EXPECT_EQ(m->settings.G, 6.672e-11);

    f.text[ST_GRAVITATION] = "1";
    f.text[ST_TIME_STEP] = "0.01";
    f.text[ST_STEPS] = "2.5";
    r = apply_settings(*m, f);
    EXPECT_EQ(r.field, ST_STEPS);
    EXPECT_EQ(r.message, "2.5  不是一个有效的整数!");

    // A real too large for a double is not a usable time step.
    f.text[ST_STEPS] = "10";
    f.text[ST_TIME_STEP] = "1e999";
    EXPECT_EQ(apply_settings(*m, f).field, ST_TIME_STEP);
    EXPECT_EQ(m->settings.time_step, 0.001);
}

TEST_F(SettingsEditTest, DefaultConstantsTouchOnlyTheFourConstants) {
    f.text[ST_G] = "1";
    f.text[ST_C] = "2";
    f.text[ST_TIME_STEP] = "0.5";
    f.text[ST_DIGITS] = "7";
    f.flag[SF_SHOW_GRID] = true;
    f.axes_colour = 0x123456;
    SettingsFields expected = f;
    expected.text[ST_G] = "9.8";
    expected.text[ST_GRAVITATION] = "6.672E-11";
    expected.text[ST_K] = "9E9";
    expected.text[ST_C] = "3E8";
    default_constants(f);
    for (int t = 0; t < SETTINGS_TEXTS; ++t) EXPECT_EQ(f.text[t], expected.text[t]) << t;
    EXPECT_TRUE(f.flag[SF_SHOW_GRID]);
    EXPECT_EQ(f.axes_colour, 0x123456);
    EXPECT_EQ(m->settings.g, 9.8);  // the model waits for OK
}

TEST_F(SettingsEditTest, VectorScalesAreStoredOneByOneAndMustBePositive) {
    VectorFields v = vector_fields(*m);
    v.scale[0] = "2.5";
    v.scale[1] = "0";
    v.force_colours[0] = 0xABCDEF;
    EditRefusal r = apply_vector_settings(*m, v);
    EXPECT_EQ(r.field, 1);
    EXPECT_EQ(r.message, SCALE_MESSAGE);
    EXPECT_EQ(m->settings.v_scale, 2.5);  // stored before the refusal
    EXPECT_EQ(m->settings.a_scale, 1);
    EXPECT_EQ(m->settings.force_colours[0], 0x100);  // colours only once all scales are valid

    v.scale[1] = "-3";
    EXPECT_EQ(apply_vector_settings(*m, v).field, 1);
    v.scale[1] = "3";
    v.scale[2] = "q";
    r = apply_vector_settings(*m, v);
    EXPECT_EQ(r.field, 2);
    EXPECT_EQ(r.message, "q  不是一个有效的实数!");
    EXPECT_EQ(r.caption, "提示");
}

TEST_F(SettingsEditTest, VectorOkStoresTheForceColoursExceptTheTwoReservedOnes) {
    VectorFields v = vector_fields(*m);
    for (int i = 0; i < FORCE_COLOURS; ++i) v.force_colours[i] = 0x200 + i;
    EXPECT_FALSE(apply_vector_settings(*m, v).refused);
    for (int i = 0; i < FORCE_COLOURS; ++i)
        EXPECT_EQ(m->settings.force_colours[i], i == 4 || i == 6 ? 0x100 + i : 0x200 + i) << i;
}

}  // namespace
}  // namespace quorrel
