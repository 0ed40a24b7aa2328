// Conversion between the model's GBK texts (code page 936) and UTF-8, done
// with the C library's iconv. Used only at the edges: drawing, dialogs and
// the command-line tool's output.
#pragma once

#include <string>
#include <string_view>

namespace quorrel {

// Invalid or truncated sequences become U+FFFD (one per offending byte).
std::string gbk_to_utf8(std::string_view gbk);
// Characters that GBK cannot represent become '?'.
std::string utf8_to_gbk(std::string_view utf8);
// The exact conversion for texts the user types: false when a character has
// no GBK form, with that character (UTF-8) in `bad` and `out` unspecified.
bool utf8_to_gbk_exact(std::string_view utf8, std::string& out, std::string& bad);

// The lossless pair for the text forms of an experiment. A byte that is not
// part of a valid GBK character (a damaged text) becomes the private-use
// character U+10FF00 + byte, and such a character turns back into that byte,
// so every stored text survives the trip to UTF-8 and back unchanged.
std::string gbk_to_utf8_lossless(std::string_view gbk);
// False when a character has no GBK form, with that character in `bad`.
bool utf8_to_gbk_lossless(std::string_view utf8, std::string& out, std::string& bad);

// A few fixed GBK texts the model and the programs use.
namespace gbk {
inline constexpr const char* TIME_VARIABLE_DESCRIPTION = "\xca\xb1\xbc\xe4\xb1\xe4\xc1\xbf";  // 时间变量
inline constexpr const char* UNNAMED_CURVE = "\xce\xb4\xc3\xfc\xc3\xfb\xc7\xfa\xcf\xdf";      // 未命名曲线
inline constexpr const char* VALUE_ZERO = "\xca\xfd\xd6\xb5\x30";                             // 数值0
}  // namespace gbk

}  // namespace quorrel
