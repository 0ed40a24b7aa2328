// The vector display settings: the length scales of the velocity,
// acceleration and force arrows and the colours of the velocity, the
// acceleration and nine kinds of force. The velocity and acceleration colours
// are stored as soon as they are chosen; the scales and the force colours on
// OK.
#pragma once

#include <QDialog>

#include "player/settings_edit.h"

class QLineEdit;
class QPushButton;

namespace quorrel {

class ColourSwatch;
class Platform;

class VectorDialog : public QDialog {
public:
    VectorDialog(Model& m, Platform& platform, QWidget* parent = nullptr);

    // Fills every control from the model; also done each time the dialog is shown.
    void form_activate();

    QLineEdit* scale_edit(int i) const { return scale_[i]; }
    // The swatch of force colour `entry`; null for the entries without one (4, 6).
    ColourSwatch* force_swatch(int entry) const { return force_[entry]; }
    ColourSwatch* velocity_swatch() const { return v_; }
    ColourSwatch* acceleration_swatch() const { return a_; }
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }

    // OK: validates and stores; the dialog stays open on a refusal.
    void confirm();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void set_velocity_colour(Colour c);
    void set_acceleration_colour(Colour c);

    Model& m_;
    Platform& platform_;
    QLineEdit* scale_[VECTOR_SCALES];
    ColourSwatch* v_;
    ColourSwatch* a_;
    ColourSwatch* v_samples_[3];
    ColourSwatch* a_samples_[3];
    ColourSwatch* force_[FORCE_COLOURS] = {};
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace quorrel
