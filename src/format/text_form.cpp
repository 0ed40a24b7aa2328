// Writing the text forms: the model as a tree of tables, driven by the field
// tables, then printed as JSON or TOML.
#include "format/text_form.h"

#include <QByteArray>
#include <cstring>

#include "format/fields.h"
#include "format/pictures.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

template <class V>
V load(const std::byte* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

DocNode scalar(const Field& f, const std::byte* base, int i) {
    switch (f.type) {
        case FieldType::Int:
            return DocNode::of(std::int64_t{load<std::int32_t>(base + f.offset + 4 * i)});
        case FieldType::Colour: {
            DocNode n = DocNode::of(std::int64_t{load<std::int32_t>(base + f.offset + 4 * i)});
            n.hex = true;
            return n;
        }
        case FieldType::Byte:
            return DocNode::of(std::int64_t{load<std::uint8_t>(base + f.offset + i)});
        case FieldType::Real:
            return DocNode::of(load<double>(base + f.offset + 8 * i));
        default:
            return DocNode::null();
    }
}

DocNode text_node(const Text& t) {
    return DocNode::of(gbk_to_utf8_lossless(t));
}

// The value of a field of numbers or texts, or the list of its values.
DocNode values(const Field& f, const RecordRef& r) {
    const auto item = [&](int i) {
        return f.type == FieldType::Text ? text_node(*r.texts[f.offset + i]) : scalar(f, r.bytes, i);
    };
    if (f.count == 1) return item(0);
    DocNode v = DocNode::array();
    for (int i = 0; i < f.count; ++i) v.items.push_back(item(i));
    return v;
}

DocNode font_doc(std::byte* font, const std::byte* reset, bool every) {
    DocNode t = DocNode::table();
    for (const Field& f : FONT_FIELDS) {
        if (!every && std::memcmp(font + f.offset, reset + f.offset, field_bytes(f)) == 0) continue;
        t.add(f.name, values(f, RecordRef{font, {}}));
    }
    return t;
}

bool field_differs(const Model& m, const Section& s, int slot, const Field& f, const RecordRef& r,
                   const RecordRef& reset) {
    switch (f.type) {
        case FieldType::Text:
            for (int i = 0; i < f.count; ++i)
                if (*r.texts[f.offset + i] != *reset.texts[f.offset + i]) return true;
            return false;
        case FieldType::Lines:
        case FieldType::LinesAfter:
            return line_count(m, s, slot, f.type == FieldType::LinesAfter) != 0;
        default:
            return std::memcmp(r.bytes + f.offset, reset.bytes + f.offset, field_bytes(f)) != 0;
    }
}

DocNode field_doc(const Model& m, const Section& s, int slot, const Field& f, const RecordRef& r,
                  const RecordRef& reset, bool every) {
    DocNode v;
    switch (f.type) {
        case FieldType::Lines:
        case FieldType::LinesAfter: {
            const bool after = f.type == FieldType::LinesAfter;
            v = DocNode::array();
            for (int i = 0, n = line_count(m, s, slot, after); i < n; ++i)
                v.items.push_back(text_node(line_at(m, s, slot, i, after)));
            break;
        }
        case FieldType::Font:
            v = font_doc(r.bytes + f.offset, reset.bytes + f.offset, every);
            break;
        default:
            v = values(f, r);
    }
    v.field = &f;
    return v;
}

DocNode record_doc(const Model& m, const Section& s, int slot, const DocOptions& opt) {
    Model& mm = const_cast<Model&>(m);  // record_ref only takes addresses
    Model& ref = const_cast<Model&>(reset_reference());
    FileExtras extras{}, reset_extras{};
    if (s.id == SectionId::Reserved) {
        extras = file_extras(m);
        reset_extras = file_extras(ref);
    }
    const RecordRef r = record_ref(mm, s, slot, &extras);
    const RecordRef reset = record_ref(ref, s, slot, &reset_extras);

    DocNode t = DocNode::table();
    if (s.id == SectionId::Objects && opt.every_field) t.add("slot", DocNode::of(std::int64_t{slot}));
    if (s.id == SectionId::Objects && !opt.every_field) t.comment = "slot " + std::to_string(slot);
    if (s.id == SectionId::Programs) t.add("index", DocNode::of(std::int64_t{slot}));
    if (s.id == SectionId::Variables && slot == 0 && !opt.every_field) t.comment = "slot 0: the time variable";
    if (s.id == SectionId::Element && opt.element_values) {
        DocNode values = DocNode::array();
        for (int i = 0; i < ELEMENT_REALS[s.table]; ++i)
            values.items.push_back(DocNode::of(load<double>(r.bytes + 8 * i)));
        t.add("values", std::move(values));
        t.add("name", text_node(*r.texts[0]));
        return t;
    }
    // Element records are short and read by position: the TOML form writes
    // all their fields but the reserved ones.
    for (const Field& f : s.fields) {
        const bool every = opt.every_field || (s.id == SectionId::Element && !(f.flags & FIELD_INTERNAL));
        if (!every && !field_differs(m, s, slot, f, r, reset)) continue;
        // A variable's initial value is its value unless the file says otherwise.
        if (!opt.every_field && s.id == SectionId::Variables && f.offset == VT_INITIAL && f.type == FieldType::Text &&
            *r.texts[VT_INITIAL] == *r.texts[VT_VALUE])
            continue;
        t.add(f.name, field_doc(m, s, slot, f, r, reset, opt.every_field));
    }
    return t;
}

bool empty_record(const DocNode& t) {
    for (const DocNode& m : t.items)
        if (m.key != "index") return false;
    return true;
}

DocNode list_doc(const Model& m, const Section& s, const DocOptions& opt) {
    DocNode list = DocNode::array();
    const int n = section_count(m, s);
    for (int i = 0; i < n; ++i) {
        DocNode rec = record_doc(m, s, i, opt);
        // Programs name their slot: an empty one is left out unless it holds the count.
        if (!opt.every_field && s.id == SectionId::Programs && empty_record(rec) && i + 1 < n) continue;
        list.items.push_back(std::move(rec));
    }
    return list;
}

// A list equal to the reset model's, which the TOML form leaves out.
bool list_is_reset(const Model& m, const Section& s, const DocNode& list) {
    if (section_count(m, s) != section_count(reset_reference(), s)) return false;
    for (const DocNode& rec : list.items)
        if (!empty_record(rec)) return false;
    return true;
}

std::string base64(std::string_view bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString();
}

std::string stored_picture(const Model& m, int slot) {
    if (!m.object_picture_bytes[slot].empty()) return m.object_picture_bytes[slot];
    if (m.objects[slot].own_picture == 1 && !m.object_pictures[slot].isNull())
        return encode_bmp(m.object_pictures[slot]);
    return {};
}

// The pictures of the objects in the list: a binary form's reader may leave
// one in a slot past its end (it reads pictures by rest mass), which belongs
// to no object and is never written.
DocNode pictures_doc(const Model& m, const DocOptions& opt) {
    DocNode a = DocNode::array();
    for (int i = 0, n = object_count(m); i < n; ++i) {
        const QImage& p = m.object_pictures[i];
        const std::string bytes = opt.picture_data ? stored_picture(m, i) : std::string();
        if (p.isNull() && bytes.empty()) continue;
        if (!opt.every_field && bytes.empty()) continue;  // generated balls are made again
        DocNode e = DocNode::table();
        e.add("slot", DocNode::of(std::int64_t{i}));
        if (opt.every_field) {
            e.add("width", DocNode::of(std::int64_t{p.width()}));
            e.add("height", DocNode::of(std::int64_t{p.height()}));
        }
        if (!bytes.empty()) e.add("data", DocNode::of(base64(bytes)));
        a.items.push_back(std::move(e));
    }
    return a;
}

DocNode background_doc(const Model& m, const DocOptions& opt) {
    const QImage& p = m.background_picture;
    if (p.isNull()) return DocNode::null();
    DocNode o = DocNode::table();
    if (opt.every_field) {
        o.add("width", DocNode::of(std::int64_t{p.width()}));
        o.add("height", DocNode::of(std::int64_t{p.height()}));
    }
    if (opt.picture_data) {
        const std::string bytes = m.background_jpeg.empty() ? encode_jpeg(p) : m.background_jpeg;
        if (!bytes.empty()) o.add("data", DocNode::of(base64(bytes)));
    }
    return o;
}

}  // namespace

