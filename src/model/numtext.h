// Numbers as text, independent of the desktop's locale: "." is always the
// decimal point, whatever LC_NUMERIC says.
#pragma once

#include <string>
#include <string_view>

namespace quorrel {

// Strict conversion: an optional sign, digits, an optional decimal point with
// digits, an optional exponent; nothing else (no spaces, no parentheses).
bool parse_number(std::string_view text, double& out);

// General format with `digits` significant digits: fixed notation unless the
// decimal exponent is below -4 or not below `digits`; trailing zeros dropped;
// exponent notation as "1.5E-5" / "2E20" (uppercase E, no "+", no leading zeros).
std::string format_general(double value, int digits);

// The text a variable stores for a number: general format, 15 significant digits.
inline std::string number_text(double value) {
    return format_general(value, 15);
}

// Every number printed on the scene: general format with `digits` digits.
inline std::string format_g(double value, int digits) {
    return format_general(value, digits);
}

}  // namespace quorrel
