#include "script/evaluator.h"

#include <cmath>
#include <cstring>

#include "model/gbk.h"
#include "model/numtext.h"
#include "script/keywords.h"

namespace quorrel {

namespace {

// Function words skipped while substituting variables, in the order they are
// tried. "pd" is reserved: it is skipped here but no operator exists for it.
constexpr std::string_view SUBSTITUTION_WORDS[] = {"cos",  "acos", "arccos", "sin",    "asin", "arcsin", "tan",
                                                   "tg",   "atan", "arctan", "signum", "fd",   "pd",     "exp",
                                                   "fabs", "abs",  "log",    "log10",  "sqrt", "pow"};

struct FunctionWord {
    std::string_view word;
    int code;
};
// Function words recognised when splitting a node, in the order they are tried.
constexpr FunctionWord SPLIT_WORDS[] = {
    {"cos", OP_COS},     {"acos", OP_ACOS}, {"arccos", OP_ACOS}, {"sin", OP_SIN},   {"asin", OP_ASIN},
    {"arcsin", OP_ASIN}, {"tan", OP_TAN},   {"tg", OP_TAN},      {"atan", OP_ATAN}, {"arctan", OP_ATAN},
    {"signum", OP_SIGN}, {"fd", OP_SIGN},   {"exp", OP_EXP},     {"fabs", OP_ABS},  {"abs", OP_ABS},
    {"log10", OP_LOG10}, {"log", OP_LOG},   {"sqrt", OP_SQRT},   {"pow", OP_POW},
};

bool skipped_in_substitution(char c) {
    return std::strchr("0123456789.,+-*/()><= ", c) != nullptr && c != '\0';
}

bool ends_name(char c) {
    return std::strchr("><=,+-*/() ", c) != nullptr && c != '\0';
}

// Connectives are looked for on character boundaries only, so the tail byte
// of one Chinese character and the lead byte of the next never pass for 和 or 或.
using kw::char_length;

bool is_connective(std::string_view t, size_t i) {
    return t.compare(i, 2, kw::AND) == 0 || t.compare(i, 2, kw::OR) == 0;
}

bool has_connective(std::string_view t) {
    for (size_t i = 0; i < t.size(); i += char_length(t, i))
        if (char_length(t, i) == 2 && is_connective(t, i)) return true;
    return false;
}

bool append_node(ExprTable& t, int parent, int op, std::string_view text) {
    if (t.count >= EXPR_NODES || text.size() > static_cast<size_t>(EXPR_TEXT_BYTES)) return false;
    ExprNode& n = t.node[t.count++];
    n.parent = parent;
    n.group = t.group_counter - 1;
    n.op = op;
    n.length = static_cast<int>(text.size());
    std::memcpy(n.text, text.data(), text.size());
    n.text[text.size()] = '\0';
    return true;
}

// Splits at the operators `a` and `b` outside parentheses. 1 when split, 0 when
// there is no such operator, -1 when the table is full.
int split_at(ExprTable& t, int i, std::string_view w, char a, char b, int first_op) {
    int depth = 0;
    size_t start = 0;
    int splits = 0;
    int prev_op = first_op;
    for (size_t k = 0; k < w.size(); ++k) {
        char c = w[k];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if ((c == a || c == b) && depth == 0) {
            if (splits == 0) ++t.group_counter;
            if (!append_node(t, i, splits == 0 ? first_op : prev_op, w.substr(start, k - start))) return -1;
            prev_op = c;
            start = k + 1;
            ++splits;
        }
    }
    if (splits == 0) return 0;
    return append_node(t, i, prev_op, w.substr(start)) ? 1 : -1;
}

double as_double(float f) {
    return static_cast<double>(f);
}

void show_message(Script& s, std::string_view gbk_text) {
    if (s.platform) s.platform->message_box(gbk_to_utf8(gbk_text), "", Buttons::Ok);
}

// Applies a one-argument function to the first operand of its group.
bool apply_function(int op, float& acc) {
    double v = as_double(acc);
    double r;
    switch (op) {
        case OP_COS:
            r = std::cos(v);
            break;
        case OP_SIN:
            r = std::sin(v);
            break;
        case OP_TAN:
            r = std::tan(v);
            break;
        case OP_ATAN:
            r = std::atan(v);
            break;
        case OP_EXP:
            r = std::exp(v);
            break;
        case OP_ABS:
            r = std::fabs(v);
            break;
        case OP_ACOS:
            if (!(std::fabs(v) <= 1)) return false;
            r = std::acos(v);
            break;
        case OP_ASIN:
            if (!(std::fabs(v) <= 1)) return false;
            r = std::asin(v);
            break;
        case OP_LOG:
            if (!(v > 0)) return false;
            r = std::log(v);
            break;
        case OP_LOG10:
            if (!(v > 0)) return false;
            r = std::log10(v);
            break;
        case OP_SQRT:
            if (!(v > 0)) return false;
            r = std::sqrt(v);
            break;
        case OP_SIGN:
            r = v > 0 ? 1 : (v < 0 ? -1 : 0);
            break;
        default:
            return true;  // a plain operand, or pow's base
    }
    acc = static_cast<float>(r);
    return std::isfinite(acc);
}

bool to_float(std::string_view text, float& out) {
    double d;
    if (!parse_number(text, d)) return false;
    out = static_cast<float>(d);
    return std::isfinite(out);
}

int eval_condition_inner(Script& s, const Model& m, std::string_view text);

}  // namespace

bool is_number(std::string_view text) {
    double d;
    return parse_number(text, d);
}

std::string_view strip_enclosing_parens(std::string_view t) {
    if (t.size() < 2 || t.front() != '(' || t.back() != ')') return t;
    int depth = 1;
    size_t k = 1;
    for (; k < t.size(); ++k) {
        if (t[k] == '(') ++depth;
        if (t[k] == ')' && --depth == 0) break;
    }
    if (k == t.size() - 1) return t.substr(1, t.size() - 2);
    return t;
}

bool substitute_variables(const Model& m, std::string_view text, char* out, int& length) {
    if (text.size() > static_cast<size_t>(EXPR_TEXT_BYTES)) return false;
    size_t n = text.size();
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    size_t i = 0;
    while (i < n) {
        std::string_view rest(out + i, n - i);
        if (skipped_in_substitution(out[i])) {
            ++i;
            continue;
        }
        bool word = false;
        for (std::string_view w : SUBSTITUTION_WORDS) {
            if (starts_with(rest, w)) {
                i += w.size();
                word = true;
                break;
            }
        }
        if (word) continue;
        size_t j = i;
        while (j < n && !ends_name(out[j])) ++j;
        int v = find_variable(m, std::string_view(out + i, j - i));
        if (v < 0) return false;
        // The value goes in as written when it is a clear positive number; a
        // negative one is wrapped as (0-5) so that 3*x stays a product; a text
        // that is no number, or a magnitude up to 0.0001, counts as 0.
        const Text& value = m.variable_texts[v][VT_VALUE];
        double d;
        std::string_view insert = "0";
        bool wrap = false;
        if (parse_number(value, d) && std::fabs(d) > 0.0001) {
            insert = value;
            wrap = d < 0;
        }
        size_t ins_len = insert.size() + (wrap ? 3 : 0);
        size_t new_n = n - (j - i) + ins_len;
        if (new_n > static_cast<size_t>(EXPR_TEXT_BYTES)) return false;
        std::memmove(out + i + ins_len, out + j, n - j);
        char* p = out + i;
        if (wrap) {
            *p++ = '(';
            *p++ = '0';
        }
        std::memcpy(p, insert.data(), insert.size());
        if (wrap) p[insert.size()] = ')';
        n = new_n;
        out[n] = '\0';
        ++i;  // the scan goes on one byte after the start of the inserted text
    }
    length = static_cast<int>(n);
    return true;
}

int split_expr_node(ExprTable& t, int i) {
    // Work on a copy: appending nodes never moves node i, but keep the source
    // text independent of the nodes being written.
    char work[EXPR_TEXT_BYTES + 1];
    const ExprNode& src = t.node[i];
    std::memcpy(work, src.text, static_cast<size_t>(src.length));
    std::string_view w = strip_enclosing_parens(std::string_view(work, static_cast<size_t>(src.length)));

    int r = split_at(t, i, w, '+', '-', OP_ADD);
    if (r != 0) return r;
    r = split_at(t, i, w, '*', '/', OP_MUL);
    if (r != 0) return r;

    for (const FunctionWord& f : SPLIT_WORDS) {
        if (!starts_with(w, f.word)) continue;
        // A call is the word, "(", the argument and ")"; a text that is no
        // call stays a leaf, which will not convert.
        size_t wl = f.word.size();
        if (w.size() < wl + 2 || w[wl] != '(' || w.back() != ')') continue;
        std::string_view arg = w.substr(wl + 1, w.size() - wl - 2);
        ++t.group_counter;
        if (f.code == OP_POW) {
            size_t comma = arg.find(',');
            if (comma == std::string_view::npos) return -1;
            if (!append_node(t, i, OP_POW, arg.substr(0, comma))) return -1;
            return append_node(t, i, OP_POW, arg.substr(comma + 1)) ? 1 : -1;
        }
        return append_node(t, i, f.code, arg) ? 1 : -1;
    }
    return 0;
}

bool build_expr_tree(ExprTable& t, std::string_view text) {
    t.count = 0;
    t.group_counter = 0;
    if (text.size() > static_cast<size_t>(EXPR_TEXT_BYTES)) return false;
    ExprNode& root = t.node[0];
    root.parent = -1;
    root.group = 0;
    root.op = OP_ADD;
    root.length = static_cast<int>(text.size());
    std::memcpy(root.text, text.data(), text.size());
    root.text[text.size()] = '\0';
    t.count = 1;
    t.group_counter = 1;
    for (int i = 0; i < t.count; ++i)
        if (split_expr_node(t, i) < 0) return false;
    return true;
}

bool calc_expr_tree(Script& s, std::string_view text, float& out) {
    ExprTable& t = s.nodes;
    if (!build_expr_tree(t, text)) return false;
    int j = t.count - 1;
    while (j >= 1) {
        int first = j;
        while (first - 1 >= 1 && t.node[first - 1].group == t.node[j].group) --first;

        const ExprNode& f = t.node[first];
        float acc = 0;
        if (f.length > 0 && !to_float(std::string_view(f.text, static_cast<size_t>(f.length)), acc)) return false;
        if (!apply_function(f.op, acc)) return false;

        for (int k = first + 1; k <= j; ++k) {
            const ExprNode& o = t.node[k];
            std::string_view ot(o.text, static_cast<size_t>(o.length));
            double d;
            if (!parse_number(ot, d)) {
                show_message(s, ot);
                return false;
            }
            float v = static_cast<float>(d);
            if (!std::isfinite(v)) return false;
            switch (o.op) {
                case OP_ADD:
                    acc = acc + v;
                    break;
                case OP_SUB:
                    acc = acc - v;
                    break;
                case OP_MUL:
                    acc = acc * v;
                    break;
                case OP_DIV:
                    if (v == 0) return false;
                    acc = acc / v;
                    break;
                case OP_POW: {
                    double e = as_double(v);
                    double n = std::trunc(e);
                    double p = std::fabs(e - n) < 0.0001 ? n : e;
                    acc = static_cast<float>(std::pow(as_double(acc), p));
                    break;
                }
                default:
                    return false;
            }
            if (!std::isfinite(acc)) return false;
        }

        std::string result = number_text(as_double(acc));
        ExprNode& parent = t.node[t.node[first].parent];
        parent.length = static_cast<int>(result.size());
        std::memcpy(parent.text, result.data(), result.size());
        parent.text[result.size()] = '\0';
        j = first - 1;
    }
    const ExprNode& root = t.node[0];
    return to_float(std::string_view(root.text, static_cast<size_t>(root.length)), out);
}

int eval_expr(Script& s, const Model& m, std::string_view text, float& out) {
    char buf[EXPR_TEXT_BYTES + 1];
    int n = 0;
    if (!substitute_variables(m, text, buf, n)) return 0;
    float v;
    if (!calc_expr_tree(s, std::string_view(buf, static_cast<size_t>(n)), v)) return 0;
    out = v;
    return 1;
}

int eval_compare(Script& s, const Model& m, std::string_view text) {
    std::string_view t = strip_enclosing_parens(text);
    for (size_t k = 0; k < t.size(); ++k) {
        size_t op_len = 0;
        std::string_view two = t.substr(k, 2);
        if (two == ">=" || two == "<=" || two == "!=")
            op_len = 2;
        else if (t[k] == '>' || t[k] == '<' || t[k] == '=')
            op_len = 1;
        if (op_len == 0) continue;
        float l, r;
        if (!eval_expr(s, m, t.substr(0, k), l) || !eval_expr(s, m, t.substr(k + op_len), r)) return -1;
        std::string_view op = t.substr(k, op_len);
        bool res;
        if (op == ">")
            res = l > r;
        else if (op == "<")
            res = l < r;
        else if (op == "=")
            res = std::fabs(as_double(l - r)) < 0.01;
        else if (op == ">=")
            res = l >= r;
        else if (op == "<=")
            res = l <= r;
        else
            res = l != r;
        return res ? 1 : 0;
    }
    return -1;  // no comparison operator
}

namespace {

int eval_condition_inner(Script& s, const Model& m, std::string_view text) {
    std::string_view t = strip_enclosing_parens(text);
    if (!has_connective(t)) return eval_compare(s, m, t);

    int result = 1;
    bool pending_and = true;
    int depth = 0;
    size_t start = 0;
    bool split = false;
    auto combine = [&](std::string_view operand) {
        int r = eval_condition_inner(s, m, operand);
        if (r < 0) return false;
        result = pending_and ? (result && r) : (result || r);
        return true;
    };
    for (size_t i = 0; i < t.size();) {
        size_t len = char_length(t, i);
        if (t[i] == '(') {
            ++depth;
        } else if (t[i] == ')') {
            --depth;
        } else if (len == 2 && depth == 0 && is_connective(t, i)) {
            if (!combine(t.substr(start, i - start))) return -1;
            pending_and = t.compare(i, 2, kw::AND) == 0;
            start = i + 2;
            split = true;
        }
        i += len;
    }
    if (!split) {
        // The connectives sit only inside parentheses. Going on with the
        // same text would never end; a shorter one (an enclosing pair was
        // dropped) makes progress.
        if (t.size() == text.size()) return -1;
        return eval_condition_inner(s, m, t);
    }
    if (!combine(t.substr(start))) return -1;
    return result;
}

}  // namespace

int eval_condition(Script& s, const Model& m, std::string_view text) {
    // Program lines hold at most 99 bytes; a longer condition (from the tool or
    // a damaged file) is bounded like an expression so the recursion is too.
    if (text.size() > static_cast<size_t>(EXPR_TEXT_BYTES)) return -1;
    return eval_condition_inner(s, m, text);
}

bool assign_bl(Script& s, Model& m, std::string_view text) {
    size_t eq = text.find('=');
    if (eq == std::string_view::npos) return false;
    int v = find_variable(m, text.substr(0, eq));
    if (v < 0) return false;
    float value;
    if (!eval_expr(s, m, text.substr(eq + 1), value)) return false;
    m.variable_texts[v][VT_VALUE] = number_text(as_double(value));
    return true;
}

}  // namespace quorrel
