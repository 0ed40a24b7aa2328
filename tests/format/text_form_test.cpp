// The text forms: every stored byte through TOML and JSON and back, the
// field tables against the stored layouts, the lossless GBK texts, the reset
// values of a short file and the reader's messages.
#include "format/text_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

#include "format/fields.h"
#include "format/fields_doc.h"
#include "format/io.h"
#include "io_fixtures.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

using namespace testing_io;

// Where two byte strings first differ ("equal" when they do not), for short failure messages.
std::string first_difference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    if (i == a.size() && i == b.size()) return "equal";
    return "differ at byte " + std::to_string(i) + " of " + std::to_string(a.size()) + " and " +
           std::to_string(b.size());
}

// Every stored byte comes back: the experiment file and the container (with
// its tool bar) are the same bytes after a trip through either text form.
TEST(TextForm, EveryStoredBytePassesThroughBothForms) {
    for (const NamedModel& c : every_fixture()) {
        // The model as a reader gives it back, so that the writers start alike.
        auto source = make_model();
        ASSERT_TRUE(read_container(*source, packed(*c.model)).ok) << c.name;
        make_experiment_values_finite(*source);
        const std::string exp = write_experiment(*source);
        const std::string container = write_container(*source);
        for (TextFormat f : {TextFormat::Toml, TextFormat::Json}) {
            SCOPED_TRACE(std::string(c.name) + (f == TextFormat::Toml ? " toml" : " json"));
            const std::string text = f == TextFormat::Toml ? write_toml(*source) : write_json(*source);
            auto back = make_model();
            const LoadResult r = read_text(*back, text, f);
            ASSERT_TRUE(r.ok) << r.message;
            EXPECT_EQ(first_difference(write_experiment(*back), exp), "equal");
            EXPECT_EQ(first_difference(write_container(*back), container), "equal");
            EXPECT_EQ(first_difference(dump_json(*back), dump_json(*source)), "equal");
        }
    }
}

TEST(TextForm, FieldsCoverEveryStoredByteOnce) {
    const auto check = [](std::span<const Field> fields, std::size_t stored, const char* what) {
        std::vector<int> covered(stored, 0);
        std::vector<std::string> names;
        for (const Field& f : fields) {
            for (const std::string& n : names) EXPECT_NE(n, f.name) << what;
            names.emplace_back(f.name);
            if (f.type == FieldType::Text) continue;
            ASSERT_LE(f.offset + field_bytes(f), stored) << what << "." << f.name;
            for (std::size_t b = 0; b < field_bytes(f); ++b) ++covered[f.offset + b];
        }
        for (std::size_t b = 0; b < stored; ++b) EXPECT_EQ(covered[b], 1) << what << " byte " << b;
    };
    for (const Section& s : SECTIONS)
        if (s.stored > 0) check(s.fields, s.stored, s.key);
    check(FONT_FIELDS, FONT_STORED, "font");
}

TEST(TextForm, GbkTextsSurviveEveryByte) {
    std::string bytes, back, bad;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; b += (a < 0x81 ? 255 : 1)) {
            bytes.assign({static_cast<char>(a), static_cast<char>(b)});
            ASSERT_TRUE(utf8_to_gbk_lossless(gbk_to_utf8_lossless(bytes), back, bad));
            ASSERT_EQ(back, bytes) << a << " " << b;
        }
    // Valid text stays readable; a byte that is not GBK shows as U+10FF00 + byte.
    EXPECT_EQ(gbk_to_utf8_lossless("\xd0\xa1\xc7\xf2\xff"), "小球\xF4\x8F\xBF\xBF");
    EXPECT_FALSE(utf8_to_gbk_lossless("ball 😀", back, bad));
    EXPECT_EQ(bad, "😀");
}

// Ten lines make a working experiment: everything left out is the reset model.
TEST(TextForm, OmittedFieldsTakeTheirResetValues) {
    const std::string ten_lines =
        "# one ball under gravity\n"
        "[settings]\n"
        "use_gravity = true\n"
        "\n"
        "[[objects]]\n"
        "kind = 1\n"
        "name = \"小球\"\n"
        "y0 = 10\n"
        "rest_mass = 1\n"
        "radius = 0.5\n";
    auto m = make_model();
    const LoadResult r = read_text(*m, ten_lines, TextFormat::Toml);
    ASSERT_TRUE(r.ok) << r.message;
    auto expected = make_model();
    expected->settings.use_gravity = 1;
    // A text form's frame is short enough for real time at the display's rate.
    expected->settings.steps_per_frame = TEXT_FORM_STEPS_PER_FRAME;
    MovingObject& o = expected->objects[0];
    o.kind = KIND_BODY;
    o.y0 = 10;
    o.rest_mass = 1;
    o.radius = 0.5;
    o.transparent = 1;  // the generated ball is drawn transparently on black
    expected->object_texts[0].name = utf8_to_gbk("小球");
    EXPECT_EQ(first_difference(write_experiment(*m), write_experiment(*expected)), "equal");
    EXPECT_FALSE(m->object_pictures[0].isNull());  // the generated ball
    EXPECT_EQ(m->variable_count, 1);
    EXPECT_EQ(m->variable_texts[0][VT_NAME], "t");
    // An experiment at the reset's 100 steps says so in its text and keeps them.
    const std::string toml = write_toml(*make_model());
    EXPECT_NE(toml.find("steps_per_frame = 100"), std::string::npos);
    ASSERT_TRUE(read_text(*m, toml, TextFormat::Toml).ok);
    EXPECT_EQ(m->settings.steps_per_frame, 100);
}

