#include "format/teacher_words.h"

#include <cstring>
#include <string>

#include "model/units.h"

namespace quorrel {
namespace {

constexpr TeacherWord OBJECT_KINDS[] = {
    {"body", "运动对象", 1},
    {"block", "木块", 2},
    {"plank", "平板", 3},
    {"incline", "斜面", 4},
};

// The quantities a type 1 measurement reads, named as programs name them
// where that is a plain word.
constexpr TeacherWord QUANTITIES[] = {
    {"x", "位置x", Q_X},
    {"y", "位置y", Q_Y},
    {"r", "到原点的距离", Q_R},
    {"deg", "位置方向", Q_DEG},
    {"vx", "速度x", Q_VX},
    {"vy", "速度y", Q_VY},
    {"speed", "速度", Q_V},
    {"v_deg", "速度方向", Q_V_DEG},
    {"ax", "加速度x", Q_AX},
    {"ay", "加速度y", Q_AY},
    {"acceleration", "加速度", Q_A},
    {"a_deg", "加速度方向", Q_A_DEG},
    {"fx", "人为外力x", Q_FX},
    {"fy", "人为外力y", Q_FY},
    {"force", "人为外力", Q_F},
    {"f_deg", "人为外力方向", Q_F_DEG},
};

constexpr TeacherWord MEASUREMENT_TYPES[] = {
    {"quantity", "物理量", 1},
    {"distance", "距离", 2},
    {"angle", "角度", 3},
    {"hidden", "不显示", -1},
};

constexpr TeacherWord POINT_KINDS[] = {
    {"object", "运动对象", 1},
    {"point", "辅助点", 2},
};

// Indices into the seventeen vector flags (10 and 12 are never drawn).
constexpr TeacherWord VECTORS[] = {
    {"velocity", "速度", 0},       {"vx", "速度x", 1},          {"vy", "速度y", 2},
    {"acceleration", "加速度", 3}, {"ax", "加速度x", 4},        {"ay", "加速度y", 5},
    {"applied", "人为外力", 6},    {"resultant", "合力", 7},    {"weight", "重力", 8},
    {"electric", "电场力", 9},     {"lorentz", "洛仑兹力", 11}, {"spring", "弹簧弹力", 13},
    {"normal", "支持力", 14},      {"friction", "摩擦力", 15},  {"rope", "绳子和刚杆的力", 16},
};

constexpr TeacherWord SPRING_MODES[] = {
    {"both", "拉压", 0},
    {"stretch", "只拉", 1},
    {"compress", "只压", 2},
};

constexpr WordField WORD_FIELDS[] = {
    {SectionId::Objects, "kind", OBJECT_KINDS},
    {SectionId::Objects, "strobe_vector_flags", VECTORS},
    {SectionId::Objects, "live_vector_flags", VECTORS},
    {SectionId::Measurements, "type", MEASUREMENT_TYPES},
    {SectionId::Measurements, "quantity", QUANTITIES},
    {SectionId::Measurements, "kind1", POINT_KINDS},
    {SectionId::Measurements, "kind2", POINT_KINDS},
    {SectionId::Measurements, "kind3", POINT_KINDS},
    // The springs of both element tables.
    {SectionId::Element, "mode", SPRING_MODES},
};

struct ShortKey {
    SectionId section;
    const char* key;
    const char* field;
};
constexpr ShortKey SHORT_KEYS[] = {
    {SectionId::Objects, "vectors", "live_vector_flags"},
    {SectionId::Objects, "strobe_vectors", "strobe_vector_flags"},
};

}  // namespace

std::string_view short_key(const Section& s, const Field& f) {
    for (const ShortKey& k : SHORT_KEYS)
        if (k.section == s.id && std::strcmp(k.field, f.name) == 0) return k.key;
    return {};
}

const Field* field_of_short_key(const Section& s, std::string_view key) {
    for (const ShortKey& k : SHORT_KEYS)
        if (k.section == s.id && key == k.key) return find_field(s.fields, k.field);
    return nullptr;
}

std::span<const WordField> word_fields() {
    return WORD_FIELDS;
}

const WordField* word_field(const Section& s, const Field& f) {
    for (const WordField& w : WORD_FIELDS)
        if (w.section == s.id && std::strcmp(w.field, f.name) == 0) {
            // Only the spring tables have a `mode` of these words.
            if (s.id == SectionId::Element && std::strcmp(s.key, "TH") != 0 && std::strcmp(s.key, "E_TH") != 0)
                return nullptr;
            return &w;
        }
    return nullptr;
}

const TeacherWord* find_word(const WordField& w, std::string_view text) {
    for (const TeacherWord& t : w.words)
        if (text == t.word || text == t.label) return &t;
    return nullptr;
}

std::string word_list(const WordField& w) {
    std::string out;
    for (const TeacherWord& t : w.words) {
        if (!out.empty()) out += ", ";
        out += t.word;
    }
    return out;
}

std::string degrees_key(const Field& f) {
    if (f.type != FieldType::Real || f.count != 1 || std::strcmp(f.unit, "rad") != 0) return "";
    return f.name + std::string(DEGREES_SUFFIX);
}

const Field* field_of_degrees_key(std::span<const Field> fields, std::string_view key) {
    if (!key.ends_with(DEGREES_SUFFIX)) return nullptr;
    const Field* f = find_field(fields, key.substr(0, key.size() - DEGREES_SUFFIX.size()));
    return f && !degrees_key(*f).empty() ? f : nullptr;
}

bool names_object(const Section& s, const Field& f) {
    const std::string_view name = f.name;
    if (s.id == SectionId::Objects) return name == "host";
    if (s.id != SectionId::Element) return false;
    return name == "object" || name == "object_a" || name == "object_b";
}

int object_slot_by_name(const Model& m, std::string_view name) {
    int found = NAME_NONE;
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        if (m.object_texts[i].name != name) continue;
        if (found != NAME_NONE) return NAME_SEVERAL;
        found = i;
    }
    return found;
}

}  // namespace quorrel
