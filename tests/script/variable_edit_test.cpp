#include "script/variable_edit.h"

#include <gtest/gtest.h>

#include "model/gbk.h"

namespace quorrel {
namespace {

class VariableEdit : public ::testing::Test {
protected:
    void SetUp() override { m = make_model(); }
    std::string name(int i) const { return gbk_to_utf8(m->variable_texts[i][VT_NAME]); }
    // A reading of kind 1 bound to `variable` (UTF-8).
    void bind_reading(int slot, const std::string& variable) {
        m->measurements[slot].type = 1;
        m->measurement_texts[slot][MT_VARIABLE] = utf8_to_gbk(variable);
        m->measurement_texts[slot][MT_POINT1] = "ball";
    }
    void expect_refused(const EditOutcome& r, const std::string& message, EditField field) {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, message);
        EXPECT_EQ(r.field, field);
    }
    std::unique_ptr<Model> m;
};

TEST_F(VariableEdit, AddChecksNameValueAndUniquenessInThatOrder) {
    expect_refused(add_variable(*m, "", "abc"), "请输入名称", EditField::Name);
    expect_refused(add_variable(*m, "x", ""), "输入的值有误,请检查", EditField::Value);
    expect_refused(add_variable(*m, "x", "abc"), "输入的值有误,请检查", EditField::Value);
    expect_refused(add_variable(*m, "t", "1"), "已经有此名称的变量,请用另外一个名称", EditField::Name);
    EXPECT_EQ(m->variable_count, 1);

    ASSERT_TRUE(add_variable(*m, "速度", "-2.5e1").ok);
    EXPECT_EQ(m->variable_count, 2);
    EXPECT_EQ(name(1), "速度");
    EXPECT_EQ(m->variable_texts[1][VT_INITIAL], "-2.5e1");
    EXPECT_EQ(m->variable_texts[1][VT_VALUE], "-2.5e1");
    EXPECT_TRUE(m->variable_texts[1][VT_DESCRIPTION].empty());
    expect_refused(add_variable(*m, "速度", "1"), "已经有此名称的变量,请用另外一个名称", EditField::Name);
}

TEST_F(VariableEdit, AddRefusesAFullTableAndUnstorableNames) {
    const EditOutcome emoji = add_variable(*m, "a😀", "1");
    EXPECT_FALSE(emoji.ok);
    EXPECT_NE(emoji.message.find("😀"), std::string::npos);
    EXPECT_EQ(m->variable_count, 1);

    for (int i = 1; i < MAX_VARIABLES; ++i) ASSERT_TRUE(add_variable(*m, "v" + std::to_string(i), "0").ok);
    EXPECT_EQ(m->variable_count, MAX_VARIABLES);
    const EditOutcome full = add_variable(*m, "one_more", "0");
    EXPECT_FALSE(full.ok);
    EXPECT_NE(full.message.find("300"), std::string::npos);
    EXPECT_EQ(m->variable_count, MAX_VARIABLES);
}

TEST_F(VariableEdit, TheTimeVariableCanNeitherBeRemovedNorChanged) {
    EXPECT_FALSE(remove_variable(*m, 0).ok);
    EXPECT_FALSE(change_variable(*m, 0, "u", "1", "").ok);
    EXPECT_FALSE(remove_variable(*m, 1).ok);  // beyond the count
    EXPECT_EQ(m->variable_count, 1);
    EXPECT_EQ(name(0), "t");
}

TEST_F(VariableEdit, RemovingAVariableRemovesTheReadingsBoundToIt) {
    for (const char* n : {"a", "b", "c"}) ASSERT_TRUE(add_variable(*m, n, "1").ok);
    bind_reading(0, "a");
    bind_reading(1, "b");
    bind_reading(2, "a");
    bind_reading(3, "");
    ASSERT_TRUE(remove_variable(*m, 1).ok);

    EXPECT_EQ(m->variable_count, 3);
    EXPECT_EQ(name(1), "b");
    EXPECT_EQ(name(2), "c");
    EXPECT_TRUE(m->variable_texts[3][VT_NAME].empty());
    ASSERT_EQ(measurement_count(*m), 2);
    EXPECT_EQ(m->measurement_texts[0][MT_VARIABLE], "b");
    EXPECT_TRUE(m->measurement_texts[1][MT_VARIABLE].empty());
}

TEST_F(VariableEdit, ChangingAVariableRenamesItsReferences) {
    for (const char* n : {"a", "b"}) ASSERT_TRUE(add_variable(*m, n, "1").ok);
    bind_reading(0, "a");
    bind_reading(1, "b");
    m->points[0].kind = 1;
    m->point_texts[0][PT_VECTOR_X] = "a";
    m->point_texts[0][PT_VECTOR_Y] = "b";

    expect_refused(change_variable(*m, 1, "", "1", ""), "请输入名称", EditField::Name);
    expect_refused(change_variable(*m, 1, "x", "", ""), "请输入值", EditField::Value);
    expect_refused(change_variable(*m, 1, "b", "1", ""), "已经有此名称的变量,请用另外一个名称", EditField::Name);
    expect_refused(change_variable(*m, 1, "t", "1", ""), "已经有此名称的变量,请用另外一个名称", EditField::Name);
    EXPECT_EQ(name(1), "a");

    // Not a number is accepted here.
    ASSERT_TRUE(change_variable(*m, 1, "速度", "abc", "小球速度").ok);
    EXPECT_EQ(name(1), "速度");
    EXPECT_EQ(m->variable_texts[1][VT_VALUE], "abc");
    EXPECT_EQ(m->variable_texts[1][VT_INITIAL], "abc");
    EXPECT_EQ(gbk_to_utf8(m->variable_texts[1][VT_DESCRIPTION]), "小球速度");
    EXPECT_EQ(gbk_to_utf8(m->measurement_texts[0][MT_VARIABLE]), "速度");
    EXPECT_EQ(gbk_to_utf8(m->measurement_texts[0][MT_CAPTION]), "小球速度");
    EXPECT_EQ(m->measurement_texts[0][MT_VALUE], "abc");
    EXPECT_EQ(m->measurement_texts[1][MT_VARIABLE], "b");  // untouched
    EXPECT_TRUE(m->measurement_texts[1][MT_CAPTION].empty());
    EXPECT_EQ(gbk_to_utf8(m->point_texts[0][PT_VECTOR_X]), "速度");
    EXPECT_EQ(m->point_texts[0][PT_VECTOR_Y], "b");

    // Keeping the name and changing only the value is no clash with itself.
    EXPECT_TRUE(change_variable(*m, 1, "速度", "2", "").ok);
}

TEST_F(VariableEdit, StoringAProgramSplitsLinesAndRefusesWithoutStoringAnything) {
    ASSERT_TRUE(store_program(*m, 3, "x=1\r\n判断1:如果(x>0)则执行\n\n结束判断1\n").ok);
    EXPECT_EQ(m->programs[3].line_count, 4);
    EXPECT_EQ(m->program_lines[3][0], "x=1");
    EXPECT_TRUE(m->program_lines[3][2].empty());
    EXPECT_EQ(program_text(*m, 3), "x=1\n判断1:如果(x>0)则执行\n\n结束判断1");

    const EditOutcome bad = store_program(*m, 3, "y=2\nz=3 // 😀");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.field, EditField::Program);
    EXPECT_NE(bad.message.find("第2行"), std::string::npos);
    EXPECT_NE(bad.message.find("😀"), std::string::npos);
    EXPECT_EQ(m->programs[3].line_count, 4);
    EXPECT_EQ(m->program_lines[3][0], "x=1");

    std::string many;
    for (int i = 0; i < PROGRAM_LINES; ++i) many += "x=x+1\n";
    ASSERT_TRUE(store_program(*m, 3, many).ok);
    EXPECT_EQ(m->programs[3].line_count, PROGRAM_LINES);
    EXPECT_FALSE(store_program(*m, 3, many + "y=1").ok);
    EXPECT_EQ(m->programs[3].line_count, PROGRAM_LINES);

    ASSERT_TRUE(store_program(*m, 3, "").ok);
    EXPECT_EQ(m->programs[3].line_count, 0);
    EXPECT_TRUE(m->program_lines[3][0].empty());
}

}  // namespace
}  // namespace quorrel
