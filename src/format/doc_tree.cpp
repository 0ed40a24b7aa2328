#include "format/doc_tree.h"

#include <json/json.h>
#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "format/fields.h"

namespace quorrel {

const DocNode* DocNode::find(std::string_view k) const {
    if (kind != Kind::Table) return nullptr;
    for (const DocNode& m : items)
        if (m.key == k) return &m;
    return nullptr;
}

DocNode& DocNode::add(std::string k, DocNode v) {
    v.key = std::move(k);
    items.push_back(std::move(v));
    return items.back();
}

DocNode& DocNode::set(std::string k, DocNode v) {
    for (DocNode& m : items)
        if (m.key == k) {
            v.key = std::move(k);
            return m = std::move(v);
        }
    return add(std::move(k), std::move(v));
}

std::string shortest_real(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string text_prefix(std::string_view s, std::size_t max_chars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        // A character starts at every byte but a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && chars++ == max_chars)
            return std::string(s.substr(0, i)) + "…";
    }
    return std::string(s);
}

namespace {

std::string too_deep_message() {
    return "表和列表嵌套太深(最多 " + std::to_string(MAX_NESTING) + " 层)。";
}

// What a parse that threw anything but a syntax error says.
void parse_failure(DocParse& r, std::string_view form, const std::exception* e) {
    r = DocParse{};
    r.error = e ? std::string(form) + " 无法读取(" + text_prefix(e->what(), 160) + ")" : "文本太大,内存不足。";
}

}  // namespace

// ---- TOML ----

namespace {

// The nesting of a TOML text as toml++ would build it (header keys, dotted
// keys, inline lists and tables), found before the text is parsed: toml++
// builds and frees its tables recursively and limits only the nesting of
// inline values. Strings and comments are skipped; what the scan does not
// understand is left for the parser to refuse.
class TomlNesting {
public:
    explicit TomlNesting(std::string_view t) : t_(t) {}

    // The line where a table or list first lies deeper than MAX_NESTING, or 0.
    int too_deep() {
        int header = 0;  // level of the table the last [header] names
        while (!deep_) {
            skip_blank(true);
            if (i_ >= t_.size()) break;
            const std::size_t from = i_;
            if (at('[')) {
                ++i_;
                if (at('[')) {
                    ++i_;
                    ++lists_;
                }
                // Each part of the path is a table, or a list of tables and its
                // last table: a list adds a level, and there are at most as
                // many lists on the path as [[headers]] so far.
                const int parts = key();
                header = parts + std::min(parts, lists_);
                if (check(header)) break;
                while (i_ < t_.size() && t_[i_] != '\n') ++i_;
            } else if (const int parts = key()) {
                key_value(header, parts);
            }
            if (i_ == from) ++i_;  // a stray character: the parser refuses it
        }
        return deep_ ? line_ : 0;
    }

private:
    bool at(char c) const { return i_ < t_.size() && t_[i_] == c; }
    bool check(int level) {
        deep_ = deep_ || level > MAX_NESTING;
        return deep_;
    }

    void skip_blank(bool lines) {
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i_;
            } else if (lines && c == '\n') {
                ++line_;
                ++i_;
            } else if (lines && c == '#') {
                while (i_ < t_.size() && t_[i_] != '\n') ++i_;
            } else {
                return;
            }
        }
    }

    // A string of any of the four kinds, up to its closing quote (a one-line
    // string also ends at the end of its line).
    void string() {
        const char q = t_[i_];
        const std::string triple(3, q);
        const bool multi = t_.substr(i_, 3) == triple;
        i_ += multi ? 3 : 1;
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (c == '\n') {
                if (!multi) return;
                ++line_;
            } else if (c == '\\' && q == '"') {
                if (i_ + 1 < t_.size() && t_[i_ + 1] == '\n') ++line_;
                ++i_;
            } else if (c == q && (!multi || t_.substr(i_, 3) == triple)) {
                i_ += multi ? 3 : 1;
                // A multi-line string may end in one or two quotes of its own.
                for (int extra = 0; multi && extra < 2 && at(q); ++extra) ++i_;
                return;
            }
            ++i_;
        }
    }

    // The number of parts of a dotted key; 0: no key here.
    int key() {
        int parts = 0;
        for (;;) {
            skip_blank(false);
            if (at('"') || at('\'')) {
                string();
            } else {
                const std::size_t from = i_;
                while (i_ < t_.size() && bare_key_byte(t_[i_])) ++i_;
                if (i_ == from) return parts;
            }
            ++parts;
            skip_blank(false);
            if (!at('.')) return parts;
            ++i_;
        }
    }
    static bool bare_key_byte(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || (c & 0x80);
    }

    // `key = value` in a table at `level`: the key's parts but the last are
    // tables at the levels below the value's.
    void key_value(int level, int parts) {
        if (check(level + parts - 1)) return;
        skip_blank(false);
        if (!at('=')) return;
        ++i_;
        value(level + parts);
    }

    void value(int level) {
        skip_blank(false);
        if (at('[') || at('{')) {
            const char close = at('[') ? ']' : '}';
            ++i_;
            if (!check(level)) items(level, close);
        } else if (at('"') || at('\'')) {
            string();
        } else {
            while (i_ < t_.size() && std::string_view(",]}#\n").find(t_[i_]) == std::string_view::npos) ++i_;
        }
    }

    // The items of an inline list or table at `level`, up to `close`.
    void items(int level, char close) {
        while (!deep_) {
            skip_blank(true);
            if (i_ >= t_.size()) return;
            if (at(close)) {
                ++i_;
                return;
            }
            const std::size_t from = i_;
            if (at(',')) {
                ++i_;
            } else if (close == ']') {
                value(level + 1);
            } else if (const int parts = key()) {
                key_value(level, parts);
            }
            if (i_ == from) ++i_;
        }
    }

    std::string_view t_;
    std::size_t i_ = 0;
    int line_ = 1;
    int lists_ = 0;  // [[headers]] so far
    bool deep_ = false;
};

