// The tables of fields as Markdown, for docs/authoring.md.
#include "format/fields_doc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "format/doc_tree.h"
#include "format/fields.h"
#include "format/teacher_geometry.h"
#include "format/teacher_words.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

std::string number(const Field& f, const std::byte* at) {
    char buf[32];
    switch (f.type) {
        case FieldType::Int: {
            std::int32_t v;
            std::memcpy(&v, at, sizeof v);
            return std::to_string(v);
        }
        case FieldType::Colour: {
            std::int32_t v;
            std::memcpy(&v, at, sizeof v);
            std::snprintf(buf, sizeof buf, "0x%06X", static_cast<unsigned>(v));
            return buf;
        }
        case FieldType::Byte:
            return std::to_string(static_cast<int>(*reinterpret_cast<const std::uint8_t*>(at)));
        case FieldType::Real: {
            double v;
            std::memcpy(&v, at, sizeof v);
            return toml_real(v);
        }
        default:
            return "";
    }
}

// The type of a field as the documentation names it ("number", "list of 3 integers").
std::string type_name(const Field& f) {
    const bool list = f.count > 1;
    std::string t;
    switch (f.type) {
        case FieldType::Int:
            t = list ? "integers" : "integer";
            break;
        case FieldType::Byte:
            t = list ? "integers 0-255" : "integer 0-255";
            break;
        case FieldType::Real:
            t = list ? "numbers" : "number";
            break;
        case FieldType::Colour:
            t = list ? "colours" : "colour";
            break;
        case FieldType::Text:
            t = list ? "texts" : "text";
            break;
        case FieldType::Font:
            return "font";
        case FieldType::Lines:
        case FieldType::LinesAfter:
            return "list of texts";
    }
    return list ? "list of " + std::to_string(f.count) + " " + t : t;
}

std::string reset_value(const Field& f, const RecordRef& r) {
    if (f.type == FieldType::Font) return "see fonts";
    if (f.type == FieldType::Lines) return "none";
    std::vector<std::string> values;
    for (int i = 0; i < f.count; ++i) {
        if (f.type == FieldType::Text)
            values.push_back("\"" + gbk_to_utf8(*r.texts[f.offset + i]) + "\"");
        else
            values.push_back(number(f, r.bytes + f.offset + field_bytes(f) / f.count * static_cast<std::size_t>(i)));
    }
    if (values.size() == 1) return "`" + values[0] + "`";
    bool same = true;
    for (const std::string& v : values) same = same && v == values[0];
    if (same) return "all `" + values[0] + "`";
    std::string out = "`[";
    for (std::size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + values[i];
    return out + "]`";
}

std::string escape_cell(std::string_view text) {
    std::string out;
    for (char ch : text) {
        if (ch == '|') out += '\\';
        out += ch;
    }
    return out;
}

void field_table(std::string& out, std::span<const Field> fields, const RecordRef& reset) {
    out += "| Field | Type | Unit | Reset value | Meaning |\n|---|---|---|---|---|\n";
    std::string kept;
    for (const Field& f : fields) {
        if (f.flags & FIELD_INTERNAL) {
            kept += std::string(kept.empty() ? "" : ", ") + "`" + f.name + "`";
            continue;
        }
        out += "| `" + std::string(f.name) + "` | " + type_name(f) + " | " + escape_cell(f.unit) + " | " +
               escape_cell(reset_value(f, reset)) + " | " + escape_cell(f.meaning) + " |\n";
    }
    if (!kept.empty())
        out +=
            "\nKept as read, reserved or recomputed by the player (left out of the TOML form while at their "
            "reset value): " +
            kept + ".\n";
}

// The teacher's form: the words each field accepts, the fields that take an
// object's name and those that take degrees.
void teacher_words_markdown(std::string& out) {
    out +=
        "\n### Words, names and degrees\n\nA field below may be given by a word (English or Chinese) in place "
        "of its code; a list of flags by a list of words, each setting its flag.\n";
    // One table per list of words, after every field that takes it.
    const auto fields = word_fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto words = fields[i].words;
        const auto same_list = [&](const WordField& w) { return w.words.data() == words.data(); };
        if (std::any_of(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(i), same_list)) continue;
        std::string heading;
        for (const WordField& w : fields.subspan(i))
            if (same_list(w)) {
                const std::string where =
                    w.section == SectionId::Element ? "elements.TH`, `elements.E_TH" : find_section(w.section).key;
                heading += (heading.empty() ? "`" : ", `") + where + "." + w.field + "`";
            }
        out += "\n" + heading + ":\n\n| Word | 中文 | Code |\n|---|---|---|\n";
        for (const TeacherWord& t : words)
            out += "| `" + std::string(t.word) + "` | " + t.label + " | " + std::to_string(t.code) + " |\n";
    }
    std::string named, degrees, shorter;
    for (const Section& s : SECTIONS) {
        const std::string key = s.id == SectionId::Element ? std::string("elements.") + s.key : s.key;
        for (const Field& f : s.fields) {
            if (names_object(s, f)) named += (named.empty() ? "`" : ", `") + key + "." + f.name + "`";
            if (const std::string_view k = short_key(s, f); !k.empty())
                shorter += (shorter.empty() ? "`" : ", `") + key + "." + std::string(k) + "` for `" + f.name + "`";
            if (const std::string d = degrees_key(f); !d.empty())
                degrees += (degrees.empty() ? "`" : ", `") + key + "." + d + "`";
        }
    }
    out += "\nGiven by the name of a moving object instead of its slot: " + named + ".\n";
    out += "\nIn degrees instead of radians: " + degrees + ".\n";
    out += "\nShorter keys: " + shorter + ".\n";
}

}  // namespace

