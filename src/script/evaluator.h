// The expression evaluator of the event programs: conditions joined by 和 and
// 或, comparisons, arithmetic expressions over the variable table, and the
// assignment statement.
//
// Arithmetic is single precision and every intermediate result is written back
// as text (15 significant digits of the float's double value) and read again,
// so results carry single-precision noise: x=0.1 stores 0.100000001490116.
// Programs in existing experiments depend on these exact texts.
#pragma once

#include <string_view>

#include "model/model.h"
#include "script/script.h"

namespace quorrel {

// Operator and function codes of the expression nodes.
enum ExprOp : int {
    OP_ADD = 43,
    OP_SUB = 45,
    OP_MUL = 42,
    OP_DIV = 47,
    OP_COS = 150,
    OP_SIN = 151,
    OP_EXP = 152,
    OP_ABS = 153,
    OP_LOG = 154,
    OP_LOG10 = 155,
    OP_SQRT = 156,
    OP_POW = 157,
    OP_ACOS = 160,
    OP_ASIN = 161,
    OP_TAN = 162,
    OP_ATAN = 163,
    OP_SIGN = 164,
};

// Byte-wise, case-sensitive prefix test.
inline bool starts_with(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word;
}

// True when the whole text is a number: optional sign, digits, optional point
// and exponent; nothing else.
bool is_number(std::string_view text);

// The text without one pair of parentheses that encloses all of it; the text
// itself when it has none.
std::string_view strip_enclosing_parens(std::string_view text);

// 1 true, 0 false, -1 error.
int eval_condition(Script& s, const Model& m, std::string_view text);
int eval_compare(Script& s, const Model& m, std::string_view text);

// 1 with `out` set, 0 on failure.
int eval_expr(Script& s, const Model& m, std::string_view text, float& out);

// "name=expression": the variable's value becomes the result as text. False
// (and nothing changed) when the variable does not exist or the expression fails.
bool assign_bl(Script& s, Model& m, std::string_view text);

// Internal steps, exposed for tests.
// Splits the text into the node table breadth first; false when the text or
// the tree does not fit the table, or a pow( call has no comma.
bool build_expr_tree(ExprTable& t, std::string_view text);
// 1 split, 0 leaf, -1 the table is full or the call is malformed.
int split_expr_node(ExprTable& t, int i);
// Computes a substituted expression text; false on any failure.
bool calc_expr_tree(Script& s, std::string_view text, float& out);
// Replaces variable names by their value texts into `out` (at most
// EXPR_TEXT_BYTES bytes); false when a name is unknown or the text grows too long.
bool substitute_variables(const Model& m, std::string_view text, char* out, int& length);

}  // namespace quorrel
