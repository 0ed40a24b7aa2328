// The About box: product name and version, a line about the player, the
// project's address (opened with the desktop's opener) and the logo.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorrel {

class Platform;

inline constexpr const char* ABOUT_ADDRESS = "https://quorrel.example.org";

class AboutBox : public QDialog {
public:
    AboutBox(Platform& platform, QWidget* parent = nullptr);

    QLabel* address_label() const { return address_; }
    QLabel* logo_label() const { return logo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Platform& platform_;
    QLabel* address_;
    QLabel* logo_;
};

}  // namespace quorrel
