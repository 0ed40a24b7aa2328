#include "player/property_edit.h"

#include <cmath>
#include <cstring>

#include "engine/solvers.h"
#include "model/drag_codes.h"
#include "model/gbk.h"
#include "model/numtext.h"

namespace quorrel {
namespace {

// An untouched text keeps the exact value behind its rounded digits.
constexpr int SHOWN_DIGITS = 12;

constexpr const char* ENTER_NAME = "请输入名称";
constexpr const char* NAME_TAKEN = "已经有此名称的运动对象,请用另外一个名称";
constexpr const char* NAME_TOO_LONG = "名称太长,请改短一些";
constexpr const char* LIGHT_SPEED = "考虑相对论时，速率必须小于真空光速。";
constexpr const char* RIGHT_OF_LEFT = "区域的右边界必须大于左边界。";
constexpr const char* TOP_ABOVE_BOTTOM = "区域的上边界必须大于下边界。";

// A BA shape code of this magnitude or more is drawn as a circle; the codes a
// changed shape gets.
constexpr double ROUND_SHAPE = 5;
constexpr double RECTANGLE_CODE = 1;
constexpr double CIRCLE_CODE = 10;

// The speed and direction of the object dialog stand for the start velocity:
// they are the dialog's own fields, not a record's.
constexpr double NO_LIMIT = std::numeric_limits<double>::infinity();
const Field SPEED_FIELD = {"speed", FieldType::Real, 1,
                           0,       "m/s",           "start speed",
                           0,       "速率",          {0, NO_LIMIT, false, false, "速率必须大于或等于零。"}};
const Field ANGLE_FIELD = {"direction", FieldType::Real, 1, 0, "°", "start direction", 0, "方向", {}};

// The moving object's fields behind the object dialog's text fields.
const char* const OBJECT_TEXT_FIELDS[OBJECT_TEXTS] = {
    "name",      "x0",     "y0",     "vx0",  "vy0", nullptr, nullptr,
    "rest_mass", "charge", "radius", "loss", "fx",  "fy",    "strobe_interval"};

const Field& record_field(SectionId id, int table, const char* name) {
    return *find_field(find_section(id, table).fields, name);
}

// A real of a record by its field.
double real_of(const void* record, const Field& f) {
    double v = 0;
    std::memcpy(&v, static_cast<const std::byte*>(record) + f.offset, sizeof v);
    return v;
}
int real_index(const Field& f) {
    return f.offset / static_cast<int>(sizeof(double));
}
int real_index(int table, const char* name) {
    return real_index(record_field(SectionId::Element, table, name));
}

// A value as a dialog shows it and as the record stores it.
bool in_degrees(const Field& f) {
    return std::strcmp(f.unit, "rad") == 0;
}
double shown_value(const Field& f, double stored) {
    return in_degrees(f) ? degrees(stored) : stored;
}
double stored_value(const Field& f, double shown) {
    return in_degrees(f) ? radians(shown) : shown;
}

struct UnitName {
    const char* unit;
    const char* shown;
};
const UnitName UNIT_NAMES[] = {{"m", "米"},        {"kg", "千克"},  {"C", "库仑"}, {"m/s", "米/秒"},
                               {"m/s²", "米/秒²"}, {"N", "牛"},     {"s", "秒"},   {"N/m", "牛/米"},
                               {"N/C", "牛/库仑"}, {"T", "特斯拉"}, {"°", "度"},   {"rad", "度"}};

// Reads field `k` unless its text is the one shown, in which case `value`
// keeps the exact value behind it. Sets `changed` when the text was edited.
bool read_changed(const std::string& text, const std::string& was, int field, double& value, bool& changed,
                  EditRefusal& r) {
    changed = text != was;
    if (!changed) return true;
    if (read_real(text, value)) return true;
    r = not_a_real(field, text);
    return false;
}

// A 0/1 flag stored only when it was switched, so other non-zero words survive.
template <class T>
void store_flag(T& field, bool on) {
    if ((field != 0) != on) field = on ? 1 : 0;
}

// ---- The connectors of an object. ----

struct ConnectorKind {
    int table;
    bool spring;
    bool two_objects;
    const char* what;
};
const ConnectorKind CONNECTOR_KINDS[] = {{T_TH, true, false, "弹簧"}, {T_E_TH, true, true, "弹簧"},
                                         {T_SH, false, false, "绳"},  {T_E_SH, false, true, "绳"},
                                         {T_GAN, false, false, "杆"}, {T_E_GAN, false, true, "杆"}};

std::string object_label(const Model& m, int i) {
    const Text& name = m.object_texts[i].name;
    return name.empty() ? "第" + std::to_string(i + 1) + "个运动对象" : gbk_to_utf8(name);
}

std::vector<ConnectorFields> connectors_of(const Model& m, int slot) {
    std::vector<ConnectorFields> rows;
    const MovingObject& o = m.objects[slot];
    for (const ConnectorKind& k : CONNECTOR_KINDS) {
        const int n = element_count(m, k.table);
        for (int e = 0; e < n; ++e) {
            double r[11];
            get_element(m, k.table, e, r);
            // Anchored: (anchor x, anchor y, length, ..., object at 5);
            // between objects: (a, b, length, ...).
            const int a = object_slot(m, k.two_objects ? r[0] : r[5]);
            const int b = k.two_objects ? object_slot(m, r[1]) : -1;
            if (a != slot && b != slot) continue;
            ConnectorFields c;
            c.table = k.table;
            c.slot = e;
            c.editable = k.spring;
            const int other = a == slot ? b : a;
            c.caption = k.two_objects
                            ? std::string(k.what) + "（连接“" + (other >= 0 ? object_label(m, other) : "?") + "”）"
                            : std::string(k.what) + "（固定端）";
            if (k.spring) {
                c.length = property_text(r[2]);
                c.stiffness = property_text(r[3]);
            } else if (k.two_objects) {
                c.length = other >= 0
                               ? property_text(std::hypot(o.x0 - m.objects[other].x0, o.y0 - m.objects[other].y0))
                               : property_text(r[2]);
            } else {
                c.length = property_text(std::hypot(o.x0 - r[0], o.y0 - r[1]));
            }
            rows.push_back(std::move(c));
        }
    }
    return rows;
}

// A new name for object `slot`, in GBK; false with the refusal when it cannot be used.
bool check_name(const Model& m, int slot, const std::string& utf8, Text& name, EditRefusal& r) {
    std::string bad;
    if (utf8.empty()) {
        r = refuse(OT_NAME, ENTER_NAME, true);
    } else if (!utf8_to_gbk_exact(utf8, name, bad)) {
        r = refuse(OT_NAME, "字符“" + bad + "”无法保存,请改用其他字符", true);
    } else if (name.size() > static_cast<std::size_t>(MAX_TEXT_BYTES)) {
        r = refuse(OT_NAME, NAME_TOO_LONG, true);
    } else {
        const int same = find_object(m, name);
        if (same < 0 || same == slot) return true;
        r = refuse(OT_NAME, NAME_TAKEN, true);
    }
    return false;
}

// Measurements find their objects by name: those that named this object by
// its old name name it by the new one.
void rename_references(Model& m, int slot, const Text& old_name, const Text& name) {
    if (old_name.empty() || find_object(m, old_name) != slot) return;
    const int n = measurement_count(m);
    for (int k = 0; k < n; ++k) {
        const Measurement& d = m.measurements[k];
        const std::int32_t kinds[3] = {d.kind1, d.kind2, d.kind3};
        for (int j = 0; j < 3; ++j) {
            Text& ref = m.measurement_texts[k][MT_POINT1 + j];
            if (kinds[j] == REF_OBJECT && ref == old_name) ref = name;
        }
    }
}

// The object's values once every field has been read, by text field; the
// speed and direction have none of their own (they give vx0 and vy0).
using ObjectValues = std::array<double, OBJECT_TEXTS>;

bool holds_real(int t) {
    return t != OT_NAME && t != OT_SPEED && t != OT_ANGLE;
}

ObjectValues object_values(const MovingObject& o) {
    ObjectValues v{};
    for (int t = 0; t < OBJECT_TEXTS; ++t)
        if (holds_real(t)) v[t] = real_of(&o, object_text_field(t));
    return v;
}

bool read_velocity(const Model& m, const MovingObject& o, const ObjectFields& f, const ObjectFields& was,
                   ObjectValues& v, EditRefusal& r) {
    bool changed = false;
    if (f.polar_velocity && (f.text[OT_SPEED] != was.text[OT_SPEED] || f.text[OT_ANGLE] != was.text[OT_ANGLE])) {
        double speed = length(o.vx0, o.vy0), angle = degrees(vec_angle(o.vx0, o.vy0));
        bool speed_changed = false;
        if (!read_changed(f.text[OT_SPEED], was.text[OT_SPEED], OT_SPEED, speed, speed_changed, r)) return false;
        if (!read_changed(f.text[OT_ANGLE], was.text[OT_ANGLE], OT_ANGLE, angle, changed, r)) return false;
        if (!in_range(SPEED_FIELD.range, speed)) {
            r = refuse(OT_SPEED, SPEED_FIELD.range.refusal, true);
            return false;
        }
        const XY c = velocity_components(speed, angle);
        v[OT_VX0] = c.x;
        v[OT_VY0] = c.y;
        changed = true;
    } else {
        bool vy_changed = false;
        if (!read_changed(f.text[OT_VX0], was.text[OT_VX0], OT_VX0, v[OT_VX0], changed, r)) return false;
        if (!read_changed(f.text[OT_VY0], was.text[OT_VY0], OT_VY0, v[OT_VY0], vy_changed, r)) return false;
        changed = changed || vy_changed;
    }
    // The relativistic mass has no value at or beyond the speed of light.
    if (changed && m.settings.use_relativity && !(length(v[OT_VX0], v[OT_VY0]) < m.settings.c)) {
        r = refuse(f.polar_velocity ? OT_SPEED : OT_VX0, LIGHT_SPEED, true);
        return false;
    }
    return true;
}

// Reads a real field and checks it against its record field's range when it
// was edited.
struct RangeCheck {
    int field;
    double* value;
    const FieldRange& range;
};

bool read_checked(const std::string& text, const std::string& was, const RangeCheck& c, bool& changed, EditRefusal& r) {
    if (!read_changed(text, was, c.field, *c.value, changed, r)) return false;
    if (changed && !in_range(c.range, *c.value)) {
        r = refuse(c.field, c.range.refusal, true);
        return false;
    }
    return true;
}

bool read_checked(const std::string* text, const std::string* was, const RangeCheck& c, EditRefusal& r) {
    bool changed = false;
    return read_checked(text[c.field], was[c.field], c, changed, r);
}

// A spring row's new natural length and stiffness, where they were edited.
struct SpringEdit {
    bool length_changed = false, stiffness_changed = false;
    double length = 0, stiffness = 0;
};

bool read_connectors(const ObjectFields& f, const ObjectFields& was, std::vector<SpringEdit>& springs, EditRefusal& r) {
    // The rows are those the model has now: a row of the dialog that does
    // not match them (the model changed under it) stores nothing.
    springs.assign(was.connectors.size(), SpringEdit{});
    for (std::size_t i = 0; i < was.connectors.size() && i < f.connectors.size(); ++i) {
        const ConnectorFields& c = f.connectors[i];
        const ConnectorFields& w = was.connectors[i];
        if (!w.editable || c.table != w.table || c.slot != w.slot) continue;
        const int row = static_cast<int>(i);
        SpringEdit& e = springs[i];
        // Every spring kind has the same natural length and stiffness fields.
        const RangeCheck length{connector_field(row, false), &e.length,
                                record_field(SectionId::Element, T_TH, "natural_length").range};
        const RangeCheck stiffness{connector_field(row, true), &e.stiffness,
                                   record_field(SectionId::Element, T_TH, "stiffness").range};
        if (!read_checked(c.length, w.length, length, e.length_changed, r) ||
            !read_checked(c.stiffness, w.stiffness, stiffness, e.stiffness_changed, r))
            return false;
    }
    return true;
}

}  // namespace

std::string property_text(double value) {
    return format_general(value, SHOWN_DIGITS);
}

const Field& object_text_field(int t) {
    if (t == OT_SPEED) return SPEED_FIELD;
    if (t == OT_ANGLE) return ANGLE_FIELD;
    return record_field(SectionId::Objects, -1, OBJECT_TEXT_FIELDS[t]);
}

std::string shown_unit(const Field& f) {
    for (const UnitName& u : UNIT_NAMES)
        if (std::strcmp(f.unit, u.unit) == 0) return u.shown;
    if (*f.unit == '\0' && std::isfinite(f.range.min) && std::isfinite(f.range.max))
        return property_text(f.range.min) + " 到 " + property_text(f.range.max);
    return f.unit;
}

RowCaption row_caption(const Field& first, const Field* second) {
    RowCaption c{first.label ? first.label : "", shown_unit(first)};
    if (!second) return c;
    const std::string label = second->label ? second->label : "", unit = shown_unit(*second);
    // "起始位置 x" and "起始位置 y" share their words before the last.
    const std::size_t a = c.label.rfind(' '), b = label.rfind(' ');
    if (a != std::string::npos && a == b && c.label.compare(0, a, label, 0, b) == 0)
        c.label += ", " + label.substr(b + 1);
    else
        c.label += ", " + label;
    if (unit != c.unit) c.unit += ", " + unit;
    return c;
}

void velocity_polar_texts(double vx, double vy, std::string& speed, std::string& angle) {
    speed = property_text(length(vx, vy));
    angle = property_text(degrees(vec_angle(vx, vy)));
}

XY velocity_components(double speed, double angle_degrees) {
    double a = std::fmod(angle_degrees, 360.0);
    if (a < 0) a += 360.0;
    if (a == 0) return {speed, 0};
    if (a == 90) return {0, speed};
    if (a == 180) return {-speed, 0};
    if (a == 270) return {0, -speed};
    const double rad = radians(a);
    return {speed * std::cos(rad), speed * std::sin(rad)};
}

ObjectFields object_fields(const Model& m, int slot) {
    const MovingObject& o = m.objects[slot];
    ObjectFields f;
    f.text[OT_NAME] = gbk_to_utf8(m.object_texts[slot].name);
    const ObjectValues v = object_values(o);
    for (int t = 0; t < OBJECT_TEXTS; ++t)
        if (holds_real(t)) f.text[t] = property_text(v[t]);
    velocity_polar_texts(o.vx0, o.vy0, f.text[OT_SPEED], f.text[OT_ANGLE]);
    f.show_trail = o.show_trail != 0;
    f.trail_colour = o.trail_colour;
    f.strobe_on = o.strobe_on != 0;
    for (int k = 0; k < READOUT_COUNT; ++k) f.readout[k] = o.readout_flags[k] != 0;
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        f.strobe_vector[k] = o.strobe_vector_flags[k] != 0;
        f.live_vector[k] = o.live_vector_flags[k] != 0;
    }
    f.connectors = connectors_of(m, slot);
    return f;
}

