#include "model/model.h"

#include <gtest/gtest.h>

#include <utility>

#include "model/gbk.h"

namespace quorrel {
namespace {

TEST(ModelReset, KeepsTheSettingsAResetDoesNotTouch) {
    auto m = make_model();
    m->settings.show_grid = 1;
    m->settings.show_fine_grid = 1;
    m->settings.axes_colour = 0x123456;
    m->settings.v_scale = 7.5;
    m->settings.force_colours[10] = 0x010203;
    m->settings.pause_time = 2.0;
    m->digits = 6;
    m->settings.g = 1.0;
    m->settings.steps_per_frame = 3;
    m->settings.selected_object = 4;
    reset_model(*m);
    EXPECT_EQ(m->settings.show_grid, 1);
    EXPECT_EQ(m->settings.show_fine_grid, 1);
    EXPECT_EQ(m->settings.axes_colour, 0x123456);
    EXPECT_EQ(m->settings.v_scale, 7.5);
    EXPECT_EQ(m->settings.force_colours[10], 0x010203);
    EXPECT_EQ(m->settings.pause_time, 2.0);
    EXPECT_EQ(m->digits, 6);
    EXPECT_EQ(m->settings.g, 9.8);
    EXPECT_EQ(m->settings.steps_per_frame, 100);
    EXPECT_EQ(m->settings.selected_object, -1);
}

TEST(ModelReset, FillsTablesWithTheirResetValues) {
    auto m = make_model();
    EXPECT_EQ(m->variable_count, 1);
    EXPECT_EQ(m->variable_texts[0][VT_NAME], "t");
    EXPECT_EQ(gbk_to_utf8(m->variable_texts[0][VT_DESCRIPTION]), "时间变量");
    EXPECT_EQ(m->variable_texts[299][VT_VALUE], "0");
    EXPECT_EQ(m->variable_texts[299][VT_INITIAL], "0");
    EXPECT_EQ(m->program_count, 1);
    EXPECT_EQ(m->programs[0].word[0], 3);
    EXPECT_EQ(m->measurements[5].show_lines, 1);
    EXPECT_EQ(m->points[7].vector_scale, 1.0);
    EXPECT_EQ(m->points[7].colour, 0xFFFF00);
    EXPECT_EQ(m->point_texts[7][PT_VECTOR_X], "0");
    EXPECT_EQ(m->objects[49].strobe_interval, 1.0);
    EXPECT_EQ(m->graphs[9].origin_x, 120.0);
    EXPECT_EQ(m->graphs[9].background, 0xFFFFFF);
    EXPECT_EQ(m->graphs[9].curve_colour[4], 0x800000);
    EXPECT_EQ(m->graph_window.r1, 10.0);
    EXPECT_EQ(m->graph_window.f1, 1);
    EXPECT_EQ(gbk_to_utf8(m->graph_title), "未命名曲线");
    EXPECT_EQ(m->text_blocks[0].font.colour, 0xFF0000);
}

TEST(ModelTables, ScansStopAtCapacityAndAtTheFirstEmptySlot) {
    auto m = make_model();
    EXPECT_EQ(object_count(*m), 0);
    for (auto& o : m->objects) o.kind = KIND_BODY;
    EXPECT_EQ(object_count(*m), MAX_OBJECTS);
    m->objects[3].kind = 0;
    EXPECT_EQ(object_count(*m), 3);
    for (int i = 0; i < MAX_ELEMENTS; ++i) m->Z.rec[i].coefficient = 1;
    EXPECT_EQ(element_count(*m, T_Z), MAX_ELEMENTS);
    // A straight track with A = 0 is present when B is non-zero.
    m->TB.rec[0].b = 1.0;
    EXPECT_TRUE(element_present(*m, T_TB, 0));
    EXPECT_EQ(element_count(*m, T_TB), 1);
}

TEST(ModelTables, LookupReturnsTheLowestMatchingSlot) {
    auto m = make_model();
    for (int i = 0; i < 3; ++i) m->objects[i].kind = KIND_BODY;
    m->object_texts[0].name = "a";
    m->object_texts[1].name = "b";
    m->object_texts[2].name = "b";
    EXPECT_EQ(find_object(*m, "b"), 1);
    EXPECT_EQ(find_object(*m, "c"), -1);
    m->objects[1].kind = 0;  // the list ends at slot 1
    EXPECT_EQ(find_object(*m, "b"), -1);
    m->points[0].kind = 1;
    m->point_texts[0][PT_NAME] = "p";
    EXPECT_EQ(find_point(*m, "p"), 0);
}

TEST(ModelTables, GenericElementAccessFollowsStoredOrder) {
    auto m = make_model();
    const double in[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    set_element(*m, T_TB, 2, in);
    EXPECT_EQ(m->TB.rec[2].c, 3);
    EXPECT_EQ(m->TB.rec[2].static_mu, 11);
    set_element(*m, T_E_GAN, 0, in);
    EXPECT_EQ(m->E_GAN.rec[0].state, 4);
    double out[11] = {};
    get_element(*m, T_CT, 0, out);
    EXPECT_EQ(out[4], 0);
}

TEST(ModelSnapshot, RestoresObjectsAndPoints) {
    auto m = make_model();
    m->objects[0].kind = KIND_BODY;
    m->objects[0].x = 1;
    m->object_texts[0].name = "ball";
    m->points[0].kind = 1;
    m->points[0].x = 2;
    take_snapshot(*m);
    m->objects[0].x = 5;
    m->object_texts[0].name = "other";
    m->points[0].x = 6;
    restore_snapshot(*m);
    EXPECT_EQ(m->objects[0].x, 1);
    EXPECT_EQ(m->object_texts[0].name, "ball");
    EXPECT_EQ(m->points[0].x, 2);
}

TEST(Gbk, ConvertsBothWaysAndReplacesWhatItCannot) {
    EXPECT_EQ(utf8_to_gbk("和"), "\xba\xcd");
    EXPECT_EQ(gbk_to_utf8("\xba\xcd"), "和");
    EXPECT_EQ(gbk_to_utf8("a\xff"), "a\xEF\xBF\xBD");
    EXPECT_EQ(utf8_to_gbk("x\xF0\x9F\x98\x80y"), "x?y");
}

// radians() and degrees() multiply first and divide after; deg * DEG rounds
// differently for some angles, and the physics depends on the exact order.
TEST(VectorHelpers, AngleConversionsKeepTheirOrderOfOperations) {
    int differs = 0;
    for (int d = -720; d <= 720; ++d) {
        const double deg = d * 0.5;
        EXPECT_EQ(radians(deg), deg * PI / 180.0) << deg;
        EXPECT_EQ(degrees(radians(deg)), radians(deg) * 180.0 / PI) << deg;
        if (radians(deg) != deg * DEG) ++differs;
    }
    EXPECT_GT(differs, 0);
    EXPECT_EQ(length(3.0, 4.0), 5.0);
    EXPECT_EQ(length(XY{-3.0, 4.0}), 5.0);
}

// Lines written straight into any program, counted or not, are cleared by a
// reset and do not survive being overwritten by a table with fewer programs.
TEST(ProgramLines, ResetCopyAndMoveReachEveryWrittenProgram) {
    auto m = make_model();
    m->program_lines[0][0] = "a=1";
    m->program_lines[MAX_PROGRAMS - 1][PROGRAM_LINES - 1] = "b=2";
    ProgramLines copy = m->program_lines;
    EXPECT_EQ(copy[MAX_PROGRAMS - 1][PROGRAM_LINES - 1], "b=2");

    reset_programs(*m);
    EXPECT_TRUE(m->program_lines[0][0].empty());
    EXPECT_TRUE(m->program_lines[MAX_PROGRAMS - 1][PROGRAM_LINES - 1].empty());
    EXPECT_EQ(m->program_count, 1);

    ProgramLines few;
    few[2][3] = "c=3";
    copy = few;
    EXPECT_TRUE(copy[MAX_PROGRAMS - 1][PROGRAM_LINES - 1].empty());
    EXPECT_EQ(copy[2][3], "c=3");

    ProgramLines target;
    target[50][0] = "d=4";
    target = std::move(few);
    EXPECT_TRUE(target[50][0].empty());
    few.clear();
    EXPECT_TRUE(few[50][0].empty());
    EXPECT_EQ(target[2][3], "c=3");
    // A program never written reads as empty lines.
    EXPECT_TRUE(std::as_const(target)[MAX_PROGRAMS - 2][0].empty());
}

}  // namespace
}  // namespace quorrel