// Members of a table in the order of their lines (toml++ keeps them sorted by key).
void sort_by_line(DocNode& table) {
    std::stable_sort(table.items.begin(), table.items.end(),
                     [](const DocNode& a, const DocNode& b) { return a.line < b.line; });
}

// `level`: of `n` (the root is 0). The scan before parsing keeps the levels
// within MAX_NESTING; the check here holds whatever the scan missed.
bool from_toml(const toml::node& n, int level, DocNode& out, DocParse& r) {
    out.line = static_cast<int>(n.source().begin.line);
    const auto fail = [&](std::string what) {
        r.line = out.line;
        r.error = std::move(what);
        return false;
    };
    if ((n.is_table() || n.is_array()) && level > MAX_NESTING) return fail(too_deep_message());
    if (const auto* t = n.as_table()) {
        out.kind = DocNode::Kind::Table;
        for (auto&& [k, v] : *t) {
            DocNode child;
            if (!from_toml(v, level + 1, child, r)) return false;
            out.add(std::string(k.str()), std::move(child));
        }
        sort_by_line(out);
    } else if (const auto* a = n.as_array()) {
        out.kind = DocNode::Kind::Array;
        for (const toml::node& v : *a) {
            DocNode child;
            if (!from_toml(v, level + 1, child, r)) return false;
            out.items.push_back(std::move(child));
        }
    } else if (const auto* s = n.as_string()) {
        out.kind = DocNode::Kind::String;
        out.text = s->get();
    } else if (const auto* i = n.as_integer()) {
        out.kind = DocNode::Kind::Int;
        out.integer = i->get();
    } else if (const auto* f = n.as_floating_point()) {
        out.kind = DocNode::Kind::Real;
        out.real = f->get();
    } else if (const auto* b = n.as_boolean()) {
        out.kind = DocNode::Kind::Bool;
        out.boolean = b->get();
    } else {
        return fail("日期和时间不能用作实验中的值。");
    }
    return true;
}

}  // namespace

DocParse parse_toml(std::string_view text) {
    DocParse r;
    if ((r.line = TomlNesting(text).too_deep()) > 0) {
        r.error = too_deep_message();
        return r;
    }
    try {
        const toml::table t = toml::parse(text);
        r.ok = from_toml(t, 0, r.root, r);
        r.root.line = 0;
    } catch (const toml::parse_error& e) {
        r = DocParse{};
        r.line = static_cast<int>(e.source().begin.line);
        r.error = "TOML 语法错误(" + text_prefix(e.description(), 160) + ")";
    } catch (const std::bad_alloc&) {
        parse_failure(r, "TOML", nullptr);
    } catch (const std::exception& e) {
        parse_failure(r, "TOML", &e);
    }
    return r;
}

// ---- JSON ----

namespace {

struct LineMap {
    explicit LineMap(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') breaks.push_back(i);
    }
    int line_of(std::ptrdiff_t offset) const {
        const auto it = std::lower_bound(breaks.begin(), breaks.end(), static_cast<std::size_t>(offset));
        return static_cast<int>(it - breaks.begin()) + 1;
    }
    std::vector<std::size_t> breaks;
};

// The line where a list or object first lies deeper than MAX_NESTING, or 0:
// jsoncpp reads values recursively.
int json_too_deep(std::string_view t) {
    int open = 0, line = 1;
    bool in_string = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '\n') ++line;
        if (in_string) {
            if (c == '\\' && i + 1 < t.size() && t[i + 1] != '\n')
                ++i;
            else if (c == '"')
                in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++open - 1 > MAX_NESTING) return line;  // the root is level 0
        } else if (c == ']' || c == '}') {
            --open;
        }
    }
    return 0;
}

