// The one Qt application object of a test program. Text drawing and picture
// decoding need a QGuiApplication, process handling a QCoreApplication, the
// window tests a QApplication; each test program makes the kind it needs once
// and keeps it for its whole life.
#pragma once

namespace quorrel::test {

// A QCoreApplication unless an application of any kind exists already.
void ensure_core_app();
// A QGuiApplication (on the platform QT_QPA_PLATFORM names, offscreen in
// ctest) unless an application exists already.
void ensure_gui_app();
// A QApplication on the real display (xcb, or wayland without DISPLAY).
// False when there is no display to open.
bool ensure_widget_app();
// A QApplication on the offscreen platform (unless QT_QPA_PLATFORM names
// another) unless an application exists already: widgets without a display.
void ensure_offscreen_widget_app();

}  // namespace quorrel::test
