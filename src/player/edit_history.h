// The undo history of the edits made before a run: drags on the scene and
// property dialogs. An entry holds only the part of the model those edits can
// change (about 120 KB of the model's 400 KB: its EditableTables, the origin
// and the variables' initial values), and the history keeps at most UNDO_DEPTH
// entries, so it never holds more than a few megabytes. The history also
// tells whether the experiment has edits that were not saved.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/model.h"

namespace quorrel {

struct Document;
struct PlayerState;

inline constexpr int UNDO_DEPTH = 20;

// One step of the history: the model's editable tables, the origin and the
// variables' initial values (a point vector's drag sets them).
struct EditStep : EditableTables {
    std::int32_t origin_x = 0, origin_y = 0;
    std::array<Text, MAX_VARIABLES> variable_initial;
    std::uint64_t revision = 0;  // the model's revision this state belongs to
};

void capture_edit_step(const Model& m, EditStep& s);
// Puts the state back. A variable whose initial value changes takes it as its
// value too, as the drag that set it did.
void restore_edit_step(Model& m, const EditStep& s);

class EditHistory {
public:
    // Before an edit: remembers the state it starts from.
    void begin(const Model& m);
    // The edit changed the model: the remembered state becomes the undo step
    // and the redo steps are dropped.
    void commit();
    // The edit changed nothing: the remembered state is dropped.
    void cancel();
    // Back to the state before the last edit, or forward again to the state
    // the last undo left. False when there is nothing to undo or redo.
    bool undo(Model& m);
    bool redo(Model& m);
    bool can_undo() const { return !undo_.empty(); }
    bool can_redo() const { return !redo_.empty(); }

    // A change the history does not keep (the experiment settings): the
    // experiment has unsaved changes until it is saved, whatever is undone.
    void note_outside_change() { outside_change_ = true; }
    // Unsaved edits: the model is not at the revision last saved or loaded,
    // or something outside the history changed since.
    bool unsaved() const { return revision_ != saved_ || outside_change_; }
    void mark_saved() {
        saved_ = revision_;
        outside_change_ = false;
    }
    // A new experiment: no history, nothing unsaved, the memory released.
    void clear();

private:
    std::unique_ptr<EditStep> take(const Model& m);
    void give_back(std::unique_ptr<EditStep> s);
    bool step(Model& m, std::vector<std::unique_ptr<EditStep>>& from, std::vector<std::unique_ptr<EditStep>>& to);

    std::vector<std::unique_ptr<EditStep>> undo_, redo_;  // oldest first
    std::unique_ptr<EditStep> pending_;
    std::vector<std::unique_ptr<EditStep>> spare_;  // reused, so an edit allocates nothing once warm
    std::uint64_t revision_ = 0, saved_ = 0, next_revision_ = 1;
    bool outside_change_ = false;
};

// Ctrl+Z and Ctrl+Y on the player: only while objects can be dragged (stopped
// at time 0). The scene is prepared again. False when nothing changed.
bool undo_edit(PlayerState& p);
bool redo_edit(PlayerState& p);
bool has_unsaved_edits(const Document& p);

}  // namespace quorrel
