// The one JSON writer: the dump, the JSON text form and the lines of
// `quorrel-tool run` all print a DocNode here. jsoncpp reads JSON
// (doc_tree.cpp), but its writer cannot print the texts these outputs keep:
// it prints reals with a fixed precision ("0.10000000000000001") and adds
// ".0" to whole ones, and puts short lists on one line.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "format/doc_tree.h"

namespace quorrel {

namespace {

// Up to 2^53 in size every whole number is a double: the one-line form
// prints those as integers.
constexpr double EXACT_INTEGERS = 9007199254740992.0;

// A whole number beyond 2^53: its shortest digits padded with zeros, or the
// exponent form when that is shorter.
std::string large_whole_real(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    const std::string exponent_form(buf, r.ptr);
    const auto e = exponent_form.find('e');
    std::string fixed = v < 0 ? "-" : "";
    std::size_t digits = 0;
    for (std::size_t i = 0; i < e; ++i)
        if (exponent_form[i] >= '0' && exponent_form[i] <= '9') {
            fixed += exponent_form[i];
            ++digits;
        }
    const int exponent = std::atoi(exponent_form.c_str() + e + 1);
    fixed.append(static_cast<std::size_t>(std::max<int>(exponent + 1 - static_cast<int>(digits), 0)), '0');
    return fixed.size() <= exponent_form.size() ? fixed : exponent_form;
}

// The length of the well-formed UTF-8 character at s[i], or 0.
std::size_t utf8_length(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const auto tail = [&](std::size_t k) { return i + k < s.size() && (b(k) & 0xC0) == 0x80; };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return tail(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!tail(1) || !tail(2)) return 0;
        // No overlong form, no surrogate.
        return (c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) >= 0xA0) ? 0 : 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!tail(1) || !tail(2) || !tail(3)) return 0;
        // No overlong form, nothing beyond U+10FFFF.
        return (c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) >= 0x90) ? 0 : 4;
    }
    return 0;
}

// The short escape of a control character, or null.
const char* short_escape(unsigned char c) {
    switch (c) {
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return nullptr;
    }
}

// A control character: the short escape in the one-line form where there is
// one, \u00XX otherwise.
void json_control(std::string& out, unsigned char c, JsonLayout layout) {
    if (const char* e = short_escape(c); e && layout == JsonLayout::Line) {
        out += e;
        return;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", c);
    out += buf;
}

// A string; a byte that is not part of a well-formed UTF-8 character becomes
// U+FFFD, so the output is UTF-8 whatever the text held.
void json_string(std::string& out, std::string_view s, JsonLayout layout) {
    out += '"';
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = utf8_length(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += s[i];
        } else if (c < 0x20) {
            json_control(out, c, layout);
        } else {
            out.append(s, i, n);
        }
        i += n;
    }
    out += '"';
}

// A finite real as `layout` prints it.
std::string json_number(double v, JsonLayout layout) {
    if (layout == JsonLayout::Indented || std::trunc(v) != v) return shortest_real(v);
    if (std::fabs(v) <= EXACT_INTEGERS) return std::to_string(static_cast<long long>(v));
    return large_whole_real(v);
}

// The string `layout` prints for a NaN or an infinity.
std::string json_non_finite(double v, JsonLayout layout) {
    if (layout == JsonLayout::Line && std::isnan(v)) return "NaN";
    return non_finite_text(v);
}

void json_real(std::string& out, double v, JsonLayout layout) {
    // JSON has no NaN or infinity: they are written as strings.
    if (!std::isfinite(v))
        json_string(out, json_non_finite(v, layout), layout);
    else
        out += json_number(v, layout);
}

void json_value(std::string& out, const DocNode& n, JsonLayout layout, int indent);

// The items of a list or the members of a table, between `open` and `close`.
template <class Item>
void json_items(std::string& out, const std::vector<Item>& items, char open, char close, JsonLayout layout,
                int indent) {
    const bool lines = layout == JsonLayout::Indented;
    const std::string pad(static_cast<std::size_t>(indent + 4), ' ');
    out += open;
    if (lines) out += '\n';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (lines) out += pad;
        const DocNode& n = *items[i];
        if (open == '{') {
            json_string(out, n.key, layout);
            out += lines ? ": " : ":";
        }
        json_value(out, n, layout, indent + 4);
        if (i + 1 < items.size()) out += ',';
        if (lines) out += '\n';
    }
    if (lines) out.append(static_cast<std::size_t>(indent), ' ');
    out += close;
}

void json_value(std::string& out, const DocNode& n, JsonLayout layout, int indent) {
    std::vector<const DocNode*> items;
    switch (n.kind) {
        case DocNode::Kind::Null:
            out += "null";
            return;
        case DocNode::Kind::Bool:
            out += n.boolean ? "true" : "false";
            return;
        case DocNode::Kind::Int:
            out += std::to_string(n.integer);
            return;
        case DocNode::Kind::Real:
            json_real(out, n.real, layout);
            return;
        case DocNode::Kind::String:
            json_string(out, n.text, layout);
            return;
        case DocNode::Kind::Array:
            for (const DocNode& i : n.items) items.push_back(&i);
            json_items(out, items, '[', ']', layout, indent);
            return;
        case DocNode::Kind::Table:
            for (const DocNode& m : n.items) items.push_back(&m);
            std::stable_sort(items.begin(), items.end(),
                             [](const DocNode* a, const DocNode* b) { return a->key < b->key; });
            json_items(out, items, '{', '}', layout, indent);
            return;
    }
}

}  // namespace

std::string to_json(const DocNode& root, JsonLayout layout) {
    std::string out;
    json_value(out, root, layout, 0);
    return out + "\n";
}

}  // namespace quorrel