DocNode model_to_doc(const Model& m, const DocOptions& opt) {
    DocNode root = DocNode::table();
    DocNode elements = DocNode::table();
    bool any_element = false;
    for (const Section& s : SECTIONS) {
        if (s.id == SectionId::Element) {
            DocNode list = list_doc(m, s, opt);
            any_element = any_element || !list.items.empty();
            if (opt.every_field || !list.items.empty()) elements.add(s.key, std::move(list));
            if (s.table == ELEMENT_TABLES - 1 && (opt.every_field || any_element))
                root.add("elements", std::move(elements));
            continue;
        }
        if (s.id == SectionId::Reserved) {
            // The pictures of the objects go after every table.
            DocNode pictures = pictures_doc(m, opt);
            if (opt.every_field || !pictures.items.empty()) root.add("pictures", std::move(pictures));
            DocNode background = background_doc(m, opt);
            if (opt.every_field || background.kind != DocNode::Kind::Null)
                root.add("background", std::move(background));
        }
        if (s.shape == SectionShape::Single) {
            if (s.id == SectionId::Toolbar && !m.has_toolbar) {
                if (opt.every_field) root.add(s.key, DocNode::null());
                continue;
            }
            DocNode rec = record_doc(m, s, 0, opt);
            if (rec.items.empty() && !opt.every_field && s.id != SectionId::Toolbar) continue;
            root.add(s.key, std::move(rec));
            continue;
        }
        DocNode list = list_doc(m, s, opt);
        if (!opt.every_field && (list.items.empty() || list_is_reset(m, s, list))) {
            // An empty list where the reset model has entries must still say so.
            if (!(list.items.empty() && section_count(reset_reference(), s) > 0)) continue;
        }
        root.add(s.key, std::move(list));
    }
    return root;
}

std::string dump_json(const Model& m) {
    return to_json(model_to_doc(m, DocOptions{}));
}

std::string write_json(const Model& m) {
    return to_json(model_to_doc(m, DocOptions{.picture_data = true}));
}

std::string write_toml(const Model& m) {
    const DocNode doc =
        model_to_doc(m, DocOptions{.every_field = false, .picture_data = true, .element_values = false});
    return to_toml(doc,
                   "Quorrel experiment. Every field left out takes its reset value;\n"
                   "docs/authoring.md lists the tables, fields, units and reset values.");
}

TextFormat text_format_of(std::string_view path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return TextFormat::None;
    std::string ext(path.substr(dot + 1));
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "toml") return TextFormat::Toml;
    if (ext == "json") return TextFormat::Json;
    return TextFormat::None;
}

std::string write_for_path(const Model& m, std::string_view path) {
    switch (text_format_of(path)) {
        case TextFormat::Toml:
            return write_toml(m);
        case TextFormat::Json:
            return write_json(m);
        case TextFormat::None:
            break;
    }
    return write_experiment(m);
}

}  // namespace quorrel