EditRefusal apply_object_properties(Model& m, int slot, const ObjectFields& f) {
    MovingObject& o = m.objects[slot];
    const ObjectFields was = object_fields(m, slot);
    EditRefusal r;

    Text name = m.object_texts[slot].name;
    const bool renamed = f.text[OT_NAME] != was.text[OT_NAME];
    if (renamed && !check_name(m, slot, f.text[OT_NAME], name, r)) return r;

    // In the dialog's order: the start position, the velocity, then the rest.
    ObjectValues v = object_values(o);
    for (int t : {OT_X0, OT_Y0})
        if (!read_checked(f.text, was.text, {t, &v[t], object_text_field(t).range}, r)) return r;
    if (!read_velocity(m, o, f, was, v, r)) return r;
    for (int t = OT_MASS; t < OBJECT_TEXTS; ++t)
        if (!read_checked(f.text, was.text, {t, &v[t], object_text_field(t).range}, r)) return r;
    std::vector<SpringEdit> springs;
    if (!read_connectors(f, was, springs, r)) return r;

    // Everything is valid: store.
    if (renamed) {
        rename_references(m, slot, m.object_texts[slot].name, name);
        m.object_texts[slot].name = name;
    }
    // A new rest mass is the current mass too.
    if (o.rest_mass != v[OT_MASS]) o.mass = v[OT_MASS];
    for (int t = 0; t < OBJECT_TEXTS; ++t)
        if (holds_real(t))
            std::memcpy(reinterpret_cast<std::byte*>(&o) + object_text_field(t).offset, &v[t], sizeof(double));
    store_flag(o.show_trail, f.show_trail);
    o.trail_colour = f.trail_colour;
    store_flag(o.strobe_on, f.strobe_on);
    for (int k = 0; k < READOUT_COUNT; ++k) store_flag(o.readout_flags[k], f.readout[k]);
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        store_flag(o.strobe_vector_flags[k], f.strobe_vector[k]);
        store_flag(o.live_vector_flags[k], f.live_vector[k]);
    }
    for (std::size_t i = 0; i < springs.size(); ++i) {
        const ConnectorFields& c = was.connectors[i];
        double reals[11];
        get_element(m, c.table, c.slot, reals);
        // A spring's natural length and stiffness are its reals 2 and 3.
        if (springs[i].length_changed) reals[2] = springs[i].length;
        if (springs[i].stiffness_changed) reals[3] = springs[i].stiffness;
        set_element(m, c.table, c.slot, reals);
    }
    return {};
}

