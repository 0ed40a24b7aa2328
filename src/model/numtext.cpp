#include "model/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quorrel {

bool parse_number(std::string_view s, double& out) {
    size_t i = 0;
    const size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        size_t exp_digits = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++exp_digits;
        if (exp_digits == 0) return false;
    }
    if (i != n) return false;
    // from_chars does not take a leading '+'.
    std::string_view body = s;
    if (!body.empty() && body[0] == '+') body.remove_prefix(1);
    double v = 0;
    auto r = std::from_chars(body.data(), body.data() + body.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Overflow gives an infinity of the right sign; underflow gives zero.
        bool neg = !body.empty() && body[0] == '-';
        size_t e = body.find_first_of("eE");
        bool tiny = e != std::string_view::npos && e + 1 < body.size() && body[e + 1] == '-';
        v = tiny ? (neg ? -0.0 : 0.0) : (neg ? -HUGE_VAL : HUGE_VAL);
    } else if (r.ec != std::errc()) {
        return false;
    }
    out = v;
    return true;
}

std::string format_general(double value, int digits) {
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // Round to `digits` significant digits first: the exponent that decides the
    // notation is the one after rounding.
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
    size_t epos = sci.find('e');
    int exponent = std::atoi(std::string(sci.substr(epos + 1)).c_str());
    std::string mant;  // the significant digits, without sign and point
    bool neg = sci[0] == '-';
    for (char ch : sci.substr(0, epos))
        if (ch >= '0' && ch <= '9') mant += ch;
    while (mant.size() > 1 && mant.back() == '0') mant.pop_back();

    std::string out = neg ? "-" : "";
    if (exponent < -4 || exponent >= digits) {
        out += mant[0];
        if (mant.size() > 1) {
            out += '.';
            out += mant.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += mant;
    } else {
        size_t int_digits = static_cast<size_t>(exponent) + 1;
        if (mant.size() <= int_digits) {
            out += mant;
            out.append(int_digits - mant.size(), '0');
        } else {
            out += mant.substr(0, int_digits);
            out += '.';
            out += mant.substr(int_digits);
        }
    }
    return out;
}

}  // namespace quorrel
