#include "player/edit_history.h"

#include "player/interaction.h"
#include "player/player.h"

namespace quorrel {

void capture_edit_step(const Model& m, EditStep& s) {
    static_cast<EditableTables&>(s) = m;
    s.origin_x = m.settings.origin_x;
    s.origin_y = m.settings.origin_y;
    for (int v = 0; v < MAX_VARIABLES; ++v) s.variable_initial[v] = m.variable_texts[v][VT_INITIAL];
}

void restore_edit_step(Model& m, const EditStep& s) {
    static_cast<EditableTables&>(m) = s;
    m.settings.origin_x = s.origin_x;
    m.settings.origin_y = s.origin_y;
    for (int v = 0; v < MAX_VARIABLES; ++v) {
        auto& texts = m.variable_texts[v];
        if (texts[VT_INITIAL] == s.variable_initial[v]) continue;
        texts[VT_INITIAL] = texts[VT_VALUE] = s.variable_initial[v];
    }
}

std::unique_ptr<EditStep> EditHistory::take(const Model& m) {
    std::unique_ptr<EditStep> s;
    if (spare_.empty()) {
        s = std::make_unique<EditStep>();
    } else {
        s = std::move(spare_.back());
        spare_.pop_back();
    }
    capture_edit_step(m, *s);
    s->revision = revision_;
    return s;
}

void EditHistory::give_back(std::unique_ptr<EditStep> s) {
    if (s) spare_.push_back(std::move(s));
}

void EditHistory::begin(const Model& m) {
    give_back(std::move(pending_));
    pending_ = take(m);
}

void EditHistory::commit() {
    if (!pending_) return;
    if (static_cast<int>(undo_.size()) == UNDO_DEPTH) {
        give_back(std::move(undo_.front()));
        undo_.erase(undo_.begin());
    }
    undo_.push_back(std::move(pending_));
    for (auto& s : redo_) give_back(std::move(s));
    redo_.clear();
    revision_ = next_revision_++;
}

void EditHistory::cancel() {
    give_back(std::move(pending_));
}

bool EditHistory::step(Model& m, std::vector<std::unique_ptr<EditStep>>& from,
                       std::vector<std::unique_ptr<EditStep>>& to) {
    if (from.empty()) return false;
    to.push_back(take(m));
    std::unique_ptr<EditStep> s = std::move(from.back());
    from.pop_back();
    restore_edit_step(m, *s);
    revision_ = s->revision;
    give_back(std::move(s));
    return true;
}

bool EditHistory::undo(Model& m) {
    return step(m, undo_, redo_);
}

bool EditHistory::redo(Model& m) {
    return step(m, redo_, undo_);
}

void EditHistory::clear() {
    undo_.clear();
    redo_.clear();
    spare_.clear();
    pending_.reset();
    revision_ = saved_ = 0;
    next_revision_ = 1;
    outside_change_ = false;
}

namespace {

bool undo_or_redo(PlayerState& p, bool redo) {
    if (!drag_mode(p) || p.mouse.mouse_down) return false;
    if (!(redo ? p.edits.redo(*p.model) : p.edits.undo(*p.model))) return false;
    prepar_obj(p);
    return true;
}

}  // namespace

bool undo_edit(PlayerState& p) {
    return undo_or_redo(p, false);
}

bool redo_edit(PlayerState& p) {
    return undo_or_redo(p, true);
}

bool has_unsaved_edits(const Document& p) {
    return p.edits.unsaved();
}

}  // namespace quorrel
