// The parts of the field tables the property dialogs use beyond the text
// forms: the accepted values of a field, its reset value, and the lookup of
// a record kind's section.
#include <cstring>

#include "format/fields.h"

namespace quorrel {

bool in_range(const FieldRange& r, double value) {
    if (r.non_zero && value == 0) return false;
    // An open end accepts every value there, as a field without a range does.
    if (r.min > -std::numeric_limits<double>::infinity() && !(r.above_min ? value > r.min : value >= r.min))
        return false;
    return !(r.max < std::numeric_limits<double>::infinity() && !(value <= r.max));
}

bool bounded(const FieldRange& r) {
    return r.non_zero || r.min > -std::numeric_limits<double>::infinity() ||
           r.max < std::numeric_limits<double>::infinity();
}

bool field_reset_value(const Section& s, const Field& f, double& value, int index) {
    if (index < 0 || index >= f.count || s.id == SectionId::Reserved) return false;
    // record_ref only takes addresses; nothing is written.
    const RecordRef r = record_ref(const_cast<Model&>(reset_reference()), s, 0);
    if (!r.bytes) return false;
    const std::byte* at = r.bytes + f.offset;
    switch (f.type) {
        case FieldType::Real: {
            std::memcpy(&value, at + 8 * index, sizeof value);
            return true;
        }
        case FieldType::Int:
        case FieldType::Colour: {
            std::int32_t word = 0;
            std::memcpy(&word, at + 4 * index, sizeof word);
            value = word;
            return true;
        }
        case FieldType::Byte:
            value = static_cast<double>(std::to_integer<int>(at[index]));
            return true;
        default:
            return false;
    }
}

const Section& find_section(SectionId id, int table) {
    for (const Section& s : SECTIONS)
        if (s.id == id && s.table == table) return s;
    return SECTIONS.front();
}

}  // namespace quorrel
