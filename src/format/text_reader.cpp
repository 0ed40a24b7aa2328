// Reading the text forms: the parsed tree, checked field by field against
// the field tables, into a fresh model. The first problem ends the read with
// its line, the field's path and what is wrong.
#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "format/fields.h"
#include "format/pictures.h"
#include "format/read_common.h"
#include "format/teacher_geometry.h"
#include "format/teacher_words.h"
#include "format/text_form.h"
#include "model/gbk.h"
#include "model/vec.h"

namespace quorrel {
namespace {

using Kind = DocNode::Kind;

const char* kind_name(Kind k) {
    switch (k) {
        case Kind::Null:
            return "空值";
        case Kind::Bool:
            return "真假值";
        case Kind::Int:
            return "整数";
        case Kind::Real:
            return "小数";
        case Kind::String:
            return "文字";
        case Kind::Array:
            return "列表";
        case Kind::Table:
            return "表";
    }
    return "值";
}

// The section a key of the root (or, for `element`, of "elements") names.
const Section* section_by_key(std::string_view key, bool element) {
    for (const Section& s : SECTIONS)
        if ((s.id == SectionId::Element) == element && key == s.key) return &s;
    return nullptr;
}

class TextReader {
public:
    TextReader(Model& m, const PictureFiles& files, std::vector<RecordLine>& lines)
        : m_(m), files_(files), lines_(lines) {}

    bool read(const DocNode& root);
    const std::string& error() const { return error_; }

private:
    bool fail(const DocNode& at, const std::string& path, const std::string& what) {
        if (!error_.empty()) return false;
        if (at.line > 0) error_ = "第 " + std::to_string(at.line) + " 行 ";
        error_ += path.empty() ? what : path + ":" + what;
        return false;
    }
    bool expect(const DocNode& n, Kind kind, const std::string& path) {
        if (n.kind == kind) return true;
        return fail(n, path, std::string("应为") + kind_name(kind) + ",这里是" + kind_name(n.kind) + "。");
    }

    // Fails at the first member of table `t` not among `keys`.
    bool only_keys(const DocNode& t, const std::string& path, std::initializer_list<std::string_view> keys) {
        for (const DocNode& member : t.items)
            if (std::find(keys.begin(), keys.end(), member.key) == keys.end())
                return fail(member, member_path(path, member), "没有这个字段。");
        return true;
    }
    // A member's path; a long key shows only its start.
    static std::string member_path(const std::string& path, const DocNode& member) {
        return (path.empty() ? "" : path + ".") + text_prefix(member.key);
    }

    bool integer(const DocNode& n, const std::string& path, std::int64_t lo, std::int64_t hi, std::int64_t& out);
    bool real(const DocNode& n, const std::string& path, double& out);
    bool real_field(const Field& f, const DocNode& n, const std::string& path, std::byte* at);
    bool text(const DocNode& n, const std::string& path, Text& out);
    bool scalar(const Field& f, const DocNode& n, const std::string& path, std::byte* at);
    bool teacher_value(const Field& f, const DocNode& n, const std::string& path, const Section& s, std::byte* at,
                       bool& done);
    bool resolve_names();
    bool degrees_value(const Field& f, const DocNode& n, const std::string& path, const RecordRef& r);
    bool finite_real(const DocNode& n, const std::string& path, double& out);
    bool point(const DocNode& n, const std::string& path, double (&xy)[2]);
    bool replaced(const DocNode& n, const std::string& path, std::span<const std::string_view> keys,
                  const std::string& by);
    bool track_ends(const DocNode& n, const std::string& path, const RecordRef& r);
    bool arc_geometry(const Section& s, const DocNode& n, const std::string& path, const RecordRef& r);
    bool value(const Field& f, const DocNode& n, const std::string& path, const Section* s, int slot,
               const RecordRef& r);
    bool record(std::span<const Field> fields, const DocNode& n, const std::string& path, const Section* s, int slot,
                const RecordRef& r);
    bool element_values(const Section& s, const DocNode& values, const std::string& path, const RecordRef& r);
    bool section(const Section& s, const DocNode& n, const std::string& path);
    bool list(const Section& s, const DocNode& n, const std::string& path);
    bool picture_bytes(const DocNode& entry, const std::string& path, std::string& out);
    bool pictures(const DocNode& n);
    bool background(const DocNode& n);
    void finish();

