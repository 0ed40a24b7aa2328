// The named fields of every record kind of the experiment: one table per
// kind, each field with its name, type, place in the record, unit and meaning,
// and for the fields a property dialog shows, its Chinese label and the values
// it accepts. The dump's JSON, the text forms (reading and writing), the
// authoring documentation, the run data's column units and the property
// dialogs are all produced from these tables, so they cannot disagree.
//
// Numeric fields live in the record's bytes (offset, count values of the
// type); texts live in the model's parallel text tables (offset = the index
// of the record's text). A reset value is not written here: it is whatever a
// freshly reset model holds in the same slot (reset_reference).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "model/model.h"

namespace quorrel {

enum class FieldType : std::uint8_t {
    Int,         // int32
    Byte,        // u8: a flag or a small code
    Real,        // binary64
    Colour,      // int32 colour 0x00BBGGRR
    Text,        // a GBK text of the record; offset = index among the record's texts
    Font,        // a FontSpec inside the record, itself a record of FONT_FIELDS
    Lines,       // the record's list of text lines; count 1 when the record holds the line count word at offset
    LinesAfter,  // lines a program stores after its line count (kept as read, never run)
};

enum : std::uint8_t {
    // A reserved word or a value the engine and the drawing keep for
    // themselves: kept as read, left out of the TOML form while it holds its
    // reset value, and listed apart in the documentation.
    FIELD_INTERNAL = 1,
    // A value the player recomputes when it prepares or runs the scene
    // (positions, readings, drawn sizes): saving the experiment keeps the
    // value it was read with.
    FIELD_RUNTIME = 2,
};

// The values a property dialog accepts for a field (and the span of a slider),
// with the message that refuses any other. The default accepts every number.
struct FieldRange {
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
    bool above_min = false;    // min itself is refused: the value must be greater
    bool non_zero = false;     // 0 is refused (a strength that marks its record as present)
    const char* refusal = "";  // UTF-8
};
bool in_range(const FieldRange& r, double value);
bool bounded(const FieldRange& r);  // refuses some number

struct Field {
    const char* name;
    FieldType type;
    std::uint16_t count;   // 1, or the length of a fixed list of values
    std::uint16_t offset;  // byte offset in the record; for Text the index of the first text
    const char* unit;      // "" when the value has none
    const char* meaning;
    std::uint8_t flags = 0;
    const char* label = nullptr;  // label in the property dialogs (UTF-8); null when no dialog shows the field
    FieldRange range = {};
};

// Bytes of the record a field covers (0 for texts and for line lists kept outside the record).
std::size_t field_bytes(const Field& f);

enum class SectionShape : std::uint8_t {
    Single,   // one record (settings, tool bar, reserved data)
    List,     // slots from 0 up to the first whose `ends` field is zero
    Counted,  // slots 0 to a stored count - 1 (variables)
    Indexed,  // counted, each entry naming its slot with `index` (programs)
};

enum class SectionId : std::uint8_t {
    Settings,
    Toolbar,
    Objects,
    Element,  // one of the thirteen element tables (Section::table)
    Measurements,
    TextBlocks,
    Points,
    Annotations,
    Graphs,
    Variables,
    Programs,
    Reserved,
};

// A record kind and where its records sit in the model.
struct Section {
    SectionId id;
    int table;          // element table code for SectionId::Element, else -1
    const char* key;    // key in the dump and the text forms ("objects", or the element code under "elements")
    const char* title;  // heading in the documentation
    std::span<const Field> fields;
    SectionShape shape;
    int capacity;
    std::size_t stored;  // stored bytes of a record, which the numeric fields cover exactly; 0 when not stored as bytes
    const char* ends;    // the field whose zero ends a List ("" otherwise)
    int texts;           // texts per record
};

extern const std::span<const Section> SECTIONS;
extern const std::span<const Field> FONT_FIELDS;
inline constexpr std::size_t FONT_STORED = sizeof(FontSpec);

const Field* find_field(std::span<const Field> fields, std::string_view name);

// The model-level words and blocks that no table holds: stored and kept, not
// used by the player. Gathered into one record for the Reserved section.
struct FileExtras {
    std::int32_t word1;
    std::int32_t word8;
    std::uint8_t block[50];
    std::int32_t element_words[ELEMENT_TABLES];
    double graph_window[6];
    std::uint8_t graph_flags[2];
};
FileExtras file_extras(const Model& m);
void set_file_extras(Model& m, const FileExtras& x);

// Where a record of a section is. For the Reserved section `bytes` points into
// `extras`, which the caller supplies (and stores back with set_file_extras).
struct RecordRef {
    std::byte* bytes = nullptr;
    Text* texts[2 * CURVES] = {};
};
RecordRef record_ref(Model& m, const Section& s, int slot, FileExtras* extras = nullptr);

// Records in use: 1 for a Single section (the tool bar: 1 only with has_toolbar).
int section_count(const Model& m, const Section& s);

// The line lists of text blocks and programs; `after`: the lines a program
// stores after its line count, up to the last one that is not empty.
int line_count(const Model& m, const Section& s, int slot, bool after = false);
const Text& line_at(const Model& m, const Section& s, int slot, int line, bool after = false);
// False when the section cannot hold that many lines (a program holds 500).
// The lines after the count go after the lines already set.
bool set_lines(Model& m, const Section& s, int slot, std::vector<Text>& lines, bool after = false);

// Whether a field is a value of the experiment itself (a position, a mass ...)
// that must be a finite number: real fields the player does not recompute and
// that are not reserved. The text forms refuse NaN and the infinities there.
bool must_be_finite(const Field& f);
// The path of the first such field holding NaN or an infinity ("objects[2].x0",
// "elements.TB[0].a"), or "" when every one is finite: a text form written from
// this model would not read back.
std::string first_non_finite_value(const Model& m);
// Why a text form is not written for a model whose `field` is not finite.
std::string text_form_refusal(const std::string& field);

// Copies every FIELD_RUNTIME value of `from` into `to` for the records both
// hold (and a measurement's value text, the reading as drawn), so a model the
// player prepared saves as the experiment it read.
void copy_runtime_fields(Model& to, const Model& from);
// The same, except where an edit changed what the player derives a value
// from: `from_derived` is `from` as the player prepares it, `to_derived` is
// `to` holding the values of `from`, prepared the same way; where the two
// differ `to` takes the value of `to_derived` (an edited rest mass brings its
// current mass along, a moved object its position and readings).
void copy_runtime_fields(Model& to, const Model& from, const Model& to_derived, const Model& from_derived);

// A text form's frame when it gives no steps per frame: 10 steps (of the
// 1 ms reset time step, 0.01 s), so that real time runs a frame at least
// every display refresh. An experiment file's reset keeps its 100 steps.
inline constexpr std::int32_t TEXT_FORM_STEPS_PER_FRAME = 10;
// The values a text form starts from before its fields are read: a reset
// model's, except TEXT_FORM_STEPS_PER_FRAME.
void text_form_defaults(Model& m);

// A freshly reset model with the text form's defaults: the reference for
// every reset value a text form leaves out.
const Model& reset_reference();

// The reset value of a numeric field (its `index`th value), as reset_reference
// holds it in slot 0 of the section; false for texts, fonts and line lists.
bool field_reset_value(const Section& s, const Field& f, double& value, int index = 0);

// The section of a record kind (an element table for SectionId::Element).
const Section& find_section(SectionId id, int table = -1);

}  // namespace quorrel
