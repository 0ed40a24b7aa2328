// The changes the variable editor and the program editor make to the model:
// adding, removing and changing variables, and storing a program typed as
// text. Texts come in as UTF-8 and are stored as GBK; a text with a character
// GBK cannot hold is refused rather than stored with a '?'. Nothing is shown
// here: a refusal returns the message for the dialog and the field to focus.
#pragma once

#include <string>
#include <string_view>

#include "model/model.h"

namespace quorrel {

enum class EditField { None, Name, Value, Description, Program };

struct EditOutcome {
    bool ok = true;
    std::string message;  // UTF-8; empty when ok
    EditField field = EditField::None;
};

// Appends a variable with this name and initial (and current) value; its
// description is empty and both kinds 0. The value must be a number.
EditOutcome add_variable(Model& m, std::string_view name, std::string_view value);

// Removes variable `index` (never the time variable in slot 0); the later
// ones move up, and every reading bound to its name is removed.
EditOutcome remove_variable(Model& m, int index);

// Renames variable `index` (not slot 0) and sets its initial and current
// value and its description. The readings and point vectors that name it
// follow the new name; the readings bound to it take the description as
// caption and the value as value text. The value need not be a number.
EditOutcome change_variable(Model& m, int index, std::string_view name, std::string_view value,
                            std::string_view description);

// The lines of `program` as one text, joined by '\n' (UTF-8).
std::string program_text(const Model& m, int program);

// Stores `text` as the lines of `program`: one line per '\n'-separated part,
// a final line break ending the last line rather than starting an empty one,
// so an empty text leaves 0 lines. Refused, with nothing stored, beyond
// PROGRAM_LINES lines or with a character GBK cannot hold.
EditOutcome store_program(Model& m, int program, std::string_view text);

}  // namespace quorrel