    Model& m_;
    const PictureFiles& files_;
    std::vector<RecordLine>& lines_;
    std::string error_;
    // Objects named in place of their slots, resolved once every object is read.
    struct NamedSlot {
        const Field* field;
        const DocNode* node;
        std::string path;
        std::byte* at;
    };
    std::vector<NamedSlot> named_;
};

bool TextReader::integer(const DocNode& n, const std::string& path, std::int64_t lo, std::int64_t hi,
                         std::int64_t& out) {
    if (n.kind == Kind::Bool) {
        out = n.boolean ? 1 : 0;
    } else if (n.kind == Kind::Int) {
        out = n.integer;
    } else if (n.kind == Kind::Real && std::isfinite(n.real) && n.real == std::trunc(n.real) &&
               std::fabs(n.real) < 9e15) {
        out = static_cast<std::int64_t>(n.real);
    } else {
        return fail(n, path, std::string("应为整数,这里是") + kind_name(n.kind) + "。");
    }
    if (out < lo || out > hi)
        return fail(n, path,
                    std::to_string(out) + " 超出了范围(" + std::to_string(lo) + " 到 " + std::to_string(hi) + ")。");
    return true;
}

bool TextReader::real(const DocNode& n, const std::string& path, double& out) {
    if (n.kind == Kind::Int) {
        out = static_cast<double>(n.integer);
        return true;
    }
    if (n.kind == Kind::Real) {
        out = n.real;
        return true;
    }
    // The dump writes the values JSON cannot hold as strings.
    if (n.kind == Kind::String && parse_non_finite(n.text, out)) return true;
    return fail(n, path, std::string("应为数字,这里是") + kind_name(n.kind) + "。");
}

// A value of the experiment (a position, a velocity, a mass ...) must be a
// finite number; the values the player recomputes and the reserved words keep
// whatever a file held, NaN and the infinities too, as the dump prints them.
bool TextReader::real_field(const Field& f, const DocNode& n, const std::string& path, std::byte* at) {
    double d = 0;
    if (!real(n, path, d)) return false;
    if (!std::isfinite(d) && must_be_finite(f))
        return fail(n, path, "应为有限的数,这里是 " + non_finite_text(d) + "。");
    std::memcpy(at, &d, sizeof d);
    return true;
}

bool TextReader::text(const DocNode& n, const std::string& path, Text& out) {
    if (!expect(n, Kind::String, path)) return false;
    std::string bad;
    if (n.text.find('\0') != std::string::npos) return fail(n, path, "文字中不能有零字符。");
    if (!utf8_to_gbk_lossless(n.text, out, bad)) return fail(n, path, "文字中的「" + bad + "」不能用 GBK 表示。");
    if (out.size() > static_cast<std::size_t>(MAX_TEXT_BYTES))
        return fail(n, path,
                    "文字太长(" + std::to_string(out.size()) + " 字节,最多 " + std::to_string(MAX_TEXT_BYTES) + ")。");
    return true;
}

bool TextReader::scalar(const Field& f, const DocNode& n, const std::string& path, std::byte* at) {
    std::int64_t i = 0;
    switch (f.type) {
        case FieldType::Int:
        case FieldType::Colour: {
            if (!integer(n, path, INT32_MIN, INT32_MAX, i)) return false;
            const auto v = static_cast<std::int32_t>(i);
            std::memcpy(at, &v, sizeof v);
            return true;
        }
        case FieldType::Byte: {
            if (!integer(n, path, 0, 255, i)) return false;
            *reinterpret_cast<std::uint8_t*>(at) = static_cast<std::uint8_t>(i);
            return true;
        }
        case FieldType::Real:
            return real_field(f, n, path, at);
        default:
            return false;
    }
}

// The teacher's form: a word in place of a code, a list of words in place of
// a list of flags, an object's name in place of its slot. `done` is false
// when the value is not in that form and is read as the stored field.
bool TextReader::teacher_value(const Field& f, const DocNode& n, const std::string& path, const Section& s,
                               std::byte* at, bool& done) {
    const WordField* words = word_field(s, f);
    done = true;
    if (n.kind == Kind::String && f.count == 1 && names_object(s, f)) {
        named_.push_back({&f, &n, path, at});
        return true;
    }
    if (words && n.kind == Kind::String && f.count == 1) {
        const TeacherWord* w = find_word(*words, n.text);
        if (!w) return fail(n, path, "没有「" + text_prefix(n.text) + "」这个词(可写:" + word_list(*words) + ")。");
        return scalar(f, DocNode::of(std::int64_t{w->code}), path, at);
    }
    if (words && n.kind == Kind::Array && f.count > 1 && f.type == FieldType::Byte &&
        std::all_of(n.items.begin(), n.items.end(), [](const DocNode& i) { return i.kind == Kind::String; })) {
        std::memset(at, 0, f.count);
        for (std::size_t i = 0; i < n.items.size(); ++i) {
            const TeacherWord* w = find_word(*words, n.items[i].text);
            if (!w)
                return fail(n.items[i], path + "[" + std::to_string(i) + "]",
                            "没有「" + text_prefix(n.items[i].text) + "」这个词(可写:" + word_list(*words) + ")。");
            at[w->code] = std::byte{1};
        }
        return true;
    }
    done = false;
    return true;
}

bool TextReader::resolve_names() {
    for (const NamedSlot& named : named_) {
        Text name;
        if (!text(*named.node, named.path, name)) return false;
        if (name.empty()) return fail(*named.node, named.path, "运动对象的名字不能为空。");
        const int slot = object_slot_by_name(m_, name);
        if (slot == NAME_NONE)
            return fail(*named.node, named.path, "没有名为「" + text_prefix(named.node->text) + "」的运动对象。");
        if (slot == NAME_SEVERAL)
            return fail(*named.node, named.path,
                        "名为「" + text_prefix(named.node->text) + "」的运动对象不止一个,请写槽位号。");
        if (!scalar(*named.field, DocNode::of(std::int64_t{slot}), named.path, named.at)) return false;
    }
    return true;
}

// A field stored in radians given in degrees under its `_deg` key.
bool TextReader::degrees_value(const Field& f, const DocNode& n, const std::string& path, const RecordRef& r) {
    const std::string key = degrees_key(f);
    const DocNode* given = key.empty() ? nullptr : n.find(key);
    if (!given) return true;
    const std::string p = path + "." + key;
    if (n.find(f.name)) return fail(*given, p, std::string(f.name) + " 和 " + key + " 只能给出一个。");
    double deg = 0;
    if (!finite_real(*given, p, deg)) return false;
    const double rad = radians(deg);
    std::memcpy(r.bytes + f.offset, &rad, sizeof rad);
    return true;
}

bool TextReader::finite_real(const DocNode& n, const std::string& path, double& out) {
    if (!real(n, path, out)) return false;
    if (!std::isfinite(out)) return fail(n, path, "应为有限的数,这里是 " + non_finite_text(out) + "。");
    return true;
}

// A point given as [x, y].
bool TextReader::point(const DocNode& n, const std::string& path, double (&xy)[2]) {
    if (!expect(n, Kind::Array, path)) return false;
    if (n.items.size() != 2)
        return fail(n, path, "应有 2 个数(x, y),这里有 " + std::to_string(n.items.size()) + " 个。");
    for (std::size_t i = 0; i < 2; ++i)
        if (!finite_real(n.items[i], path + "[" + std::to_string(i) + "]", xy[i])) return false;
    return true;
}

// Fails at the first of `keys` that table `n` holds, which `by` replaces.
bool TextReader::replaced(const DocNode& n, const std::string& path, std::span<const std::string_view> keys,
                          const std::string& by) {
    for (const std::string_view key : keys)
        if (const DocNode* other = n.find(key))
            return fail(*other, path + "." + std::string(key),
                        "已由" + by + "给出,不能再给出 " + std::string(key) + "。");
    return true;
}

// A straight track given by its two ends, in place of its line and ends.
bool TextReader::track_ends(const DocNode& n, const std::string& path, const RecordRef& r) {
    const DocNode* ends[] = {n.find(TRACK_FROM_KEY), n.find(TRACK_TO_KEY)};
    if (!ends[0] && !ends[1]) return true;
    const auto end_path = [&](int e) { return path + "." + std::string(e == 0 ? TRACK_FROM_KEY : TRACK_TO_KEY); };
    const int given = ends[0] ? 0 : 1;
    if (!ends[0] || !ends[1]) return fail(*ends[given], end_path(given), "轨道的两端 from 和 to 须一起给出。");
    if (!replaced(n, path, keys_track_ends_replace(), "两端 from、to ")) return false;
    double from[2] = {}, to[2] = {};
    if (!point(*ends[0], end_path(0), from) || !point(*ends[1], end_path(1), to)) return false;
    StraightTrack t;
    std::memcpy(&t, r.bytes, sizeof t);
    if (const std::string why = track_from_ends(from[0], from[1], to[0], to[1], t); !why.empty())
        return fail(*ends[1], end_path(1), why);
    std::memcpy(r.bytes, &t, sizeof t);
    return true;
}

// An arc's centre as a point and its angles in degrees.
bool TextReader::arc_geometry(const Section& s, const DocNode& n, const std::string& path, const RecordRef& r) {
    ArcTrack t;
    std::memcpy(&t, r.bytes, sizeof t);
    for (const ArcKey& a : arc_keys(s)) {
        const DocNode* given = n.find(a.key);
        if (!given) continue;
        const std::string p = path + "." + std::string(a.key);
        if (!replaced(n, path, a.replaces, " " + std::string(a.key) + " ")) return false;
        if (a.key == ARC_CENTRE_KEY) {
            double xy[2] = {};
            if (!point(*given, p, xy)) return false;
            t.cx = xy[0];
            t.cy = xy[1];
            continue;
        }
        double deg = 0;
        if (!finite_real(*given, p, deg)) return false;
        (a.key == ARC_FROM_KEY ? t.start_angle : t.end_angle) = radians(deg);
    }
    std::memcpy(r.bytes, &t, sizeof t);
    return true;
}

bool TextReader::value(const Field& f, const DocNode& n, const std::string& path, const Section* s, int slot,
                       const RecordRef& r) {
    if (s && f.type != FieldType::Text) {
        bool done = false;
        if (!teacher_value(f, n, path, *s, r.bytes + f.offset, done)) return false;
        if (done) return true;
    }
    if (f.type == FieldType::Font) return record(FONT_FIELDS, n, path, nullptr, 0, RecordRef{r.bytes + f.offset, {}});
    if (f.type == FieldType::Lines || f.type == FieldType::LinesAfter) {
        if (!expect(n, Kind::Array, path)) return false;
        std::vector<Text> lines(n.items.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (!text(n.items[i], path + "[" + std::to_string(i) + "]", lines[i])) return false;
        if (!set_lines(m_, *s, slot, lines, f.type == FieldType::LinesAfter))
            return fail(
                n, path,
                "行数 " + std::to_string(n.items.size()) + " 太多(最多 " + std::to_string(PROGRAM_LINES) + ")。");
        return true;
    }
    // The i-th value of a field of numbers or texts.
    const std::size_t step = field_bytes(f) / f.count;
    const auto item = [&](const DocNode& v, const std::string& p, int i) {
        if (f.type == FieldType::Text) return text(v, p, *r.texts[f.offset + i]);
        return scalar(f, v, p, r.bytes + f.offset + step * static_cast<std::size_t>(i));
    };
    if (f.count == 1) return item(n, path, 0);
    if (!expect(n, Kind::Array, path)) return false;
    if (n.items.size() != f.count)
        return fail(n, path,
                    "应有 " + std::to_string(f.count) + " 个值,这里有 " + std::to_string(n.items.size()) + " 个。");
    for (int i = 0; i < f.count; ++i)
        if (!item(n.items[static_cast<std::size_t>(i)], path + "[" + std::to_string(i) + "]", i)) return false;
    return true;
}

bool TextReader::element_values(const Section& s, const DocNode& values, const std::string& path, const RecordRef& r) {
    const int k = ELEMENT_REALS[s.table];
    if (!expect(values, Kind::Array, path)) return false;
    if (values.items.size() != static_cast<std::size_t>(k))
        return fail(values, path,
                    "应有 " + std::to_string(k) + " 个数,这里有 " + std::to_string(values.items.size()) + " 个。");
    // The i-th number is the field stored at 8 * i.
    for (const Field& f : s.fields) {
        if (f.type != FieldType::Real) continue;
        const int i = f.offset / 8;
        if (i < k && !real_field(f, values.items[static_cast<std::size_t>(i)], path + "[" + std::to_string(i) + "]",
                                 r.bytes + f.offset))
            return false;
    }
    return true;
}

bool TextReader::record(std::span<const Field> fields, const DocNode& n, const std::string& path, const Section* s,
                        int slot, const RecordRef& r) {
    if (!expect(n, Kind::Table, path)) return false;
    const DocNode* values = s && s->id == SectionId::Element ? n.find("values") : nullptr;
    if (values && !element_values(*s, *values, path + ".values", r)) return false;
    // Every key must name a field; then the fields are read in their table's
    // order (a program's lines before the lines stored after them).
    for (const DocNode& member : n.items) {
        const std::string p = member_path(path, member);
        if (member.key == "values" && values) continue;
        if (s && is_geometry_key(*s, member.key)) continue;
        // Positions the dump shows: the slot is where the entry stands.
        if (s && ((s->id == SectionId::Objects && member.key == "slot") ||
                  (s->id == SectionId::Programs && member.key == "index"))) {
            std::int64_t ignored = 0;
            if (!integer(member, p, 0, s->capacity - 1, ignored)) return false;
            continue;
        }
        const Field* f = find_field(fields, member.key);
        if (!f) f = field_of_degrees_key(fields, member.key);
        if (!f && s) f = field_of_short_key(*s, member.key);
        if (!f) return fail(member, p, "没有这个字段。");
        if (values && f->type != FieldType::Text) return fail(member, p, "元素已由 values 给出,不能再单独给出字段。");
    }
    for (const Field& f : fields) {
        const DocNode* member = n.find(f.name);
        if (member && !value(f, *member, path + "." + f.name, s, slot, r)) return false;
        // The same field under its short key.
        if (const std::string_view key = s ? short_key(*s, f) : ""; !key.empty()) {
            const std::string p = path + "." + std::string(key);
            if (const DocNode* given = n.find(key)) {
                if (member) return fail(*given, p, std::string(f.name) + " 和 " + std::string(key) + " 只能给出一个。");
                if (!value(f, *given, p, s, slot, r)) return false;
            }
        }
        if (!degrees_value(f, n, path, r)) return false;
    }
    if (!s) return true;
    return takes_track_ends(*s) ? track_ends(n, path, r) : arc_geometry(*s, n, path, r);
}

bool TextReader::section(const Section& s, const DocNode& n, const std::string& path) {
    if (s.shape != SectionShape::Single) return list(s, n, path);
    if (s.id == SectionId::Toolbar) {
        if (n.kind == Kind::Null) return true;
        m_.has_toolbar = true;
    }
    FileExtras extras = file_extras(m_);
    if (!record(s.fields, n, path, &s, 0, record_ref(m_, s, 0, &extras))) return false;
    if (s.id == SectionId::Reserved) set_file_extras(m_, extras);
    return true;
}

bool TextReader::list(const Section& s, const DocNode& n, const std::string& path) {
    if (!expect(n, Kind::Array, path)) return false;
    if (n.items.size() > static_cast<std::size_t>(s.capacity))
        return fail(n, path,
                    "最多 " + std::to_string(s.capacity) + " 项,这里有 " + std::to_string(n.items.size()) + " 项。");
    int next = 0;
    for (std::size_t k = 0; k < n.items.size(); ++k) {
        const DocNode& item = n.items[k];
        std::string p = path + "[" + std::to_string(k) + "]";
        int slot = static_cast<int>(k);
        if (s.shape == SectionShape::Indexed) {
            std::int64_t index = next;
            if (const DocNode* given = item.find("index")) {
                if (!integer(*given, p + ".index", next, s.capacity - 1, index)) return false;
            } else if (next >= s.capacity) {
                return fail(item, p, "最多 " + std::to_string(s.capacity) + " 项。");
            }
            slot = static_cast<int>(index);
            next = slot + 1;
        }
        const bool initial_given = item.find("initial") != nullptr;
        if (!record(s.fields, item, p, &s, slot, record_ref(m_, s, slot))) return false;
        lines_.push_back({s.key, slot, item.line});
        if (s.id == SectionId::Variables && !initial_given)
            m_.variable_texts[slot][VT_INITIAL] = m_.variable_texts[slot][VT_VALUE];
        if (s.shape == SectionShape::List && section_count(m_, s) <= slot) {
            const DocNode* ends = item.find(s.ends);
            return fail(ends ? *ends : item, p, std::string(s.ends) + " 不能为 0:它为 0 的一项是这张表的结尾。");
        }
    }
    if (s.id == SectionId::Variables) m_.variable_count = static_cast<std::int32_t>(n.items.size());
    if (s.id == SectionId::Programs) m_.program_count = next;
    return true;
}

bool TextReader::picture_bytes(const DocNode& entry, const std::string& path, std::string& out) {
    const DocNode* data = entry.find("data");
    const DocNode* file = entry.find("file");
    if (data && file) return fail(*file, path + ".file", "data 和 file 只能给出一个。");
    if (data) {
        if (!expect(*data, Kind::String, path + ".data")) return false;
        const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(data->text),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) return fail(*data, path + ".data", "不是有效的 base64 文字。");
        out = decoded.decoded.toStdString();
        return true;
    }
    if (file) {
        if (!expect(*file, Kind::String, path + ".file")) return false;
        const std::string& name = file->text;
        // Relative to the text's folder, so a text and its pictures move
        // together; ".." may reach a neighbouring folder of pictures.
        if (name.starts_with('/'))
            return fail(*file, path + ".file",
                        "「" + text_prefix(name) + "」是绝对路径;图片文件要写相对于实验文本所在文件夹的名字。");
        if (!files_ || !files_(name, out))
            return fail(*file, path + ".file",
                        "不能读取文件「" + text_prefix(name) + "」(不存在、不是普通文件,或超过了 " +
                            std::to_string(MAX_PICTURE_FILE_BYTES >> 20) + " MB)。");
        return true;
    }
    out.clear();
    return true;
}

// Where the bytes of a picture entry were given: its data or its file.
const DocNode& picture_source(const DocNode& entry) {
    const DocNode* given = entry.find("data");
    if (!given) given = entry.find("file");
    return given ? *given : entry;
}

bool TextReader::pictures(const DocNode& n) {
    if (!expect(n, Kind::Array, "pictures")) return false;
    for (std::size_t k = 0; k < n.items.size(); ++k) {
        const DocNode& e = n.items[k];
        const std::string p = "pictures[" + std::to_string(k) + "]";
        if (!expect(e, Kind::Table, p)) return false;
        if (!only_keys(e, p, {"slot", "data", "file", "width", "height"})) return false;
        const DocNode* slot_node = e.find("slot");
        if (!slot_node) return fail(e, p, "缺少 slot(图片属于哪个运动对象)。");
        std::int64_t slot = 0;
        if (!integer(*slot_node, p + ".slot", 0, MAX_OBJECTS - 1, slot)) return false;
        if (slot >= object_count(m_))
            return fail(*slot_node, p + ".slot", "没有第 " + std::to_string(slot) + " 个运动对象。");
        std::string bytes;
        if (!picture_bytes(e, p, bytes)) return false;
        if (bytes.empty()) continue;  // the dump's entries give only the size
        QImage image = decode_bmp(bytes);
        if (image.isNull()) return fail(picture_source(e), p, "图片(BMP)无法解码。");
        m_.object_pictures[slot] = std::move(image);
        m_.object_picture_bytes[slot] = std::move(bytes);
    }
    return true;
}

bool TextReader::background(const DocNode& n) {
    if (n.kind == Kind::Null) return true;
    if (!expect(n, Kind::Table, "background")) return false;
    if (!only_keys(n, "background", {"data", "file", "width", "height"})) return false;
    std::string bytes;
    if (!picture_bytes(n, "background", bytes)) return false;
    if (bytes.empty()) return true;  // the dump gives only the size
    QImage image = decode_jpeg(bytes);
    if (image.isNull()) return fail(picture_source(n), "background", "背景图片(JPEG)无法解码。");
    m_.background_picture = std::move(image);
    m_.background_jpeg = std::move(bytes);
    return true;
}

// As after reading an experiment file: an object without a picture of its
// own shows the shaded ball, transparent on black.
void TextReader::finish() {
    for (int i = 0; i < MAX_OBJECTS && m_.objects[i].rest_mass != 0.0; ++i) {
        if (!m_.object_picture_bytes[i].empty()) continue;
        MovingObject& o = m_.objects[i];
        m_.object_pictures[i] = make_ball_picture(m_, i);
        o.transparent_colour = 0;
        o.transparent = 1;
    }
}

bool TextReader::read(const DocNode& root) {
    if (!expect(root, Kind::Table, "")) return false;
    // Pictures belong to objects: read them after every table.
    const DocNode* picture_list = nullptr;
    const DocNode* background_node = nullptr;
    for (const DocNode& member : root.items) {
        const std::string& key = member.key;
        if (key == "pictures") {
            picture_list = &member;
        } else if (key == "background") {
            background_node = &member;
        } else if (key == "elements") {
            if (!expect(member, Kind::Table, key)) return false;
            for (const DocNode& table : member.items) {
                const Section* s = section_by_key(table.key, true);
                if (!s) return fail(table, member_path(key, table), "没有这个元素表。");
                if (!list(*s, table, member_path(key, table))) return false;
            }
        } else {
            const Section* s = section_by_key(key, false);
            if (!s) return fail(member, member_path("", member), "没有这个表。");
            if (!section(*s, member, key)) return false;
        }
    }
    if (!resolve_names()) return false;
    if (picture_list && !pictures(*picture_list)) return false;
    if (background_node && !background(*background_node)) return false;
    finish();
    return true;
}

}  // namespace

LoadResult read_text_form(Model& m, std::string_view text, TextFormat format, const PictureFiles& files,
                          LoadScratch& scratch) {
    scratch.record_lines.clear();
    const DocParse parsed = format == TextFormat::Json ? parse_json(text) : parse_toml(text);
    if (!parsed.ok) {
        const std::string where = parsed.line > 0 ? "第 " + std::to_string(parsed.line) + " 行 " : "";
        return failure(msg::TEXT_FORM_ERROR + where + parsed.error, msg::CAPTION_HINT, false);
    }
    return read_into_fresh(m, scratch, [&](Model& fresh) {
        // Fields a reset keeps take their documented reset values, not the
        // previous experiment's: a text form reads the same whatever was open.
        const std::int32_t digits = fresh.digits;
        init_kept_settings(fresh);
        fresh.digits = digits;
        text_form_defaults(fresh);
        TextReader reader(fresh, files, scratch.record_lines);
        if (!reader.read(parsed.root)) return failure(msg::TEXT_FORM_ERROR + reader.error(), msg::CAPTION_HINT, false);
        LoadResult ok;
        ok.ok = true;
        return ok;
    });
}

LoadResult read_text_form(Model& m, std::string_view text, TextFormat format, const std::string& folder,
                          LoadScratch& scratch) {
    const PictureFiles files = [&folder](const std::string& name, std::string& bytes) {
        return read_regular_file(folder.empty() ? name : folder + "/" + name, MAX_PICTURE_FILE_BYTES, bytes) ==
               FileStatus::Ok;
    };
    return read_text_form(m, text, format, files, scratch);
}

LoadResult read_text_form_file(Model& m, const std::string& path, LoadScratch& scratch) {
    std::string bytes;
    LoadResult failed;
    if (!read_file_for_reader(path, MAX_TEXT_FORM_BYTES, bytes, failed)) return failed;
    return read_text_form(m, bytes, text_format_of(path), folder_of(path), scratch);
}

LoadResult read_experiment_or_text_file(Model& m, const std::string& path, LoadScratch& scratch) {
    if (text_format_of(path) != TextFormat::None) return read_text_form_file(m, path, scratch);
    return read_experiment_file(m, path, scratch);
}

}  // namespace quorrel