// ---- Fields and regions. ----

namespace {

// One row per element kind with a dialog.
const ElementForm ELEMENT_FORMS[] = {
    {DRAG_Z,
     T_Z,
     "阻力区域",
     6,
     {"x1", "y1", "x2", "y2", "coefficient", "exponent"},
     true,
     "阻力规律",
     3,
     {"f = k·vⁿ", "f = k·m·vⁿ", "f = k·(4/3)πr³·vⁿ"}},
    {DRAG_M, T_M, "固定质点", 3, {"x", "y", "mass"}, false, nullptr, 0, {}},
    {DRAG_E, T_E, "固定点电荷", 3, {"x", "y", "charge"}, false, nullptr, 0, {}},
    {DRAG_EA, T_EA, "匀强电场", 6, {"x1", "y1", "x2", "y2", "direction", "strength"}, true, nullptr, 0, {}},
    {DRAG_BA, T_BA, "匀强磁场", 5, {"x1", "y1", "x2", "y2", "induction"}, true, "区域形状", 2, {"矩形", "圆形"}},
};
const ElementForm NO_FORM = {-1, -1, "", 0, {}, false, nullptr, 0, {}};

// A magnetic region shows the field it makes: the sign of its shape code
// turns the induction's direction.
double shape_sign(double shape) {
    return shape < 0 ? -1.0 : 1.0;
}

// The BA row of the induction.
constexpr int INDUCTION_ROW = 4;

// The element's values in the rows' order, as the dialog shows them.
void element_values(const Model& m, int table, int slot, double* v, int& choice) {
    double r[11];
    get_element(m, table, slot, r);
    const ElementForm& form = element_form(table);
    for (int k = 0; k < ELEMENT_FIELD_TEXTS; ++k) {
        const Field* f = k < form.rows ? &element_row_field(table, k) : nullptr;
        v[k] = f ? shown_value(*f, r[real_index(*f)]) : 0;
    }
    choice = -1;
    if (table == T_Z) {
        const double law = r[real_index(T_Z, "law")];
        if (law == 0 || law == 1 || law == 2) choice = static_cast<int>(law);
    } else if (table == T_BA) {
        const double shape = r[real_index(T_BA, "shape")];
        v[INDUCTION_ROW] *= shape_sign(shape);
        choice = std::fabs(shape) >= ROUND_SHAPE ? 1 : 0;
    }
}

}  // namespace

