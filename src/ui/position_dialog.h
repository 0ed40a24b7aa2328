// The question asked when a body is dropped near a track: leave it where it
// was dropped, rest it against the track, or thread it on the track. It opens
// with the first choice selected every time.
#pragma once

#include <QDialog>

#include "engine/placement.h"

class QRadioButton;

namespace quorrel {

class PositionDialog : public QDialog {
public:
    explicit PositionDialog(QWidget* parent = nullptr);

    // The selected choice (read after the dialog was closed, however).
    Placement choice() const;
    QRadioButton* radio(int i) const { return radio_[i]; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRadioButton* radio_[3];
};

}  // namespace quorrel
