// A parsed text document (TOML or JSON) as one plain tree, each value with
// the line it came from, so the experiment reader can name the line of any
// field it rejects. The writers build the same tree and print it as TOML or
// as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel {

struct Field;

struct DocNode {
    enum class Kind : std::uint8_t { Null, Bool, Int, Real, String, Array, Table };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;            // String (UTF-8)
    std::vector<DocNode> items;  // Array items, or Table members in order (each with its key)
    std::string key;             // the key of a Table member
    int line = 0;                // 1-based line in the source; 0 when unknown
    // Writers: the field a value shows (its unit becomes a TOML comment); a
    // colour is printed in hexadecimal.
    const Field* field = nullptr;
    bool hex = false;
    std::string comment;  // writers: a TOML comment after the value or the [[header]]

    static DocNode table() { return with(Kind::Table); }
    static DocNode array() { return with(Kind::Array); }
    static DocNode null() { return DocNode(); }
    static DocNode of(bool v) { return with(Kind::Bool, &DocNode::boolean, v); }
    static DocNode of(std::int64_t v) { return with(Kind::Int, &DocNode::integer, v); }
    static DocNode of(double v) { return with(Kind::Real, &DocNode::real, v); }
    static DocNode of(std::string v) { return with(Kind::String, &DocNode::text, std::move(v)); }
    static DocNode with(Kind k) {
        DocNode n;
        n.kind = k;
        return n;
    }
    // A node of kind k holding v in `member`.
    template <class V>
    static DocNode with(Kind k, V DocNode::*member, V v) {
        DocNode n = with(k);
        n.*member = std::move(v);
        return n;
    }

    // Table members.
    const DocNode* find(std::string_view k) const;
    DocNode& add(std::string k, DocNode v);
    // The member `k` becomes v, replacing one of that key.
    DocNode& set(std::string k, DocNode v);
};

struct DocParse {
    bool ok = false;
    DocNode root;
    int line = 0;       // of the error; 0 when unknown
    std::string error;  // UTF-8 description of a syntax error or of a text nested too deep
};

// Tables and lists lie at most this many levels deep (the root table is level
// 0, `[objects]` and `"objects": [` are level 1): far deeper than any
// experiment, and shallow enough for the recursive parsers and trees. A text
// nested deeper is refused before it is parsed, naming the line.
inline constexpr int MAX_NESTING = 64;

// Never throw: a syntax error, a text nested too deep or a parser that runs
// out of memory is a DocParse that is not ok.
DocParse parse_toml(std::string_view text);
DocParse parse_json(std::string_view text);

// At most `max_chars` characters of a UTF-8 text, with "…" when cut: how a
// message quotes a key, a name or a parser's description.
std::string text_prefix(std::string_view s, std::size_t max_chars = 40);

// The two layouts of JSON text. Both sort the members of a table by key,
// turn a byte that is not UTF-8 into U+FFFD and write NaN and the infinities
// as strings (non_finite_text).
enum class JsonLayout : std::uint8_t {
    // The dump and the JSON text form: indented with four spaces, a control
    // character as \u00XX, reals with the shortest text that reads back as
    // the same double (-0 stays -0), a NaN with other bits keeps them.
    Indented,
    // A line of `quorrel-tool run`: no spaces, \n and the other short escapes,
    // a whole real up to 2^53 in size as an integer (-0 as 0) and a larger one
    // as its shortest digits padded with zeros unless the exponent form is
    // shorter; every NaN is "NaN". Scripts compare these lines as text.
    Line,
};
// The text of `root` in `layout`, ending with a newline.
std::string to_json(const DocNode& root, JsonLayout layout = JsonLayout::Indented);

// "NaN", "Infinity", "-Infinity"; a NaN with other bits than the usual quiet
// NaN (0x7FF8000000000000) keeps them as "NaN:0x7FF0000000000001".
std::string non_finite_text(double v);
bool parse_non_finite(std::string_view text, double& out);
inline constexpr std::uint64_t CANONICAL_NAN = 0x7FF8000000000000ull;

// TOML text: the root's scalar members, then its tables as [key], arrays of
// tables as [[key]] (nested tables of a table member as [key.sub]), arrays
// and small tables inline. A member with a field gets the field's unit as a
// comment. `header` lines are written first, each as a comment.
std::string to_toml(const DocNode& root, std::string_view header);

// The shortest text of a double that reads back as the same value ("1e-05", "0.1").
std::string shortest_real(double v);
// A real as the TOML text writes it: the shortest text, with ".0" added when
// it would read as an integer; inf, -inf, nan, or a NaN with other bits as the
// string non_finite_text gives.
std::string toml_real(double v);

}  // namespace quorrel
