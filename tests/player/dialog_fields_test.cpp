// The property dialogs' fields come from the record field tables: every one
// has a label and a range, and the captions the dialogs show are the ones
// the teachers know.
#include <gtest/gtest.h>

#include "player/property_edit.h"

namespace quorrel {
namespace {

// Every text field of every dialog: a labelled real of its record (the name
// a text), whose range refuses with a message when it refuses anything.
TEST(DialogFields, EveryShownFieldHasALabelAndARange) {
    std::vector<const Field*> shown;
    for (int t = 0; t < OBJECT_TEXTS; ++t) shown.push_back(&object_text_field(t));
    int forms = 0;
    for (int table = 0; table < ELEMENT_TABLES; ++table) {
        const ElementForm& form = element_form(table);
        if (!has_element_properties(table)) continue;
        ++forms;
        EXPECT_EQ(form.table, table);
        EXPECT_EQ(element_table_of(form.drag_state), table);
        ASSERT_LE(form.rows, ELEMENT_FIELD_TEXTS);
        for (int k = 0; k < form.rows; ++k) shown.push_back(&element_row_field(table, k));
    }
    EXPECT_EQ(forms, 5);
    for (const Field* f : shown) {
        SCOPED_TRACE(f->name);
        ASSERT_NE(f->label, nullptr);
        EXPECT_NE(*f->label, '\0');
        EXPECT_EQ(f->type, std::string_view(f->name) == "name" ? FieldType::Text : FieldType::Real);
        EXPECT_LE(f->range.min, f->range.max);
        EXPECT_EQ(bounded(f->range), *f->range.refusal != '\0');
    }
}

TEST(DialogFields, CaptionsJoinLabelsAndShowChineseUnits) {
    struct Case {
        const Field& first;
        const Field* second;
        const char* label;
        const char* unit;
    };
    const Case cases[] = {
        {object_text_field(OT_X0), &object_text_field(OT_Y0), "起始位置 x, y", "米"},
        {object_text_field(OT_VX0), &object_text_field(OT_VY0), "起始速度 vx, vy", "米/秒"},
        {object_text_field(OT_SPEED), &object_text_field(OT_ANGLE), "速率, 方向", "米/秒, 度"},
        {object_text_field(OT_LOSS), nullptr, "碰撞损失系数", "0 到 1"},  // a range for a unit
        {object_text_field(OT_FX), &object_text_field(OT_FY), "人为外力 Fx, Fy", "牛"},
        {element_row_field(T_Z, 5), nullptr, "速度的指数 n", ""},
        {element_row_field(T_EA, 4), nullptr, "方向", "度"},  // radians are shown in degrees
        {element_row_field(T_EA, 5), nullptr, "电场强度", "牛/库仑"},
        {element_row_field(T_BA, 4), nullptr, "磁感应强度 (向外为正)", "特斯拉"},
    };
    for (const Case& c : cases) EXPECT_EQ(row_caption(c.first, c.second), (RowCaption{c.label, c.unit}));
}

}  // namespace
}  // namespace quorrel
