// The experiment settings dialog: display and physics options, the axes
// colour, the timing, the physical constants and the output precision, with
// help texts for the timing fields, the default constants and the way into
// the vector display settings. OK validates the fields in a fixed order
// (settings_edit.h); a refusal shows its message and puts the focus on the
// field.
#pragma once

#include <QDialog>

#include "player/settings_edit.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quorrel {

class ColourSwatch;
class Platform;
class VectorDialog;

class SettingsDialog : public QDialog {
public:
    SettingsDialog(Model& m, Platform& platform, QWidget* parent = nullptr);

    // Fills every control from the model; done each time the dialog is shown
    // and after the vector display settings close.
    void form_activate();

    QCheckBox* check_box(SettingsFlag f) const { return check_[f]; }
    QLineEdit* edit(SettingsText t) const { return edit_[t]; }
    ColourSwatch* axes_swatch() const { return axes_; }
    QToolButton* help_button(int i) const { return help_[i]; }  // time step, steps, pause
    QPushButton* defaults_button() const { return defaults_; }
    QPushButton* vector_button() const { return vector_; }
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }
    VectorDialog* vector_dialog() const { return vector_dialog_; }

    // OK: validates and stores; the dialog stays open on a refusal.
    void confirm();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SettingsFields fields() const;
    void show_fields(const SettingsFields& f);

    Model& m_;
    Platform& platform_;
    QCheckBox* check_[SETTINGS_FLAGS];
    QLineEdit* edit_[SETTINGS_TEXTS];
    ColourSwatch* axes_;
    QToolButton* help_[3];
    QPushButton* defaults_;
    QPushButton* vector_;
    QPushButton* ok_;
    QPushButton* cancel_;
    VectorDialog* vector_dialog_;
};

}  // namespace quorrel
