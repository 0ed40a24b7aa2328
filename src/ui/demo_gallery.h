// The demo launcher's gallery: every bundled demo's picture with its Chinese
// title under it, laid out as one grid that fills the screen without
// scrolling, with titles large enough to read from the back of a classroom.
// A click (or Enter) on a demo chooses it; Esc closes the gallery. While the
// chosen demo's player runs, the gallery hides, and it comes back when the
// player ends.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QListWidget;

namespace quorrel {

struct GalleryEntry {
    QString title;
    QPixmap picture;  // the scene at its start; null when there is none
};

// How `count` demos share an area: the columns and rows of the grid, the
// size of one cell and of the picture in it (the scene's 5:3), and the pixel
// height of the titles, which take up to two lines under the picture.
struct GalleryGrid {
    int columns = 1, rows = 1;
    QSize cell, picture;
    int title_px = 0;
};
GalleryGrid gallery_grid(QSize area, int count);

class DemoGallery : public QWidget {
public:
    explicit DemoGallery(std::vector<GalleryEntry> entries, QWidget* parent = nullptr);

    // Called with the index of the chosen demo.
    std::function<void(int)> on_chosen;

    // Full screen; the screen's size is set too, for a display without a
    // window manager, which would leave the window at its own size.
    void show_full_screen();
    // Runs `program` with `arguments` in place of the gallery: the gallery
    // hides while it runs and comes back, full screen, when it ends. False,
    // the gallery staying, when the program cannot be started.
    bool run_instead(const QString& program, const QStringList& arguments);

    QListWidget* list() const { return list_; }
    const GalleryGrid& grid() const { return grid_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void lay_out();

    std::vector<GalleryEntry> entries_;
    QLabel* heading_;
    QListWidget* list_;
    GalleryGrid grid_;
};

}  // namespace quorrel
