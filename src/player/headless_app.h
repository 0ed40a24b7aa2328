// What a headless run of the player needs: the Qt application for fonts and
// pictures without a display, and the option values of the command-line tool.
#pragma once

#include <QGuiApplication>
#include <memory>
#include <optional>
#include <string>

namespace quorrel {

// Picks the offscreen platform when none is set, then makes the application;
// null when the process already has one.
std::unique_ptr<QGuiApplication> make_headless_app();

// A whole number from an option's value: decimal digits only, no sign.
std::optional<long long> parse_count(const std::string& text);

}  // namespace quorrel