bool is_json_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The line of a member's key: before its value stands `"key" :`.
int key_line(std::string_view text, const LineMap& lines, std::ptrdiff_t value_at) {
    std::ptrdiff_t i = value_at - 1;
    while (i >= 0 && is_json_space(text[static_cast<std::size_t>(i)])) --i;
    if (i < 0 || text[static_cast<std::size_t>(i)] != ':') return lines.line_of(value_at);
    --i;
    while (i >= 0 && is_json_space(text[static_cast<std::size_t>(i)])) --i;
    return lines.line_of(std::max<std::ptrdiff_t>(i, 0));
}

// A member of an object comes with the line of its key in out.line.
void from_json(const Json::Value& v, std::string_view text, const LineMap& lines, DocNode& out) {
    const std::ptrdiff_t at = v.getOffsetStart();
    if (out.line == 0) out.line = lines.line_of(at);
    switch (v.type()) {
        case Json::nullValue:
            out.kind = DocNode::Kind::Null;
            break;
        case Json::booleanValue:
            out.kind = DocNode::Kind::Bool;
            out.boolean = v.asBool();
            break;
        case Json::intValue:
            out.kind = DocNode::Kind::Int;
            out.integer = v.asInt64();
            // "-0" is the negative zero of a real.
            if (out.integer == 0 && at >= 0 && static_cast<std::size_t>(at) < text.size() && text[at] == '-') {
                out.kind = DocNode::Kind::Real;
                out.real = -0.0;
            }
            break;
        case Json::uintValue:
            if (v.isInt64()) {
                out.kind = DocNode::Kind::Int;
                out.integer = v.asInt64();
            } else {
                out.kind = DocNode::Kind::Real;
                out.real = v.asDouble();
            }
            break;
        case Json::realValue:
            out.kind = DocNode::Kind::Real;
            out.real = v.asDouble();
            break;
        case Json::stringValue:
            out.kind = DocNode::Kind::String;
            out.text = v.asString();
            break;
        case Json::arrayValue:
            out.kind = DocNode::Kind::Array;
            for (const Json::Value& item : v) {
                DocNode child;
                from_json(item, text, lines, child);
                out.items.push_back(std::move(child));
            }
            break;
        case Json::objectValue:
            out.kind = DocNode::Kind::Table;
            for (auto it = v.begin(); it != v.end(); ++it) {
                DocNode child;
                child.line = key_line(text, lines, it->getOffsetStart());
                from_json(*it, text, lines, child);
                out.add(it.name(), std::move(child));
            }
            sort_by_line(out);
            break;
    }
}

// "* Line 3, Column 5\n  Missing ..." -> 3 and the message.
void json_error(const std::string& formatted, DocParse& r) {
    const auto at = formatted.find("Line ");
    if (at != std::string::npos) r.line = std::atoi(formatted.c_str() + at + 5);
    std::string detail = formatted;
    const auto nl = formatted.find('\n');
    if (nl != std::string::npos) detail = formatted.substr(nl + 1);
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == ' ')) detail.pop_back();
    const auto first = detail.find_first_not_of(' ');
    detail = first == std::string::npos ? std::string() : detail.substr(first);
    const auto next = detail.find('\n');
    if (next != std::string::npos) detail.resize(next);
    r.error = "JSON 语法错误(" + text_prefix(detail, 160) + ")";
}

}  // namespace

DocParse parse_json(std::string_view text) {
    DocParse r;
    if ((r.line = json_too_deep(text)) > 0) {
        r.error = too_deep_message();
        return r;
    }
    try {
        Json::CharReaderBuilder builder;
        Json::CharReaderBuilder::strictMode(&builder.settings_);
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            json_error(errors, r);
            return r;
        }
        from_json(root, text, LineMap(text), r.root);
        r.root.line = 0;
        r.ok = true;
    } catch (const std::bad_alloc&) {
        parse_failure(r, "JSON", nullptr);
    } catch (const std::exception& e) {
        parse_failure(r, "JSON", &e);
    }
    return r;
}

std::string non_finite_text(double v) {
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    if (bits == CANONICAL_NAN) return "NaN";
    char buf[32];
    std::snprintf(buf, sizeof buf, "NaN:0x%016llX", static_cast<unsigned long long>(bits));
    return buf;
}

