// The bridge between event programs and object parameters: 赋值 and 读值
// statements, and the {references} inside annotation and point texts.
//
// A reference is "category,object name,parameter"; the category is 运动对象
// (a moving object) or 辅助点 (an auxiliary point), the parameters those of
// engine/object_params.h. Fields are separated by the ASCII comma or the
// full-width comma (GBK A3 AC).
#pragma once

#include <string>
#include <string_view>

#include "model/model.h"

namespace quorrel {

// Bounds of the annotation text expansion: the working text holds 1000 bytes.
inline constexpr int MAX_EXPANDED_TEXT = 999;
inline constexpr int MAX_TEXT_REFERENCES = 100;

// "category,object,parameter,variable": stores the parameter into the
// variable as number text. -1 when anything is missing or malformed.
int read_obj_bl(Model& m, std::string_view args);

// "category,object,parameter,variable or number": sets the parameter. -1 when
// anything is missing, malformed or not a number; nothing changes then.
int write_obj_bl(Model& m, std::string_view args);

// "category,object,parameter": the value reduced to `digits` significant
// digits; 0 when the object or parameter is unknown.
double text_obj_bl(const Model& m, std::string_view args);

// The text with every {variable} or {category,object,parameter} replaced by
// its value printed with `digits` significant digits.
std::string str_bl_to_str(const Model& m, std::string_view text);

}  // namespace quorrel
