// The rules of the property dialogs, without widgets: a moving object's
// properties (with the springs, ropes and rods attached to it) and a field's
// or region's strength and extent, as texts and flags filled from the model,
// and the OK step that checks every field in the dialog's order and then
// stores them all, or nothing. A text left as it was shown keeps the exact
// value behind it, so OK on an untouched dialog changes nothing. Each text
// field stands for a field of the record tables (format/fields.h), whose label,
// unit and range the dialogs show and check.
#pragma once

#include <string>
#include <vector>

#include "format/fields.h"
#include "player/player.h"
#include "player/settings_edit.h"

namespace quorrel {

// The edit fields of a moving object's dialog.
enum ObjectText {
    OT_NAME,
    OT_X0,
    OT_Y0,
    OT_VX0,
    OT_VY0,
    OT_SPEED,  // the start velocity as speed and direction (degrees)
    OT_ANGLE,
    OT_MASS,
    OT_CHARGE,
    OT_RADIUS,
    OT_LOSS,
    OT_FX,
    OT_FY,
    OT_STROBE_INTERVAL,
    OBJECT_TEXTS
};

// A spring, rope or rod attached to the object: one row of the dialog.
struct ConnectorFields {
    int table = T_TH;  // T_TH, T_E_TH, T_SH, T_E_SH, T_GAN or T_E_GAN
    int slot = 0;
    std::string caption;    // what it is and what its other end is (UTF-8)
    std::string length;     // a spring's natural length; a rope's or rod's length
    std::string stiffness;  // springs only
    // Ropes and rods take their length from the start positions at every
    // Run: it is shown, not edited.
    bool editable = false;
    bool operator==(const ConnectorFields&) const = default;
};

struct ObjectFields {
    std::string text[OBJECT_TEXTS];  // UTF-8
    // The speed and direction, not the components, give the start velocity:
    // the dialog sets it when the user types into them.
    bool polar_velocity = false;
    bool show_trail = false;
    Colour trail_colour = 0;
    bool strobe_on = false;
    bool readout[READOUT_COUNT] = {};
    bool strobe_vector[VECTOR_COUNT] = {};
    bool live_vector[VECTOR_COUNT] = {};
    std::vector<ConnectorFields> connectors;
    bool operator==(const ObjectFields&) const = default;
};

// The record field behind a text field of the object dialog: a moving
// object's field, or for the speed and direction the dialog's own.
const Field& object_text_field(int t);

// The unit a dialog shows after a field, in Chinese: a field in radians is
// shown in degrees, and a field without a unit but with a closed range shows
// the range ("0 到 1").
std::string shown_unit(const Field& f);

// The label and unit of a dialog's row of one field, or of two that differ in
// their last word: "起始位置 x, y" in "米"; "速率, 方向" in "米/秒, 度".
struct RowCaption {
    std::string label, unit;
    bool operator==(const RowCaption&) const = default;
};
RowCaption row_caption(const Field& first, const Field* second = nullptr);

// The field number of a connector row's length or stiffness in a refusal.
inline int connector_field(int row, bool stiffness) {
    return OBJECT_TEXTS + 2 * row + (stiffness ? 1 : 0);
}

// A value as the property dialogs show it: 12 significant digits, so a start
// dragged to a pixel reads 0.35 rather than 0.35000000000000003.
std::string property_text(double value);

// The speed and direction texts of a velocity given as components, and the
// components of one given as speed and direction (degrees, counter-clockwise
// from +x; the four axis directions exactly).
void velocity_polar_texts(double vx, double vy, std::string& speed, std::string& angle);
XY velocity_components(double speed, double angle_degrees);

ObjectFields object_fields(const Model& m, int slot);
// OK of the object dialog. A new name must be non-empty, storable in GBK and
// not used by another object; measurements that named the object follow it.
EditRefusal apply_object_properties(Model& m, int slot, const ObjectFields& f);

// The element kinds with a properties dialog (element_form): Z, M, E, EA and BA.
bool has_element_properties(int table);
// The table of such an element from what a double click hit (a drag state
// code), or -1.
int element_table_of(int drag_state);
// Does a double click on what a press picks up (a drag state code) open a
// properties dialog? A moving object's, or a field's or region's.
bool has_properties(int drag_state);

inline constexpr int ELEMENT_FIELD_TEXTS = 6;

// An element kind's dialog: one row of a table, so another kind gets its
// dialog by a row naming its record fields. The rows show those fields with
// their labels, units and ranges; an optional choice stands for a coded field
// (Z: the resistance law; BA: the region's shape).
struct ElementForm {
    int drag_state;  // what a double click picks up (model/drag_codes.h)
    int table;
    const char* title;
    int rows;
    const char* field[ELEMENT_FIELD_TEXTS];  // names in the table's record fields
    bool region;                             // the first four rows are x1, y1, x2, y2, which must enclose a region
    const char* choice_label;                // null without a choice
    int choices;
    const char* choice[3];
};
// The form of a kind; rows 0 for a kind without a dialog.
const ElementForm& element_form(int table);
const Field& element_row_field(int table, int row);

struct ElementFields {
    std::string text[ELEMENT_FIELD_TEXTS];
    int choice = -1;  // -1: the stored value is none of the choices
    bool operator==(const ElementFields&) const = default;
};

ElementFields element_fields(const Model& m, int table, int slot);
// OK of a field's or region's dialog. The strength is the record's presence
// mark, so it can never become 0; a region's right and top edges must lie
// beyond its left and bottom ones.
EditRefusal apply_element_properties(Model& m, int table, int slot, const ElementFields& f);

// OK on the player, while stopped at time 0: stores the fields; when that
// changed what the dialog shows, the change can be undone, the experiment has
// unsaved edits and the scene is prepared again.
EditRefusal confirm_object_properties(PlayerState& p, int slot, const ObjectFields& f);
EditRefusal confirm_element_properties(PlayerState& p, int table, int slot, const ElementFields& f);

}  // namespace quorrel
