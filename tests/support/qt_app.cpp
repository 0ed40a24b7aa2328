#include "support/qt_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

namespace quorrel::test {
namespace {

// Qt keeps references to argc and argv for the application's life.
int argc = 1;
char name[] = "quorrel_test";
char* argv[] = {name, nullptr};

}  // namespace

void ensure_core_app() {
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

void ensure_gui_app() {
    if (QCoreApplication::instance() == nullptr) new QGuiApplication(argc, argv);
}

bool ensure_widget_app() {
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!x11 && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return false;
    if (QCoreApplication::instance() == nullptr) {
        // ctest runs the tests on the offscreen platform; these want the real display.
        qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "wayland");
        new QApplication(argc, argv);
    }
    return true;
}

void ensure_offscreen_widget_app() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}

}  // namespace quorrel::test
