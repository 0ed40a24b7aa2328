// The accepted values of a field as the property dialogs check them, and the
// reset values the field tables give.
#include <gtest/gtest.h>

#include <cmath>

#include "format/fields.h"

namespace quorrel {
namespace {

const Field& ranged_field(SectionId id, int table, const char* name) {
    const Field* f = find_field(find_section(id, table).fields, name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

TEST(FieldRanges, EachRangeAcceptsExactlyItsValues) {
    const double nan = std::nan("");
    struct Case {
        SectionId id;
        int table;
        const char* field;
        double value;
        bool accepted;
    };
    const Case cases[] = {
        {SectionId::Objects, -1, "rest_mass", 0, false},  // above zero: the bound itself is refused
        {SectionId::Objects, -1, "rest_mass", 1e-300, true},
        {SectionId::Objects, -1, "rest_mass", nan, false},
        {SectionId::Objects, -1, "radius", 0, true},  // at least zero
        {SectionId::Objects, -1, "radius", -1e-300, false},
        {SectionId::Objects, -1, "loss", 1, true},  // both ends of 0 to 1
        {SectionId::Objects, -1, "loss", 1.0000001, false},
        {SectionId::Element, T_E, "charge", -3, true},  // anything but zero, even not a number
        {SectionId::Element, T_E, "charge", -0.0, false},
        {SectionId::Element, T_E, "charge", nan, true},
        {SectionId::Objects, -1, "charge", 0, true},  // no range: every number, as before
        {SectionId::Objects, -1, "x0", nan, true},
    };
    for (const Case& c : cases) {
        const Field& f = ranged_field(c.id, c.table, c.field);
        EXPECT_EQ(in_range(f.range, c.value), c.accepted) << c.field << " " << c.value;
        EXPECT_EQ(bounded(f.range), *f.range.refusal != '\0') << c.field;
    }
}

TEST(FieldRanges, ResetValuesAreThoseOfTheTextFormsResetModel) {
    struct Case {
        SectionId id;
        const char* field;
        int index;
        bool numeric;
        double value;
    };
    const Case cases[] = {
        {SectionId::Settings, "steps_per_frame", 0, true, TEXT_FORM_STEPS_PER_FRAME},
        {SectionId::Settings, "time_step", 0, true, 0.001},
        {SectionId::Objects, "rest_mass", 0, true, 0},
        {SectionId::Objects, "ball_rgb", 3, false, 0},  // beyond the field's three values
        {SectionId::Objects, "name", 0, false, 0},
    };
    for (const Case& c : cases) {
        const Section& s = find_section(c.id);
        double v = -1;
        ASSERT_EQ(field_reset_value(s, ranged_field(c.id, -1, c.field), v, c.index), c.numeric) << c.field;
        if (c.numeric) {
            EXPECT_EQ(v, c.value) << c.field;
        }
    }
}

}  // namespace
}  // namespace quorrel
