// The property dialogs opened by a double click before a run: a moving
// object's start, mass, charge, size, display options and attached springs,
// ropes and rods; a field's or region's strength and extent, one generic
// dialog listing the record fields its element form names. OK checks the
// fields in order (property_edit.h); a refusal shows its message and puts the
// focus on the field; Cancel stores nothing.
#pragma once

#include <QDialog>
#include <vector>

#include "player/property_edit.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quorrel {

class ColourSwatch;
class Platform;

class ObjectDialog : public QDialog {
public:
    ObjectDialog(PlayerState& p, Platform& platform, int slot, QWidget* parent = nullptr);

    QLineEdit* edit(ObjectText t) const { return edit_[t]; }
    QCheckBox* trail_box() const { return trail_; }
    ColourSwatch* trail_swatch() const { return trail_colour_; }
    QCheckBox* strobe_box() const { return strobe_; }
    QCheckBox* readout_box(int k) const { return readout_[k]; }
    // Null for the two reserved vectors.
    QCheckBox* live_vector_box(int k) const { return live_[k]; }
    QCheckBox* strobe_vector_box(int k) const { return strobe_vector_[k]; }
    int connector_rows() const { return static_cast<int>(rows_.size()); }
    QLineEdit* connector_edit(int row, bool stiffness) const;
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }

    // OK: checks and stores; the dialog stays open on a refusal.
    void confirm();

private:
    QGroupBox* values_box();
    QGroupBox* connectors_box();
    QGroupBox* display_box();
    QGroupBox* readouts_box();
    QGroupBox* vectors_box();
    ObjectFields fields() const;
    void show_fields(const ObjectFields& f);
    QWidget* field_widget(int field) const;
    void components_edited();
    void polar_edited();

    PlayerState& p_;
    Platform& platform_;
    int slot_;
    ObjectFields shown_;  // what the dialog opened with: the connector rows
    bool polar_ = false;  // the speed and direction were typed last
    QLineEdit* edit_[OBJECT_TEXTS];
    QCheckBox* trail_;
    ColourSwatch* trail_colour_;
    QCheckBox* strobe_;
    QCheckBox* readout_[READOUT_COUNT];
    QCheckBox* live_[VECTOR_COUNT] = {};
    QCheckBox* strobe_vector_[VECTOR_COUNT] = {};
    struct Row {
        QLineEdit* length;
        QLineEdit* stiffness;  // null for ropes and rods
    };
    std::vector<Row> rows_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

class ElementDialog : public QDialog {
public:
    ElementDialog(PlayerState& p, Platform& platform, int table, int slot, QWidget* parent = nullptr);

    int rows() const { return element_form(table_).rows; }
    QLineEdit* edit(int row) const { return edit_[row]; }
    QComboBox* choice_box() const { return choice_; }  // null without a choice
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }

    void confirm();

private:
    ElementFields fields() const;

    PlayerState& p_;
    Platform& platform_;
    int table_, slot_;
    QLineEdit* edit_[ELEMENT_FIELD_TEXTS] = {};
    QComboBox* choice_ = nullptr;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Opens the dialog of what a double click hit (drag state and slot),
// modally. True when OK changed the experiment.
bool open_properties_dialog(PlayerState& p, Platform& platform, int drag_state, int index, QWidget* parent);

}  // namespace quorrel