bool parse_non_finite(std::string_view text, double& out) {
    if (text == "NaN" || text == "Infinity" || text == "-Infinity") {
        out = text == "NaN" ? std::numeric_limits<double>::quiet_NaN()
                            : (text[0] == '-' ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
        return true;
    }
    if (!text.starts_with("NaN:0x") || text.size() != 22) return false;
    std::uint64_t bits = 0;
    const auto r = std::from_chars(text.data() + 6, text.data() + text.size(), bits, 16);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    std::memcpy(&out, &bits, sizeof out);
    return std::isnan(out);
}

// ---- TOML output ----

namespace {

bool is_table(const DocNode& n) {
    return n.kind == DocNode::Kind::Table;
}
bool is_table_array(const DocNode& n) {
    return n.kind == DocNode::Kind::Array && !n.items.empty() &&
           std::all_of(n.items.begin(), n.items.end(), [](const DocNode& i) { return is_table(i); });
}
// A member written under a [header] or [[header]] of its own rather than as
// `key = value`: a table, unless it shows a field (`font = { ... }` is
// inline), or a list of tables.
bool has_header(const DocNode& n) {
    return (is_table(n) && n.field == nullptr) || is_table_array(n);
}

std::string toml_string(std::string_view s) {
    std::string out = "\"";
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04X", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

}  // namespace

std::string toml_real(double v) {
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    // A NaN other than the usual one keeps its bits as the dump's text.
    if (std::isnan(v)) return non_finite_text(v) == "NaN" ? "nan" : toml_string(non_finite_text(v));
    std::string s = shortest_real(v);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

namespace {

std::string toml_value(const DocNode& n, int indent);

std::string toml_inline_table(const DocNode& n) {
    std::string out = "{ ";
    for (std::size_t i = 0; i < n.items.size(); ++i) {
        if (i > 0) out += ", ";
        out += n.items[i].key + " = " + toml_value(n.items[i], 0);
    }
    return out + (n.items.empty() ? "}" : " }");
}

std::string toml_value(const DocNode& n, int indent) {
    switch (n.kind) {
        case DocNode::Kind::Null:
            return "\"\"";
        case DocNode::Kind::Bool:
            return n.boolean ? "true" : "false";
        case DocNode::Kind::Int: {
            if (n.hex && n.integer >= 0) {
                char buf[24];
                std::snprintf(buf, sizeof buf, "0x%06llX", static_cast<unsigned long long>(n.integer));
                return buf;
            }
            return std::to_string(n.integer);
        }
        case DocNode::Kind::Real:
            return toml_real(n.real);
        case DocNode::Kind::String:
            return toml_string(n.text);
        case DocNode::Kind::Table:
            return toml_inline_table(n);
        case DocNode::Kind::Array: {
            // Lists of texts go one item to a line; numbers stay on one line.
            const bool texts = std::any_of(n.items.begin(), n.items.end(),
                                           [](const DocNode& i) { return i.kind == DocNode::Kind::String; });
            if (n.items.empty()) return "[]";
            std::string out = "[";
            const std::string pad(static_cast<std::size_t>(indent + 4), ' ');
            for (std::size_t i = 0; i < n.items.size(); ++i) {
                if (texts)
                    out += "\n" + pad;
                else if (i > 0)
                    out += ", ";
                out += toml_value(n.items[i], indent + 4);
                if (texts) out += ",";
            }
            if (texts) out += "\n" + std::string(static_cast<std::size_t>(indent), ' ');
            return out + "]";
        }
    }
    return "\"\"";
}

void toml_comment(std::string& out, const DocNode& n) {
    std::string c = n.comment;
    if (c.empty() && n.field && n.field->unit[0] != '\0') c = n.field->unit;
    if (!c.empty()) out += "  # " + c;
}

void toml_body(std::string& out, const DocNode& t, const std::string& path);

void toml_table_member(std::string& out, const DocNode& m, const std::string& path) {
    const std::string name = path.empty() ? m.key : path + "." + m.key;
    if (is_table_array(m)) {
        for (const DocNode& item : m.items) {
            out += "\n[[" + name + "]]";
            toml_comment(out, item);
            out += "\n";
            toml_body(out, item, name);
        }
    } else {
        const bool has_values = std::any_of(m.items.begin(), m.items.end(), [](const DocNode& i) {
            return i.kind != DocNode::Kind::Null && !has_header(i);
        });
        if (has_values || m.items.empty()) out += "\n[" + name + "]\n";
        toml_body(out, m, name);
    }
}

void toml_body(std::string& out, const DocNode& t, const std::string& path) {
    for (const DocNode& m : t.items) {
        if (m.kind == DocNode::Kind::Null || has_header(m)) continue;
        out += m.key + " = " + toml_value(m, 0);
        toml_comment(out, m);
        out += "\n";
    }
    for (const DocNode& m : t.items)
        if (has_header(m)) toml_table_member(out, m, path);
}

}  // namespace

std::string to_toml(const DocNode& root, std::string_view header) {
    std::string out;
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find('\n', start);
        if (end == std::string_view::npos) end = header.size();
        out += "# ";
        out += header.substr(start, end - start);
        out += "\n";
        start = end + 1;
    }
    toml_body(out, root, "");
    return out;
}

}  // namespace quorrel