// Each error names the line and the field and says what is wrong.
TEST(TextForm, ErrorsNameTheLineAndTheField) {
    const Refusal cases[] = {
        {TextFormat::Toml, "[settings]\nscale = \"big\"\n", "第 2 行 settings.scale:应为数字,这里是文字。"},
        {TextFormat::Toml, "[settings]\nscael = 1\n", "第 2 行 settings.scael:没有这个字段。"},
        {TextFormat::Toml, "[setting]\n", "第 1 行 setting:没有这个表。"},
        {TextFormat::Toml, "[[objects]]\nkind = 0\n", "第 2 行 objects[0]:kind 不能为 0"},
        {TextFormat::Toml, "[[objects]]\nkind = 1\nstrobe_on = 300\n", "第 3 行 objects[0].strobe_on:300 超出了范围"},
        {TextFormat::Toml, "[[objects]]\nkind = 1\nball_rgb = [1, 2]\n", "ball_rgb:应有 3 个值,这里有 2 个。"},
        {TextFormat::Toml, "[[objects]]\nkind = 1\nname = \"😀\"\n", "objects[0].name:文字中的「😀」不能用 GBK 表示。"},
        {TextFormat::Toml, "[[elements.M]]\nvalues = [1, 2, 3]\nx = 4\n",
         "第 3 行 elements.M[0].x:元素已由 values 给出"},
        {TextFormat::Toml, "[[elements.M]]\nvalues = [1, 2]\n", "第 2 行 elements.M[0].values:应有 3 个数"},
        {TextFormat::Toml, "[[programs]]\nindex = 3\n[[programs]]\nindex = 2\n",
         "第 4 行 programs[1].index:2 超出了范围"},
        {TextFormat::Toml, "[[objects]]\nkind = 1\n[[pictures]]\nslot = 0\ndata = \"@@\"\n",
         "pictures[0].data:不是有效的 base64"},
        {TextFormat::Toml, "[settings]\ng = 1\ng = 2\n", "第 3 行 TOML 语法错误"},
        {TextFormat::Json, "{\n  \"settings\": {\n    \"g\": \"x\"\n  }\n}\n", "第 3 行 settings.g:应为数字"},
        {TextFormat::Json, "{\n  \"objects\": [\n    {\"kind\": 1,}\n  ]\n}\n", "第 3 行 JSON 语法错误"},
    };
    expect_refused(cases);
}

