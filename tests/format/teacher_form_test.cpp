// The teacher's form of the text forms: words, object names and degrees read
// as the codes, slots and radians they stand for, and are refused with the
// line and the field when they stand for nothing.
#include <gtest/gtest.h>

#include <string>

#include "format/text_form.h"
#include "io_fixtures.h"

namespace quorrel {
namespace {

using namespace testing_io;

struct SameAs {
    const char* what;
    std::string teacher;  // TOML in the teacher's form
    std::string stored;   // the same experiment with codes, slots and radians
};

const std::string BALL = "[[objects]]\nkind = 1\nname = \"小球\"\nrest_mass = 1\n";
const std::string TWO_BALLS = BALL + "[[objects]]\nkind = 1\nname = \"大球\"\nrest_mass = 2\n";

TEST(TeacherForm, WordsNamesAndDegreesReadAsTheStoredForm) {
    const SameAs cases[] = {
        {"object kinds", "[[objects]]\nkind = \"body\"\nrest_mass = 1\n[[objects]]\nkind = \"斜面\"\nrest_mass = 1\n",
         "[[objects]]\nkind = 1\nrest_mass = 1\n[[objects]]\nkind = 4\nrest_mass = 1\n"},
        // The plank is named before it is defined.
        {"host by name",
         "[[objects]]\nkind = \"block\"\nrest_mass = 1\nhost = \"木板\"\n"
         "[[objects]]\nkind = \"plank\"\nname = \"木板\"\nrest_mass = 5\n",
         "[[objects]]\nkind = 2\nrest_mass = 1\nhost = 1\n"
         "[[objects]]\nkind = 3\nname = \"木板\"\nrest_mass = 5\n"},
        {"spring ends and mode", TWO_BALLS + "[[elements.TH]]\nstiffness = 10\nobject = \"大球\"\nmode = \"stretch\"\n",
         TWO_BALLS + "[[elements.TH]]\nstiffness = 10\nobject = 1\nmode = 1\n"},
        {"spring between objects",
         TWO_BALLS + "[[elements.E_TH]]\nstiffness = 3\nobject_a = \"大球\"\nobject_b = \"小球\"\nmode = \"只压\"\n",
         TWO_BALLS + "[[elements.E_TH]]\nstiffness = 3\nobject_a = 1\nobject_b = 0\nmode = 2\n"},
        {"rope's object", TWO_BALLS + "[[elements.SH]]\nstate = 1\nobject = \"大球\"\n",
         TWO_BALLS + "[[elements.SH]]\nstate = 1\nobject = 1\n"},
        {"measurement words",
         BALL + "[[measurements]]\ntype = \"quantity\"\nquantity = \"speed\"\nkind1 = \"object\"\n"
                "texts = [\"\", \"v=\", \"0\", \"小球\", \"\", \"\"]\n",
         BALL + "[[measurements]]\ntype = 1\nquantity = 106\nkind1 = 1\n"
                "texts = [\"\", \"v=\", \"0\", \"小球\", \"\", \"\"]\n"},
        {"Chinese quantity", BALL + "[[measurements]]\ntype = \"距离\"\nquantity = \"加速度方向\"\n",
         BALL + "[[measurements]]\ntype = 2\nquantity = 111\n"},
        {"vector words", BALL + "live_vector_flags = [\"velocity\", \"摩擦力\", \"rope\"]\n",
         BALL + "live_vector_flags = [1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1]\n"},
        {"short keys", BALL + "vectors = [\"weight\"]\nstrobe_vectors = [\"ax\"]\n",
         BALL + "live_vector_flags = [0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0]\n"
                "strobe_vector_flags = [0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n"},
        {"no vectors", BALL + "strobe_vector_flags = []\n",
         BALL + "strobe_vector_flags = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n"},
        {"degrees", "[[elements.EA]]\nx2 = 1\nstrength = 1\ndirection_deg = 90\n",
         "[[elements.EA]]\nx2 = 1\nstrength = 1\ndirection = 1.5707963267948966\n"},
        {"arc in degrees", "[[elements.CT]]\nradius = 2\nstart_angle_deg = 180\nend_angle_deg = -45\n",
         "[[elements.CT]]\nradius = 2\nstart_angle = 3.141592653589793\nend_angle = -0.7853981633974483\n"},
        {"arc by centre", "[[elements.CT]]\nradius = 2\ncentre = [1.5, -2]\nfrom_deg = 180\nto_deg = -45\n",
         "[[elements.CT]]\nradius = 2\ncx = 1.5\ncy = -2\nstart_angle = 3.141592653589793\n"
         "end_angle = -0.7853981633974483\n"},
        // Each key alone, beside the stored fields it does not replace.
        {"arc's end angle", "[[elements.CT]]\nradius = 2\ncx = 3\nto_deg = 90\nstart_angle = 1\n",
         "[[elements.CT]]\nradius = 2\ncx = 3\nstart_angle = 1\nend_angle = 1.5707963267948966\n"},
        {"arc's centre", "[[elements.CT]]\nradius = 2\ncentre = [0, 7]\nstart_angle_deg = 30\n",
         "[[elements.CT]]\nradius = 2\ncy = 7\nstart_angle = 0.5235987755982988\n"},
    };
    for (const SameAs& c : cases) {
        SCOPED_TRACE(c.what);
        auto teacher = make_model();
        auto stored = make_model();
        const LoadResult a = read_text(*teacher, c.teacher, TextFormat::Toml);
        ASSERT_TRUE(a.ok) << a.message;
        const LoadResult b = read_text(*stored, c.stored, TextFormat::Toml);
        ASSERT_TRUE(b.ok) << b.message;
        EXPECT_EQ(dump_json(*teacher), dump_json(*stored));
    }
}

// A JSON text may use the same words and names.
TEST(TeacherForm, JsonTakesTheSameWords) {
    auto m = make_model();
    const LoadResult r = read_text(
        *m,
        R"({"objects": [{"kind": "body", "name": "a", "rest_mass": 1}, {"kind": "block", "host": "a", "rest_mass": 1}]})",
        TextFormat::Json);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(m->objects[1].kind, 2);
    EXPECT_EQ(m->objects[1].host, 0);
}

TEST(TeacherForm, UnknownOrAmbiguousWordsAreRefusedNamingTheLine) {
    const std::string same_names = BALL + "[[objects]]\nkind = 1\nname = \"小球\"\nrest_mass = 1\n";
    const Refusal cases[] = {
        {TextFormat::Toml, BALL + "[[elements.TH]]\nstiffness = 1\nobject = \"无名\"\n",
         "第 7 行 elements.TH[0].object:没有名为「无名」的运动对象。"},
        {TextFormat::Toml, same_names + "[[elements.TH]]\nstiffness = 1\nobject = \"小球\"\n",
         "第 11 行 elements.TH[0].object:名为「小球」的运动对象不止一个"},
        // Unnamed objects are not found by the empty name.
        {TextFormat::Toml, "[[objects]]\nkind = 1\nrest_mass = 1\n[[objects]]\nkind = 2\nrest_mass = 1\nhost = \"\"\n",
         "第 7 行 objects[1].host:运动对象的名字不能为空。"},
        {TextFormat::Toml, BALL + "[[measurements]]\ntype = 1\nquantity = \"speeed\"\n",
         "第 7 行 measurements[0].quantity:没有「speeed」这个词(可写:x, y, r, deg, vx, vy, speed"},
        {TextFormat::Toml, "[[objects]]\nkind = \"ball\"\n", "第 2 行 objects[0].kind:没有「ball」这个词"},
        {TextFormat::Toml, BALL + "live_vector_flags = [\"velocity\", \"lift\"]\n",
         "第 5 行 objects[0].live_vector_flags[1]:没有「lift」这个词"},
        // A list mixing words and numbers is a list of numbers.
        {TextFormat::Toml, BALL + "live_vector_flags = [\"velocity\", 1]\n", "live_vector_flags:应有 17 个值"},
        {TextFormat::Toml, BALL + "live_vector_flags = [\"velocity\"]\nvectors = [\"weight\"]\n",
         "第 6 行 objects[0].vectors:live_vector_flags 和 vectors 只能给出一个"},
        {TextFormat::Toml, "[[measurements]]\ntype = 1\nvectors = []\n", "measurements[0].vectors:没有这个字段"},
        // Fields without words still want their numbers.
        {TextFormat::Toml, BALL + "show_trail = \"yes\"\n", "objects[0].show_trail:应为整数,这里是文字"},
        {TextFormat::Toml, "[[elements.Z]]\nx2 = 1\ncoefficient = 1\nlaw = \"stretch\"\n",
         "elements.Z[0].law:应为数字,这里是文字"},
        {TextFormat::Toml, "[[elements.EA]]\nstrength = 1\ndirection = 1\ndirection_deg = 90\n",
         "第 4 行 elements.EA[0].direction_deg:direction 和 direction_deg 只能给出一个"},
        {TextFormat::Toml, "[[elements.EA]]\nstrength = 1\ndirection_deg = nan\n", "direction_deg:应为有限的数"},
        // Only fields stored in radians have a degrees key.
        {TextFormat::Toml, BALL + "angle_a_deg = 30\n", "objects[0].angle_a_deg:没有这个字段"},
        {TextFormat::Toml, "[[elements.EA]]\nvalues = [0, 0, 1, 1, 0, 1]\ndirection_deg = 9\n", "元素已由 values 给出"},
    };
    expect_refused(cases);
}

}  // namespace
}  // namespace quorrel
