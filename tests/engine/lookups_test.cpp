// The arc hit test and the removal of readings with compaction of the list.
#include "engine/lookups.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace quorrel {
namespace {

struct LookupFixture {
    std::unique_ptr<Model> m = make_model();
};

TEST(ArcHit, WithinThreePixelsOfTheArcAndInItsRange) {
    LookupFixture f;
    Model& m = *f.m;
    m.settings.origin_x = 200;
    m.settings.origin_y = 150;
    m.settings.scale = 0.5;                 // the arc's radius of 20 is 40 pixels
    m.CT.rec[0] = {0, 0, 0, PI, 20, 0, 0};  // upper half
    EXPECT_TRUE(arc_hit(m, 0, 200, 110));
    EXPECT_TRUE(arc_hit(m, 0, 240, 147));
    EXPECT_TRUE(arc_hit(m, 0, 200, 107));
    EXPECT_FALSE(arc_hit(m, 0, 200, 106));
    EXPECT_FALSE(arc_hit(m, 0, 200, 190));  // lower half
    EXPECT_FALSE(arc_hit(m, 0, 200, 150));  // the centre
    EXPECT_FALSE(arc_hit(m, 25, 200, 110));
    m.settings.scale = 0;
    EXPECT_FALSE(arc_hit(m, 0, 200, 110));
}

// A reading of quantity x bound to the variable `var`, and that variable.
void bound_reading(Model& m, int slot, const char* var) {
    m.measurements[slot].type = MEASURE_QUANTITY;
    m.measurements[slot].value = slot;
    m.measurement_texts[slot][MT_VARIABLE] = var;
    m.prev_measurements[slot].value = slot;
    const int v = m.variable_count++;
    m.variable_texts[v][VT_NAME] = var;
    m.variable_texts[v][VT_VALUE] = std::to_string(slot);
}

TEST(ReadingRemoval, EmptiesBoundReadingsAndCompactsTheList) {
    LookupFixture f;
    Model& m = *f.m;
    bound_reading(m, 0, "a");
    bound_reading(m, 1, "b");
    bound_reading(m, 2, "c");
    bound_reading(m, 3, "b");
    ASSERT_EQ(m.variable_count, 5);  // t and the four above (b twice)
    remove_readings(m, "b");
    EXPECT_EQ(measurement_count(m), 2);
    EXPECT_EQ(m.measurement_texts[0][MT_VARIABLE], "a");
    EXPECT_EQ(m.measurement_texts[1][MT_VARIABLE], "c");
    EXPECT_EQ(m.measurements[1].value, 2.0);
    EXPECT_EQ(m.prev_measurements[1].value, 2.0);  // previous readings move along
    EXPECT_EQ(m.measurements[2].type, 0);
    EXPECT_TRUE(m.measurement_texts[2][MT_VARIABLE].empty());
    EXPECT_EQ(m.measurements[2].show_lines, 1);
    // Both variables named b are gone; the others moved up.
    EXPECT_EQ(m.variable_count, 3);
    EXPECT_EQ(find_variable(m, "b"), -1);
    EXPECT_EQ(find_variable(m, "c"), 2);
}

TEST(ReadingRemoval, NeverDeletesTheTimeVariable) {
    LookupFixture f;
    Model& m = *f.m;
    m.measurements[0].type = MEASURE_QUANTITY;
    m.measurement_texts[0][MT_VARIABLE] = m.variable_texts[0][VT_NAME];
    const int before = m.variable_count;
    remove_readings(m, m.variable_texts[0][VT_NAME]);
    EXPECT_EQ(measurement_count(m), 0);
    EXPECT_EQ(m.variable_count, before);
}

TEST(ReadingRemoval, CompactionClosesAGapInsideTheList) {
    LookupFixture f;
    Model& m = *f.m;
    bound_reading(m, 0, "a");
    bound_reading(m, 2, "c");
    compact_readings(m);
    EXPECT_EQ(measurement_count(m), 2);
    EXPECT_EQ(m.measurement_texts[1][MT_VARIABLE], "c");
}

}  // namespace
}  // namespace quorrel
