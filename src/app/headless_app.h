// What a headless run of the player needs: the Qt application for fonts and
// pictures without a display, and the option values of the command-line tool.
#pragma once

#include <QGuiApplication>
#include <memory>
#include <optional>
#include <string>

namespace quorrel {

// The application with the arguments it keeps referring to while it lives.
struct HeadlessApp {
    int argc = 1;
    char name[13] = "quorrel-tool";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

// Picks the offscreen platform when none is set, then makes the application;
// null when the process already has one.
std::unique_ptr<HeadlessApp> make_headless_app();

// A whole number from an option's value: decimal digits only, no sign.
std::optional<long long> parse_count(const std::string& text);

}  // namespace quorrel
