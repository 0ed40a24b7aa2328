#include "player/edit_history.h"

#include "player/interaction.h"
#include "player/player.h"

namespace quorrel {
namespace {

// The members the model and the edit state share, copied either way.
template <class To, class From>
void copy_shared(To& to, const From& from) {
    to.objects = from.objects;
    to.object_texts = from.object_texts;
    to.Z = from.Z;
    to.M = from.M;
    to.E = from.E;
    to.EA = from.EA;
    to.BA = from.BA;
    to.TH = from.TH;
    to.E_TH = from.E_TH;
    to.TB = from.TB;
    to.CT = from.CT;
    to.SH = from.SH;
    to.E_SH = from.E_SH;
    to.GAN = from.GAN;
    to.E_GAN = from.E_GAN;
    to.measurements = from.measurements;
    to.measurement_texts = from.measurement_texts;
    to.points = from.points;
    to.point_texts = from.point_texts;
    to.annotations = from.annotations;
    to.text_blocks = from.text_blocks;
    to.graphs = from.graphs;
}

}  // namespace

void capture_edit_state(const Model& m, EditState& s) {
    copy_shared(s, m);
    s.origin_x = m.settings.origin_x;
    s.origin_y = m.settings.origin_y;
    for (int v = 0; v < MAX_VARIABLES; ++v) s.variable_initial[v] = m.variable_texts[v][VT_INITIAL];
}

void restore_edit_state(Model& m, const EditState& s) {
    copy_shared(m, s);
    m.settings.origin_x = s.origin_x;
    m.settings.origin_y = s.origin_y;
    for (int v = 0; v < MAX_VARIABLES; ++v) {
        auto& texts = m.variable_texts[v];
        if (texts[VT_INITIAL] == s.variable_initial[v]) continue;
        texts[VT_INITIAL] = texts[VT_VALUE] = s.variable_initial[v];
    }
}

std::unique_ptr<EditState> EditHistory::take(const Model& m) {
    std::unique_ptr<EditState> s;
    if (spare_.empty()) {
        s = std::make_unique<EditState>();
    } else {
        s = std::move(spare_.back());
        spare_.pop_back();
    }
    capture_edit_state(m, *s);
    s->revision = revision_;
    return s;
}

void EditHistory::give_back(std::unique_ptr<EditState> s) {
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

bool EditHistory::step(Model& m, std::vector<std::unique_ptr<EditState>>& from,
                       std::vector<std::unique_ptr<EditState>>& to) {
    if (from.empty()) return false;
    to.push_back(take(m));
    std::unique_ptr<EditState> s = std::move(from.back());
    from.pop_back();
    restore_edit_state(m, *s);
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
