// The hints of check_experiment: one small text form per row, the line of
// the record it names and a phrase of its message; the bundled demos give
// none; the player shows them in its status line.
#include "player/checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "demos/demos.h"
#include "format/text_form.h"
#include "support/file_player.h"

namespace quorrel {
namespace {

// A visible body of mass 1 and radius 10 (the reset scale is 10 m per pixel).
std::string body(double x, double y, const char* more = "") {
    return "[[objects]]\nkind = 1\nrest_mass = 1\nradius = 10\nball_rgb = [200, 200, 200]\nx0 = " + std::to_string(x) +
           "\ny0 = " + std::to_string(y) + "\n" + more;
}

// A straight track along y = 0 from x = -200 to 200, and an arc of radius
// 100 about the origin (the whole circle).
const std::string GROUND = "[[elements.TB]]\na = 1\nb = 1e70\nnorm = 1e70\nx1 = -200\nx2 = 200\n";
const std::string RING = "[[elements.CT]]\nradius = 100\nend_angle = 6.283185307179586\n";

std::vector<Finding> check_text(const std::string& text) {
    auto m = make_model();
    LoadScratch scratch;
    const LoadResult r = read_text_form(*m, text, TextFormat::Toml, "", scratch);
    EXPECT_TRUE(r.ok) << r.message;
    return check_experiment(*m, scratch.record_lines);
}

struct Row {
    const char* what;
    std::string text;
    int line;            // of the one expected hint; -1: no hint
    const char* phrase;  // in its message
};

class CheckTest : public ::testing::TestWithParam<Row> {
protected:
    static void SetUpTestSuite() { test::ensure_gui_app(); }
};

TEST_P(CheckTest, GivesTheExpectedHint) {
    const Row& row = GetParam();
    const std::vector<Finding> found = check_text(row.text);
    if (row.line < 0) {
        EXPECT_TRUE(found.empty()) << finding_line(found.front());
        return;
    }
    ASSERT_EQ(found.size(), 1u) << (found.empty() ? "none" : findings_tooltip(found));
    EXPECT_EQ(found[0].line, row.line);
    EXPECT_NE(found[0].text.find(row.phrase), std::string::npos) << found[0].text;
}

const std::string COLLISIONS = "[settings]\nuse_collisions = true\n";
const std::string GRAVITY = "[settings]\nuse_gravity = true\n";
const std::string PLANK = "[[objects]]\nkind = 3\nrest_mass = 5\nwidth = 100\nheight = 10\n";
// A 30° incline rising to the right, base 300, its centroid at the origin.
const std::string INCLINE =
    "[[objects]]\nkind = 4\nrest_mass = 5\nwidth = 300\nheight = 173.20508075688772\n"
    "angle_a = 30\ny0 = 57.73502691896257\n";
std::string block(double x, double y, int host = 0) {
    return "[[objects]]\nkind = 2\nrest_mass = 1\nwidth = 10\nheight = 10\nhost = " + std::to_string(host) +
           "\nx0 = " + std::to_string(x) + "\ny0 = " + std::to_string(y) + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckTest,
    ::testing::Values(
        Row{"massless_under_gravity", GRAVITY + "[[objects]]\nkind = 1\nradius = 10\nball_rgb = [9, 9, 9]\n", 3,
            "没有质量"},
        Row{"massless_without_gravity", "[[objects]]\nkind = 1\nradius = 10\nball_rgb = [9, 9, 9]\n", -1, ""},
        Row{"spring_to_missing_object", body(0, 0) + "[[elements.TH]]\nstiffness = 5\nobject = 3\n", 8, "不存在"},
        Row{"rope_end_b_missing", body(0, 0) + "[[elements.E_SH]]\nlength = 5\nstate = 1\nobject_b = 4\n", 8, "B 端"},
        Row{"reading_of_missing_object",
            body(0, 0) + "[[measurements]]\ntype = 1\nquantity = 100\nkind1 = 1\ntexts = [\"v\", \"\", \"0\", "
                         "\"无此物\", \"\", \"\"]\n",
            8, "「无此物」不是任何运动对象"},
        Row{"distance_to_missing_point",
            body(0, 0, "name = \"球\"\n") +
                "[[measurements]]\ntype = 2\nkind1 = 1\nkind2 = 2\ntexts = [\"d\", \"\", \"0\", \"球\", \"P\", \"\"]\n",
            9, "第 2 个名字「P」不是任何点"},
        Row{"graph_of_missing_variable",
            "[[function_graphs]]\nkind = 1\ntexts2 = [\"nov\", \"数值0\", \"数值0\", \"数值0\", \"数值0\"]\n", 1,
            "y 变量「nov」"},
        Row{"annotation_without_font_size",
            "[[annotations]]\nin_use = 1\ntext = \"看\"\nfont = { colour = 0xFFFFFF }\n", 1, "没有高度"},
        Row{"text_in_background_colour",
            "[settings]\nbackground_colour = 0xFFFFFF\n\n[[text_blocks]]\nin_use = 1\nlines = [\"x\"]\n"
            "font = { colour = 0xFFFFFF, height = -13, size = 10 }\n",
            4, "文字颜色与背景颜色相同"},
        Row{"body_in_background_colour",
            "[settings]\nbackground_colour = 0xFFFFFF\n[[objects]]\nkind = 1\nrest_mass = 1\nball_rgb = [230, 240, "
            "250]\n",
            3, "颜色与背景颜色相同"},
        // The darkest ball is still drawn 48 above black.
        Row{"black_body_on_black", "[[objects]]\nkind = 1\nrest_mass = 1\nradius = 10\n", -1, ""},
        Row{"bodies_overlapping", COLLISIONS + body(0, 0) + body(15, 0), 10, "重叠"},
        Row{"bodies_touching", COLLISIONS + body(0, 0) + body(20, 0), -1, ""},
        Row{"bodies_overlapping_without_collisions", body(0, 0) + body(15, 0), -1, ""},
        Row{"body_sunk_in_track", body(0, 5) + GROUND, 1, "直轨道 TB 0"},
        Row{"body_resting_on_track", body(0, 10) + GROUND, -1, ""},
        Row{"body_threaded_on_track", body(0, 0) + GROUND, -1, ""},
        Row{"body_on_the_line_past_the_track", body(300, 0) + GROUND, -1, ""},
        Row{"body_sunk_in_arc", body(0, -95) + RING, 1, "圆轨道 CT 0"},
        Row{"body_inside_arc", body(0, -90) + RING, -1, ""}, Row{"block_on_plank", PLANK + block(0, 10), -1, ""},
        Row{"block_above_plank", PLANK + block(0, 30), 6, "不在平板 0"},
        Row{"block_beside_plank", PLANK + block(80, 10), 6, "不在平板 0"},
        // The bottom's middle on the slope: 202.5 from the foot, half the height along the normal.
        Row{"block_on_incline",
            INCLINE + block(0, 202.5 * std::tan(std::numbers::pi / 6) + 5 * std::cos(std::numbers::pi / 6)), -1, ""},
        Row{"block_in_incline", INCLINE + block(0, 40), 8, "不在斜面 0"},
        Row{"block_on_a_body", body(0, 0) + block(0, 20), 8, "不是平板或斜面"},
        Row{"body_out_of_view", body(6000, 0), 1, "画面之外"}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.what); });

TEST(CheckDemos, EveryDemoGivesNoHint) {
    test::ensure_gui_app();
    auto m = make_model();
    LoadScratch scratch;
    for (const DemoInfo& d : all_demos()) {
        ASSERT_TRUE(load_demo(*m, d, scratch).ok) << d.text_name;
        const std::vector<Finding> found = check_experiment(*m, scratch.record_lines);
        EXPECT_TRUE(found.empty()) << d.text_name << ":\n" << findings_tooltip(found);
    }
}

using CheckPlayerTest = test::FilePlayerTest;

// Opening shows the hints in the status line with the whole list as tool
// tip; a reload of the mended file takes them away.
TEST_F(CheckPlayerTest, OpeningAndReloadingShowTheHints) {
    const std::string file =
        write("two.toml", "[settings]\nuse_collisions = true\n" + body(0, 0) + body(15, 0) + body(9000, 0));
    ASSERT_TRUE(load_any(p, file));
    EXPECT_EQ(p.status_text.rfind("2 条提示：第 10 行 运动对象 1", 0), 0u) << p.status_text;
    EXPECT_NE(p.status_tooltip.find("\n第 17 行 运动对象 2"), std::string::npos) << p.status_tooltip;

    write("two.toml", body(0, 0) + body(20, 0));
    ASSERT_TRUE(reload_experiment(p, file));
    EXPECT_EQ(p.status_text, "");
    EXPECT_EQ(p.status_tooltip, "");
}

}  // namespace
}  // namespace quorrel
