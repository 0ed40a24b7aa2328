#include "model/numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace quorrel {
namespace {

TEST(NumberText, GeneralFormatSwitchesToExponentBelowOneTenThousandth) {
    EXPECT_EQ(number_text(0.00001), "1E-5");
    EXPECT_EQ(number_text(0.00005), "5E-5");
    EXPECT_EQ(number_text(0.0001), "0.0001");
    EXPECT_EQ(number_text(0.5), "0.5");
    EXPECT_EQ(number_text(-2.25), "-2.25");
    EXPECT_EQ(number_text(100), "100");
    EXPECT_EQ(number_text(0), "0");
    EXPECT_EQ(number_text(1e15), "1E15");
    EXPECT_EQ(number_text(123456789012345.0), "123456789012345");
    EXPECT_EQ(number_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(number_text(1.5e-7), "1.5E-7");
}

TEST(NumberText, FormatGRoundsBeforeChoosingTheNotation) {
    EXPECT_EQ(format_g(1000, 4), "1000");
    EXPECT_EQ(format_g(10000, 4), "1E4");
    EXPECT_EQ(format_g(9.99999e-5, 4), "0.0001");
    EXPECT_EQ(format_g(3.14159265, 4), "3.142");
    EXPECT_EQ(format_g(-0.0123456, 3), "-0.0123");
}

TEST(NumberText, ParsingIsStrictAndIgnoresTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be unavailable; the test holds either way
    double v = 0;
    EXPECT_TRUE(parse_number("0.5", v));
    EXPECT_EQ(v, 0.5);
    EXPECT_EQ(format_g(0.5, 4), "0.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_TRUE(parse_number("-1.5e3", v));
    EXPECT_EQ(v, -1500);
    EXPECT_TRUE(parse_number("+.5", v));
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(parse_number("5.", v));
    for (const char* bad : {"", "(3)", " 3", "3 ", "1e", "e5", ".", "-", "0x10", "1,5", "inf"})
        EXPECT_FALSE(parse_number(bad, v)) << bad;
    EXPECT_TRUE(parse_number("1e400", v));
    EXPECT_TRUE(std::isinf(v));
}

}  // namespace
}  // namespace quorrel