std::string fields_markdown() {
    Model& ref = const_cast<Model&>(reset_reference());
    std::string out;
    for (const Section& s : SECTIONS) {
        const bool element = s.id == SectionId::Element;
        const std::string key = element ? std::string("elements.") + s.key : s.key;
        out += "\n### `" + key + "`: " + s.title + "\n\n";
        out += std::string(s.shape == SectionShape::Single ? "One table" : "A list") + " (`" +
               (s.shape == SectionShape::Single ? "[" + key + "]" : "[[" + key + "]]") + "` in TOML)";
        if (s.shape != SectionShape::Single) out += " of at most " + std::to_string(s.capacity) + " entries";
        if (s.ends[0] != '\0') out += "; `" + std::string(s.ends) + "` must not be 0";
        if (s.id == SectionId::Element && s.table == T_TB) out += " (or, when it is 0, `b`)";
        if (takes_track_ends(s))
            out += ". An entry may instead give its two ends, `" + std::string(TRACK_FROM_KEY) + " = [x1, y1]` and `" +
                   std::string(TRACK_TO_KEY) + " = [x2, y2]` in metres, and its line is worked out from them";
        if (!arc_keys(s).empty())
            out += ". An entry may give its centre as `" + std::string(ARC_CENTRE_KEY) +
                   " = [x, y]` instead of `cx`, `cy`, and its angles in degrees, counter-clockwise from +x, as `" +
                   std::string(ARC_FROM_KEY) + "` and `" + std::string(ARC_TO_KEY) + "`";
        out += ".";
        if (element) out += " An entry may give its numbers in stored order as `values` instead of by name.";
        if (s.id == SectionId::Variables)
            out += " Slot 0 is the time variable: its reset name is `t`, its description `时间变量`.";
        if (s.id == SectionId::Programs)
            out +=
                " `index` names the program's slot (0 the clock event, 1 to 100 the clicks of annotations 0 to "
                "99); without it an entry takes the slot after the previous one.";
        out += "\n\n";
        FileExtras extras = file_extras(ref);
        const int slot = s.shape == SectionShape::Single ? 0 : 1;
        field_table(out, s.fields, record_ref(ref, s, slot, &extras));
    }
    out += "\n### Fonts\n\nThe `font` of text blocks, points and annotations, an inline table in TOML.\n\n";
    field_table(out, FONT_FIELDS, RecordRef{reinterpret_cast<std::byte*>(&ref.annotations[1].font), {}});
    teacher_words_markdown(out);
    return out;
}

}  // namespace quorrel
