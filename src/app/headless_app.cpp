#include "app/headless_app.h"

#include <charconv>

namespace quorrel {

std::unique_ptr<HeadlessApp> make_headless_app() {
    if (QGuiApplication::instance()) return nullptr;  // the caller already made one
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto h = std::make_unique<HeadlessApp>();
    h->app = std::make_unique<QGuiApplication>(h->argc, h->argv);
    return h;
}

std::optional<long long> parse_count(const std::string& text) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
    return v;
}

}  // namespace quorrel