// Hostile texts: nesting that would exhaust the parsers' stacks, keys of
// megabytes, values that are not numbers at all. Each is refused at once
// with a short message naming its line.
TEST(TextForm, HostileTextsAreRefusedWithShortMessages) {
    const auto repeat = [](std::string_view s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    // `a.a. ... .a` with n parts.
    const auto dotted = [&](int n) { return repeat("a.", n - 1) + "a"; };
    // [[a]], [[a.a]] ...: n lists of tables, each in the last table of the one before.
    const auto lists_of_tables = [&](int n) {
        std::string out;
        for (int i = 1; i <= n; ++i) out += "[[" + dotted(i) + "]]\n";
        return out;
    };
    const std::string huge_key(1 << 20, 'k'), shown = std::string(40, 'k') + "…";
    const std::string too_deep = "表和列表嵌套太深(最多 64 层)";
    const Refusal cases[] = {
        // Nesting: headers, dotted keys, inline values and JSON, each just
        // within the limit (refused for another reason) and beyond it.
        {TextFormat::Toml, "[" + dotted(64) + "]\n", "第 1 行 a:没有这个表"},
        {TextFormat::Toml, "[" + dotted(65) + "]\n", "第 1 行 " + too_deep},
        {TextFormat::Toml, "[" + dotted(20000) + "]\n", "第 1 行 " + too_deep},
        {TextFormat::Toml, "[[" + dotted(64) + "]]\n", "第 1 行 " + too_deep},
        {TextFormat::Toml, lists_of_tables(32), "第 1 行 a:没有这个表"},
        {TextFormat::Toml, lists_of_tables(33), "第 33 行 " + too_deep},
        {TextFormat::Toml, "[settings]\n# [\n" + dotted(20000) + " = 1\n", "第 3 行 " + too_deep},
        {TextFormat::Toml, "x = \"[[[\"\ny = " + repeat("[", 200) + repeat("]", 200) + "\n", "第 2 行 " + too_deep},
        {TextFormat::Toml, "x = '''\n{{{'''\ny = " + repeat("{a=", 100) + "1" + repeat("}", 100) + "\n",
         "第 3 行 " + too_deep},
        {TextFormat::Json, "{\"x\":" + repeat("[", 64) + repeat("]", 64) + "}", "第 1 行 x:没有这个表"},
        {TextFormat::Json, "{\"x\":" + repeat("[", 65) + repeat("]", 65) + "}", "第 1 行 " + too_deep},
        {TextFormat::Json, "{\n\"x\": \"[{\\\"\",\n\"y\":" + repeat("[", 1001), "第 3 行 " + too_deep},
        {TextFormat::Json, repeat("{\"a\":", 100000), "第 1 行 " + too_deep},
        // The top level of JSON is not an object.
        {TextFormat::Json, "[1, 2]", "应为表,这里是列表"},
        {TextFormat::Json, "\"x\"", "第 1 行 JSON 语法错误"},
        {TextFormat::Json, "5", "第 1 行 JSON 语法错误"},
        // A key of a megabyte is quoted by its start, on its own line.
        {TextFormat::Toml, "[settings]\n\n\"" + huge_key + "\" = 1\n", "第 3 行 settings." + shown + ":没有这个字段"},
        {TextFormat::Toml, "[" + huge_key + "]\n", "第 1 行 " + shown + ":没有这个表"},
        {TextFormat::Json, "{\"settings\": {\n\"" + huge_key + "\":\n\n1}}", "第 2 行 settings." + shown},
        {TextFormat::Toml, "[[objects]]\nkind = 1\n[[pictures]]\nslot = 0\nfile = \"" + huge_key + "\"\n",
         "第 5 行 pictures[0].file:不能读取文件「" + shown + "」"},
        // A JSON member's line is its key's, not its value's.
        {TextFormat::Json, "{\"settings\": {\n\"scael\":\n\n1}}", "第 2 行 settings.scael:没有这个字段"},
        {TextFormat::Toml, "[settings]\n\ng = 1979-05-27\n", "第 3 行 日期和时间不能用作实验中的值"},
        // NaN and the infinities are not values of an experiment.
        {TextFormat::Toml, "[[objects]]\nkind = 1\nx0 = nan\n", "第 3 行 objects[0].x0:应为有限的数,这里是 NaN。"},
        {TextFormat::Toml, "[settings]\ntime_step = -inf\n",
         "第 2 行 settings.time_step:应为有限的数,这里是 -Infinity"},
        {TextFormat::Json, "{\"objects\": [{\"kind\": 1,\n\"vy0\": \"Infinity\"}]}",
         "第 2 行 objects[0].vy0:应为有限的数,这里是 Infinity"},
        {TextFormat::Json, "{\"objects\": [{\"kind\": 1, \"rest_mass\": \"NaN:0x7FF0000000000001\"}]}",
         "objects[0].rest_mass:应为有限的数,这里是 NaN:0x7FF0000000000001"},
        {TextFormat::Toml, "[[elements.M]]\nvalues = [1, 2, inf]\n", "第 2 行 elements.M[0].values[2]:应为有限的数"},
        {TextFormat::Toml, "[[elements.M]]\nmass = 1\n\nx = nan\n", "第 4 行 elements.M[0].x:应为有限的数"},
    };
    expect_refused(cases);
    // The values the player recomputes keep what a file held.
    auto m = make_model();
    const LoadResult ok =
        read_text(*m, "[[objects]]\nkind = 1\nrest_mass = 1\nvx = nan\nmass = -inf\n", TextFormat::Toml);
    ASSERT_TRUE(ok.ok) << ok.message;
    EXPECT_TRUE(std::isnan(m->objects[0].vx));
    EXPECT_EQ(m->objects[0].mass, -std::numeric_limits<double>::infinity());
}

TEST(TextForm, TheAuthoringDocumentHoldsTheCodesTablesOfFields) {
    std::string doc;
    ASSERT_TRUE(read_whole_file(QUORREL_SOURCE_DIR "/docs/authoring.md", doc));
    const auto begin = doc.find(FIELDS_BEGIN), end = doc.find(FIELDS_END);
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const std::size_t from = begin + std::strlen(FIELDS_BEGIN);
    EXPECT_TRUE(doc.substr(from, end - from) == "\n" + fields_markdown() + "\n")
        << "docs/authoring.md is out of date: run quorrel-tool fields --update docs/authoring.md";
}

TEST(TextForm, FormsAreToldByTheExtension) {
    EXPECT_EQ(text_format_of("a/b.TOML"), TextFormat::Toml);
    EXPECT_EQ(text_format_of("b.json"), TextFormat::Json);
    EXPECT_EQ(text_format_of("b.exp"), TextFormat::None);
    EXPECT_EQ(text_format_of("dir.toml/b"), TextFormat::None);
}

}  // namespace
}  // namespace quorrel
