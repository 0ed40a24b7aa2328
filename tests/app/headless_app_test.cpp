// The tool's option values: whole numbers in decimal digits only.
#include "app/headless_app.h"

#include <gtest/gtest.h>

namespace quorrel {
namespace {

TEST(HeadlessApp, CountsAreDecimalDigitsOnly) {
    const std::pair<const char*, std::optional<long long>> cases[] = {
        {"0", 0},
        {"42", 42},
        {"007", 7},
        {"9223372036854775807", 9223372036854775807LL},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"9223372036854775808", std::nullopt},  // beyond the range: refused, not wrapped
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(parse_count(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace quorrel
