// The floor for the player's start-up: a plain Qt window over the screen's
// work area that paints one picture of its own size and quits after its
// first paint. Measured beside `quorrel --exit-after-first-frame` by
// bench/startup.sh.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

class PictureWindow : public QWidget {
public:
    PictureWindow() {
        setAttribute(Qt::WA_OpaquePaintEvent);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        else
            resize(702, 455);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        // The picture is made at the size the window has when it is painted,
        // as the player's scene picture is.
        if (picture_.size() != size()) {
            picture_ = QImage(size(), QImage::Format_RGB32);
            picture_.fill(0xFF000000u);
        }
        QPainter g(this);
        g.drawImage(0, 0, picture_);
        g.end();
        QCoreApplication::exit(0);
    }

private:
    QImage picture_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PictureWindow window;
    window.show();
    return QApplication::exec();
}
