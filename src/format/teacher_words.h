// The teacher's form of the text forms: words in place of the numeric codes
// of a few fields, and names in place of the slots of moving objects. Every
// field still reads its stored number; a word or a name is an alternative
// that the text reader turns into that number.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "format/fields.h"

namespace quorrel {

// One accepted word: its English form, its Chinese form (either may be
// written) and the code (or, for a list of flags, the index) it stands for.
struct TeacherWord {
    const char* word;
    const char* label;  // UTF-8
    std::int32_t code;
};

// The words a field accepts. For a field of one value the word gives the
// value; for a list of flags (the vector lists) a list of words sets the
// flags at their indices and clears the rest.
struct WordField {
    SectionId section;
    const char* field;
    std::span<const TeacherWord> words;
};

std::span<const WordField> word_fields();
// The words of a field of a section; nullptr when it takes none.
const WordField* word_field(const Section& s, const Field& f);
// The word written either way; nullptr when the field has no such word.
const TeacherWord* find_word(const WordField& w, std::string_view text);
// "x, y, speed …": the words of a field, for messages and the documentation.
std::string word_list(const WordField& w);

// A shorter key a field may be given under in a section (`vectors` for an
// object's live_vector_flags); "" when it has none. The field a key names
// that way, nullptr when it names none.
std::string_view short_key(const Section& s, const Field& f);
const Field* field_of_short_key(const Section& s, std::string_view key);

// A field stored in radians may be given in degrees under its name with
// DEGREES_SUFFIX appended (`direction_deg = 30`). The key for a field, ""
// when it is not stored in radians; the field a key names that way, nullptr
// when it names none.
inline constexpr std::string_view DEGREES_SUFFIX = "_deg";
std::string degrees_key(const Field& f);
const Field* field_of_degrees_key(std::span<const Field> fields, std::string_view key);

// Whether a field holds the slot of a moving object, so that it may be given
// by the object's name instead.
bool names_object(const Section& s, const Field& f);

// The slot of the object of that name (GBK) among the objects in use;
// NAME_NONE when no object has it, NAME_SEVERAL when more than one has.
inline constexpr int NAME_NONE = -1;
inline constexpr int NAME_SEVERAL = -2;
int object_slot_by_name(const Model& m, std::string_view name);

}  // namespace quorrel
