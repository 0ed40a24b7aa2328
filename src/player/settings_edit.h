// The rules of the experiment settings dialog and the vector display dialog,
// without widgets: the fields as texts and flags, filled from the model, and
// the OK step that validates them in a fixed order and stores them. The
// dialogs only copy their controls in and out and show the answer.
#pragma once

#include <string>

#include "model/model.h"

namespace quorrel {

// The edit fields of the settings dialog.
enum SettingsText {
    ST_TIME_STEP,    // time_step
    ST_STEPS,        // steps_per_frame
    ST_PAUSE,        // pause_time
    ST_G,            // g
    ST_GRAVITATION,  // G
    ST_K,            // k
    ST_C,            // c
    ST_DIGITS,       // digits
    SETTINGS_TEXTS
};

// The check boxes of the settings dialog.
enum SettingsFlag {
    SF_SHOW_AXES,
    SF_USE_GRAVITY,
    SF_USE_RELATIVITY,
    SF_USE_MUTUAL_GRAVITATION,
    SF_USE_MUTUAL_CHARGE,
    SF_USE_COLLISIONS,
    SF_BOLD_LINES,  // line_width 2 or more
    SF_SHOW_GRID,
    SF_SHOW_FINE_GRID,
    SETTINGS_FLAGS
};

struct SettingsFields {
    std::string text[SETTINGS_TEXTS];  // UTF-8 (digits and signs only, in practice)
    bool flag[SETTINGS_FLAGS] = {};
    Colour axes_colour = 0;
};

// A refusal of OK: the message to show and the field that takes the focus.
struct EditRefusal {
    bool refused = false;
    int field = -1;       // a SettingsText, or the vector dialog's scale index
    std::string message;  // UTF-8
    std::string caption;  // "提示", or empty for a plain box
    bool ok_cancel = false;
};

// A real typed into a field (spaces around it allowed); false for any text
// that is not a finite number.
bool read_real(const std::string& text, double& out);
// A refusal of `field`; with `hint_box` it is shown with the caption "提示"
// and the buttons OK and Cancel.
EditRefusal refuse(int field, std::string message, bool hint_box);
// "<text>  不是一个有效的实数!" in a hint box.
EditRefusal not_a_real(int field, const std::string& text);

// The shortest decimal text that reads back as the same real ("0.001", "1e-12").
std::string shortest_text(double value);

// The dialog's controls as the model sets them.
SettingsFields settings_fields(const Model& m);

// The default physical constants, written into the four constant fields only.
void default_constants(SettingsFields& f);

// OK of the settings dialog. The constants and a valid `digits` are stored as
// soon as they convert, before the later fields are checked, so a refusal
// further on keeps them; the options and timing are stored only when every
// field is valid.
EditRefusal apply_settings(Model& m, const SettingsFields& f);

// The vector display dialog: three scales and eleven force colours, of which
// entries 4 and 6 have no control and are left as they are.
inline constexpr int VECTOR_SCALES = 3;  // velocity, acceleration, force

struct VectorFields {
    std::string scale[VECTOR_SCALES];
    Colour force_colours[FORCE_COLOURS] = {};
};

VectorFields vector_fields(const Model& m);

// OK of the vector display dialog: each scale in turn is checked and stored at
// once; after all three, the force colours (except entries 4 and 6).
EditRefusal apply_vector_settings(Model& m, const VectorFields& f);

}  // namespace quorrel
