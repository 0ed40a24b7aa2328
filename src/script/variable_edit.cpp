#include "script/variable_edit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/lookups.h"
#include "model/gbk.h"
#include "script/evaluator.h"

namespace quorrel {
namespace {

constexpr const char* ENTER_NAME = "请输入名称";
constexpr const char* ENTER_VALUE = "请输入值";
constexpr const char* BAD_VALUE = "输入的值有误,请检查";
constexpr const char* NAME_TAKEN = "已经有此名称的变量,请用另外一个名称";

EditOutcome refuse(std::string message, EditField field) {
    return {false, std::move(message), field};
}

int used_variables(const Model& m) {
    return std::clamp<int>(m.variable_count, 0, MAX_VARIABLES);
}

// Converts a typed text to GBK; a character without a GBK form refuses it.
bool to_gbk(std::string_view utf8, Text& out, EditField field, EditOutcome& refusal) {
    std::string bad;
    if (utf8_to_gbk_exact(utf8, out, bad)) return true;
    refusal = refuse("字符“" + bad + "”无法保存,请改用其他字符", field);
    return false;
}

// A variable other than `except` with this name.
bool name_taken(const Model& m, const Text& name, int except) {
    const int n = used_variables(m);
    for (int i = 0; i < n; ++i)
        if (i != except && m.variable_texts[i][VT_NAME] == name) return true;
    return false;
}

// An editable variable: in use and not the time variable.
bool editable(const Model& m, int index) {
    return index >= 1 && index < used_variables(m);
}

EditOutcome not_editable(int index) {
    if (index == 0) return refuse("时间变量t不能修改或删除", EditField::None);
    return refuse("请先选择一个变量", EditField::None);
}

}  // namespace

EditOutcome add_variable(Model& m, std::string_view name, std::string_view value) {
    if (name.empty()) return refuse(ENTER_NAME, EditField::Name);
    if (value.empty() || !is_number(value)) return refuse(BAD_VALUE, EditField::Value);
    EditOutcome refusal;
    Text gbk_name;
    if (!to_gbk(name, gbk_name, EditField::Name, refusal)) return refusal;
    if (name_taken(m, gbk_name, -1)) return refuse(NAME_TAKEN, EditField::Name);
    const int n = used_variables(m);
    if (n >= MAX_VARIABLES)
        return refuse("变量已满:一个实验最多有" + std::to_string(MAX_VARIABLES) + "个变量", EditField::Name);
    std::memset(static_cast<void*>(&m.variables[n]), 0, sizeof m.variables[n]);
    auto& t = m.variable_texts[n];
    t[VT_NAME] = gbk_name;
    t[VT_DESCRIPTION].clear();
    t[VT_INITIAL] = Text(value);  // a number: ASCII, the same in GBK
    t[VT_VALUE] = t[VT_INITIAL];
    m.variable_count = n + 1;
    return {};
}

EditOutcome remove_variable(Model& m, int index) {
    if (!editable(m, index)) return not_editable(index);
    const Text name = m.variable_texts[index][VT_NAME];
    const int n = used_variables(m);
    for (int i = index; i + 1 < n; ++i) {
        m.variables[i] = m.variables[i + 1];
        m.variable_texts[i] = m.variable_texts[i + 1];
    }
    // The freed slot looks as after a reset.
    std::memset(static_cast<void*>(&m.variables[n - 1]), 0, sizeof m.variables[n - 1]);
    m.variable_texts[n - 1] = {Text(), Text(), Text("0"), Text("0")};
    m.variable_count = n - 1;
    // The variable is gone first, so the compaction of the readings finds
    // nothing more to delete under its name.
    if (!name.empty()) remove_readings(m, name);
    return {};
}

EditOutcome change_variable(Model& m, int index, std::string_view name, std::string_view value,
                            std::string_view description) {
    if (!editable(m, index)) return not_editable(index);
    if (name.empty()) return refuse(ENTER_NAME, EditField::Name);
    if (value.empty()) return refuse(ENTER_VALUE, EditField::Value);
    EditOutcome refusal;
    Text new_name, new_value, new_description;
    if (!to_gbk(name, new_name, EditField::Name, refusal) || !to_gbk(value, new_value, EditField::Value, refusal) ||
        !to_gbk(description, new_description, EditField::Description, refusal))
        return refusal;
    if (name_taken(m, new_name, index)) return refuse(NAME_TAKEN, EditField::Name);

    const Text old_name = m.variable_texts[index][VT_NAME];
    const int readings = measurement_count(m);
    if (new_name != old_name) {
        for (int i = 0; i < readings; ++i) {
            Text& bound = m.measurement_texts[i][MT_VARIABLE];
            if (bound == old_name) bound = new_name;
        }
        const int points = point_count(m);
        for (int i = 0; i < points; ++i)
            for (int k : {PT_VECTOR_X, PT_VECTOR_Y})
                if (m.point_texts[i][k] == old_name) m.point_texts[i][k] = new_name;
    }
    auto& t = m.variable_texts[index];
    t[VT_INITIAL] = new_value;
    t[VT_VALUE] = new_value;
    t[VT_NAME] = new_name;
    t[VT_DESCRIPTION] = new_description;
    for (int i = 0; i < readings; ++i) {
        auto& r = m.measurement_texts[i];
        if (r[MT_VARIABLE] != new_name) continue;
        r[MT_CAPTION] = new_description;
        r[MT_VALUE] = new_value;
    }
    return {};
}

std::string program_text(const Model& m, int program) {
    std::string text;
    if (program < 0 || program >= MAX_PROGRAMS) return text;
    const int n = std::clamp<int>(m.programs[program].line_count, 0, PROGRAM_LINES);
    for (int i = 0; i < n; ++i) {
        if (i > 0) text += '\n';
        text += gbk_to_utf8(m.program_lines[program][i]);
    }
    return text;
}

EditOutcome store_program(Model& m, int program, std::string_view text) {
    if (program < 0 || program >= MAX_PROGRAMS) return refuse("没有这个事件程序", EditField::None);
    // Convert every line before anything is stored: a refusal leaves the
    // program as it was.
    std::vector<Text> lines;
    int count = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (count == PROGRAM_LINES)
            return refuse("一个程序最多" + std::to_string(PROGRAM_LINES) + "行,请删去多余的行", EditField::Program);
        std::string bad;
        if (!utf8_to_gbk_exact(line, lines.emplace_back(), bad))
            return refuse("程序中第" + std::to_string(count + 1) + "行的字符“" + bad + "”无法保存,请改用其他字符",
                          EditField::Program);
        ++count;
    }
    for (int i = 0; i < count; ++i) m.program_lines[program][i] = std::move(lines[i]);
    for (int i = count; i < PROGRAM_LINES; ++i) m.program_lines[program][i].clear();
    m.programs[program].line_count = count;
    return {};
}

}  // namespace quorrel
