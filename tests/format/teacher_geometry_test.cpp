// Straight tracks given by their two ends: they read to the line the stored
// tracks hold, and ends that make no track, or that come with the line as
// well, are refused naming the line and the field.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "demos/demos.h"
#include "io_fixtures.h"

namespace quorrel {
namespace {

using namespace testing_io;

std::string number(double v) {
    char out[32];
    std::snprintf(out, sizeof out, "%.17g", v);
    return out;
}

std::string track_text(double x1, double y1, double x2, double y2) {
    return "[[elements.TB]]\nfrom = [" + number(x1) + ", " + number(y1) + "]\nto = [" + number(x2) + ", " + number(y2) +
           "]\n";
}

StraightTrack read_track(const std::string& text) {
    auto m = make_model();
    const LoadResult r = read_text(*m, text, TextFormat::Toml);
    EXPECT_TRUE(r.ok) << r.message;
    return m->TB.rec[0];
}

TEST(TeacherGeometry, TrackEndsGiveTheStoredLine) {
    constexpr double PI = std::numbers::pi;
    struct Case {
        const char* what;
        double x1, y1, x2, y2;
        double a, b, c, norm, direction;
    };
    // A is 1; a level track's B is its length over 1e-70, a vertical one's
    // the inverse of its height over 1e-70.
    const Case cases[] = {
        {"level, left to right", -1, 2, 3, 2, 1, 4e70, -8e70, 4e70, -1 / 4e70},
        {"level, right to left", 3, 2, -1, 2, 1, -4e70, 8e70, 4e70, 1 / 4e70},
        {"vertical, upwards", 2, 0, 2, 3, 1, 1e-70 / 3, -2, 1, -PI / 2},
        {"vertical, downwards", 2, 3, 2, 0, 1, -1e-70 / 3, -2, 1, PI / 2},
        {"rising 45°", 0, 1, 1, 2, 1, -1, 1, std::sqrt(2.0), PI / 4},
        {"falling, steep", 0, 0, 1, -2, 1, 0.5, 0, std::hypot(0.5, 1.0), std::atan(-2.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const StraightTrack t = read_track(track_text(c.x1, c.y1, c.x2, c.y2));
        EXPECT_EQ(t.x1, c.x1);
        EXPECT_EQ(t.y1, c.y1);
        EXPECT_EQ(t.x2, c.x2);
        EXPECT_EQ(t.y2, c.y2);
        EXPECT_EQ(t.a, c.a);
        EXPECT_DOUBLE_EQ(t.b, c.b);
        EXPECT_NEAR(t.c, c.c, 1e-12 * std::fabs(c.b) + 1e-12);
        EXPECT_DOUBLE_EQ(t.norm, c.norm);
        EXPECT_DOUBLE_EQ(t.direction, c.direction);
        // Both ends lie on the line.
        for (const auto& [x, y] : {std::pair{c.x1, c.y1}, std::pair{c.x2, c.y2}})
            EXPECT_NEAR((t.a * x + t.b * y + t.c) / t.norm, 0, 1e-12);
    }
}

// Every track of the bundled demos, given by its ends (with its friction and
// name as they are), reads to the very same record, level and vertical
// tracks included.
TEST(TeacherGeometry, EveryDemoTrackByItsEnds) {
    int tracks = 0;
    for (const DemoInfo& d : all_demos()) {
        auto m = make_model();
        ASSERT_TRUE(load_demo(*m, d).ok);
        for (int i = 0; i < element_count(*m, T_TB); ++i) {
            SCOPED_TRACE(std::string(d.text_name) + " track " + std::to_string(i));
            const StraightTrack& stored = m->TB.rec[i];
            const StraightTrack t = read_track(track_text(stored.x1, stored.y1, stored.x2, stored.y2) +
                                               "kinetic_mu = " + number(stored.kinetic_mu) +
                                               "\nstatic_mu = " + number(stored.static_mu) + "\n");
            const double got[] = {t.a,  t.b,  t.c,  t.norm,       t.direction, t.x1,
                                  t.y1, t.x2, t.y2, t.kinetic_mu, t.static_mu};
            const double want[] = {stored.a,  stored.b,  stored.c,  stored.norm,       stored.direction, stored.x1,
                                   stored.y1, stored.x2, stored.y2, stored.kinetic_mu, stored.static_mu};
            for (int k = 0; k < 11; ++k) EXPECT_EQ(got[k], want[k]) << "field " << k;
            ++tracks;
        }
    }
    EXPECT_GE(tracks, 9);
}

TEST(TeacherGeometry, BadEndsAreRefusedNamingTheLineAndField) {
    const std::string tb = "[[elements.TB]]\n";
    const Refusal cases[] = {
        {TextFormat::Toml, tb + "from = [0, 0]\nto = [1, 0]\nb = 1\n",
         "第 4 行 elements.TB[0].b:已由两端 from、to 给出,不能再给出 b。"},
        {TextFormat::Toml, tb + "direction_deg = 10\nfrom = [0, 0]\nto = [1, 0]\n",
         "第 2 行 elements.TB[0].direction_deg:已由两端"},
        {TextFormat::Toml, tb + "values = [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1]\nfrom = [0, 0]\nto = [1, 0]\n",
         "elements.TB[0].values:已由两端"},
        {TextFormat::Toml, tb + "from = [0, 0]\n", "第 2 行 elements.TB[0].from:轨道的两端 from 和 to 须一起给出。"},
        {TextFormat::Toml, tb + "from = [1.5, -2]\nto = [1.5, -2]\n", "第 3 行 elements.TB[0].to:两端重合,不成轨道。"},
        {TextFormat::Toml, tb + "from = [1e308, 1e308]\nto = [-1e308, -1e308]\n",
         "第 3 行 elements.TB[0].to:两端的坐标太大"},
        {TextFormat::Toml, tb + "from = [0, inf]\nto = [1, 0]\n", "第 2 行 elements.TB[0].from[1]:应为有限的数"},
        {TextFormat::Toml, tb + "from = [0, 0]\nto = [1, 0, 0]\n",
         "第 3 行 elements.TB[0].to:应有 2 个数(x, y),这里有 3 个。"},
        {TextFormat::Toml, tb + "from = 0\nto = [1, 0]\n", "elements.TB[0].from:应为列表"},
        {TextFormat::Toml, "[[elements.CT]]\nradius = 1\ncentre = [0, 0]\ncy = 1\n",
         "第 4 行 elements.CT[0].cy:已由 centre 给出,不能再给出 cy。"},
        {TextFormat::Toml, "[[elements.CT]]\nradius = 1\nstart_angle_deg = 1\nfrom_deg = 0\n",
         "第 3 行 elements.CT[0].start_angle_deg:已由 from_deg 给出"},
        {TextFormat::Toml, "[[elements.CT]]\nradius = 1\nto_deg = -inf\n",
         "第 3 行 elements.CT[0].to_deg:应为有限的数"},
        {TextFormat::Toml, "[[elements.CT]]\nradius = 1\ncentre = [1]\n", "elements.CT[0].centre:应有 2 个数"},
        {TextFormat::Toml, "[[elements.TB]]\na = 1\nto_deg = 1\n", "elements.TB[0].to_deg:没有这个字段"},
        // Only straight tracks take ends.
        {TextFormat::Toml, "[[elements.CT]]\nradius = 1\nfrom = [0, 0]\nto = [1, 0]\n",
         "elements.CT[0].from:没有这个字段"},
        {TextFormat::Json, R"({"elements": {"TB": [{"from": [0, 0], "to": [0, 0]}]}})", "elements.TB[0].to:两端重合"},
    };
    expect_refused(cases);
}

}  // namespace
}  // namespace quorrel
