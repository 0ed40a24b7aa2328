// The one JSON writer in its two layouts: the dump's indented text and the
// lines of `quorrel-tool run`, whose exact texts scripts compare.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "format/doc_tree.h"

namespace quorrel {
namespace {

double from_bits(std::uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::uint64_t bits_of(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

DocNode holding(DocNode value) {
    DocNode t = DocNode::table();
    t.add("v", std::move(value));
    return t;
}

// {"v": value} in each layout, without the final newline.
std::string indented_of(DocNode value) {
    std::string s = to_json(holding(std::move(value)));
    s.pop_back();
    return s;
}
std::string line_of(DocNode value) {
    std::string s = to_json(holding(std::move(value)), JsonLayout::Line);
    s.pop_back();
    return s;
}

TEST(JsonWrite, RealsKeepTheirTextInEachLayout) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        double v;
        const char* indented;
        const char* line;
    } cases[] = {
        {0.1, "0.1", "0.1"},
        {-1.25e-7, "-1.25e-07", "-1.25e-07"},
        {-0.0, "-0", "0"},
        {1e6, "1e+06", "1000000"},
        {-9007199254740992.0, "-9007199254740992", "-9007199254740992"},
        {9007199254740994.0, "9007199254740994", "9007199254740994"},
        {18446744073709551616.0, "18446744073709551616", "18446744073709552000"},
        {1e20, "1e+20", "1e+20"},
        {1.5e300, "1.5e+300", "1.5e+300"},
        {inf, "\"Infinity\"", "\"Infinity\""},
        {-inf, "\"-Infinity\"", "\"-Infinity\""},
        {std::numeric_limits<double>::quiet_NaN(), "\"NaN\"", "\"NaN\""},
        // The NaN of 0/0 on x86: the dump keeps its bits, a line says NaN.
        {from_bits(0xFFF8000000000000ull), "\"NaN:0xFFF8000000000000\"", "\"NaN\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.indented);
        EXPECT_EQ(indented_of(DocNode::of(c.v)), std::string("{\n    \"v\": ") + c.indented + "\n}");
        EXPECT_EQ(line_of(DocNode::of(c.v)), std::string("{\"v\":") + c.line + "}");
        // The indented text reads back bit for bit.
        const DocParse back = parse_json(indented_of(DocNode::of(c.v)));
        ASSERT_TRUE(back.ok) << back.error;
        const DocNode& v = back.root.items.at(0);
        double read = v.kind == DocNode::Kind::Int ? double(v.integer) : v.real;
        if (v.kind == DocNode::Kind::String) {
            ASSERT_TRUE(parse_non_finite(v.text, read));
        }
        EXPECT_EQ(bits_of(read), bits_of(c.v));
    }
}

// Control characters are escaped, and a byte that is not UTF-8 becomes
// U+FFFD (one each), so the output is always valid JSON.
TEST(JsonWrite, StringsAreEscapedAndAlwaysUtf8) {
    const struct {
        std::string in;
        const char* indented;
        const char* line;
    } cases[] = {
        {"a\"b\\c/", R"("a\"b\\c/")", R"("a\"b\\c/")"},
        {"\n\t\r\b\f\x01\x1f\x7f",
         R"("\u000a\u0009\u000d\u0008\u000c\u0001\u001f)"
         "\x7f\"",
         R"("\n\t\r\b\f\u0001\u001f)"
         "\x7f\""},
        {std::string("\0", 1), R"("\u0000")", R"("\u0000")"},
        {"中\xF4\x8F\xBE\x80", "\"中\xF4\x8F\xBE\x80\"", "\"中\xF4\x8F\xBE\x80\""},
        // Stray, cut, overlong, surrogate and beyond U+10FFFF.
        {"a\xff"
         "b\xe4\xb8",
         "\"a\uFFFDb\uFFFD\uFFFD\"", "\"a\uFFFDb\uFFFD\uFFFD\""},
        {"\xc0\x80\xed\xa0\x80\xf4\x90\x80\x80",
         "\""
         "\uFFFD\uFFFD"
         "\uFFFD\uFFFD\uFFFD"
         "\uFFFD\uFFFD\uFFFD\uFFFD\"",
         "\""
         "\uFFFD\uFFFD"
         "\uFFFD\uFFFD\uFFFD"
         "\uFFFD\uFFFD\uFFFD\uFFFD\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.indented);
        EXPECT_EQ(indented_of(DocNode::of(c.in)), std::string("{\n    \"v\": ") + c.indented + "\n}");
        EXPECT_EQ(line_of(DocNode::of(c.in)), std::string("{\"v\":") + c.line + "}");
    }
}

// Members sorted by key in both layouts, set() replacing a member, empty
// lists and tables in the indented layout's own way.
TEST(JsonWrite, LayoutsSortMembersAndIndent) {
    DocNode doc = DocNode::table();
    DocNode& list = doc.add("b", DocNode::array());
    list.items.push_back(DocNode::of(std::int64_t{1}));
    list.items.push_back(DocNode::of(2.5));
    DocNode& inner = doc.add("a", DocNode::table());
    inner.add("x", DocNode::null());
    inner.add("e", DocNode::array());
    inner.add("t", DocNode::table());
    doc.add("c", DocNode::of(false));
    doc.set("c", DocNode::of(true));
    EXPECT_EQ(to_json(doc),
              "{\n"
              "    \"a\": {\n"
              "        \"e\": [\n"
              "        ],\n"
              "        \"t\": {\n"
              "        },\n"
              "        \"x\": null\n"
              "    },\n"
              "    \"b\": [\n"
              "        1,\n"
              "        2.5\n"
              "    ],\n"
              "    \"c\": true\n"
              "}\n");
    EXPECT_EQ(to_json(doc, JsonLayout::Line), "{\"a\":{\"e\":[],\"t\":{},\"x\":null},\"b\":[1,2.5],\"c\":true}\n");
}

}  // namespace
}  // namespace quorrel