bool has_element_properties(int table) {
    return element_form(table).rows > 0;
}

int element_table_of(int drag_state) {
    for (const ElementForm& f : ELEMENT_FORMS)
        if (f.drag_state == drag_state) return f.table;
    return -1;
}

bool has_properties(int drag_state) {
    return drag_state == DRAG_MOVING || element_table_of(drag_state) >= 0;
}

const ElementForm& element_form(int table) {
    for (const ElementForm& f : ELEMENT_FORMS)
        if (f.table == table) return f;
    return NO_FORM;
}

const Field& element_row_field(int table, int row) {
    return record_field(SectionId::Element, table, element_form(table).field[row]);
}

ElementFields element_fields(const Model& m, int table, int slot) {
    ElementFields f;
    double v[ELEMENT_FIELD_TEXTS];
    element_values(m, table, slot, v, f.choice);
    for (int k = 0; k < element_form(table).rows; ++k) f.text[k] = property_text(v[k]);
    return f;
}

EditRefusal apply_element_properties(Model& m, int table, int slot, const ElementFields& f) {
    if (!has_element_properties(table)) return {};
    const ElementForm& form = element_form(table);
    const ElementFields was = element_fields(m, table, slot);
    double v[ELEMENT_FIELD_TEXTS];
    int choice = -1;
    element_values(m, table, slot, v, choice);
    EditRefusal r;
    bool changed[ELEMENT_FIELD_TEXTS] = {};
    for (int k = 0; k < form.rows; ++k) {
        const RangeCheck c{k, &v[k], element_row_field(table, k).range};
        if (!read_checked(f.text[k], was.text[k], c, changed[k], r)) return r;
    }
    if (form.region && (changed[0] || changed[1] || changed[2] || changed[3])) {
        if (!(v[2] > v[0])) return refuse(2, RIGHT_OF_LEFT, true);
        if (!(v[3] > v[1])) return refuse(3, TOP_ABOVE_BOTTOM, true);
    }

    double rec[11];
    get_element(m, table, slot, rec);
    // Each row stores its field, but for a magnetic region's induction (below).
    for (int k = 0; k < form.rows; ++k) {
        const Field& field = element_row_field(table, k);
        if (changed[k] && !(table == T_BA && k == INDUCTION_ROW)) rec[real_index(field)] = stored_value(field, v[k]);
    }
    if (table == T_Z && f.choice != choice && f.choice >= 0 && f.choice < 3) rec[real_index(T_Z, "law")] = f.choice;
    if (table == T_BA) {
        // The row stands for the induction as the field makes it; the record
        // keeps the sign of its shape code and takes the induction to match.
        double& shape = rec[real_index(T_BA, "shape")];
        if (f.choice != choice && (f.choice == 0 || f.choice == 1))
            shape = shape_sign(shape) * (f.choice == 1 ? CIRCLE_CODE : RECTANGLE_CODE);
        if (shape == 0 && changed[INDUCTION_ROW]) shape = RECTANGLE_CODE;
        if (changed[INDUCTION_ROW]) rec[real_index(T_BA, "induction")] = v[INDUCTION_ROW] * shape_sign(shape);
    }
    set_element(m, table, slot, rec);
    return {};
}

// ---- On the player. ----

namespace {

template <class Fields, class Read, class Apply>
EditRefusal confirm(PlayerState& p, Read read, Apply apply) {
    Model& m = *p.model;
    const Fields before = read(m);
    p.edits.begin(m);
    const EditRefusal r = apply(m);
    if (r.refused || read(m) == before) {
        p.edits.cancel();
        return r;
    }
    p.edits.commit();
    prepar_obj(p);
    return r;
}

}  // namespace

EditRefusal confirm_object_properties(PlayerState& p, int slot, const ObjectFields& f) {
    return confirm<ObjectFields>(
        p, [slot](const Model& m) { return object_fields(m, slot); },
        [&](Model& m) { return apply_object_properties(m, slot, f); });
}

EditRefusal confirm_element_properties(PlayerState& p, int table, int slot, const ElementFields& f) {
    return confirm<ElementFields>(
        p, [table, slot](const Model& m) { return element_fields(m, table, slot); },
        [&](Model& m) { return apply_element_properties(m, table, slot, f); });
}

}  // namespace quorrel
