#include "model/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace quorrel {
namespace {

bool is_ascii(std::string_view t) {
    for (char ch : t)
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    return true;
}

// Converts with one iconv descriptor; `bad` is called for each byte that
// cannot be converted (for UTF-8 input, each such character), which is then
// skipped.
template <class Bad>
std::string convert(const char* to, const char* from, std::string_view in, Bad&& bad) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter: pass ASCII through and mark the rest.
        for (char ch : in) {
            if (static_cast<unsigned char>(ch) < 0x80)
                out += ch;
            else
                bad(out, static_cast<unsigned char>(ch));
        }
        return out;
    }
    out.reserve(in.size() * 3 / 2 + 4);
    char buf[256];
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    while (left > 0) {
        char* dst = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: skip one byte (for UTF-8 input, one whole character).
            size_t skip = 1;
            if (std::string_view(from) == "UTF-8") {
                unsigned char c = static_cast<unsigned char>(*src);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                if (skip > left) skip = left;
            }
            bad(out, static_cast<unsigned char>(*src));
            src += skip;
            left -= skip;
        }
    }
    char* dst = buf;
    size_t room = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<size_t>(dst - buf));
    iconv_close(cd);
    return out;
}

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
    if (is_ascii(gbk)) return std::string(gbk);
    return convert("UTF-8", "GBK", gbk, [](std::string& out, unsigned char) { out += "\xEF\xBF\xBD"; });
}

std::string utf8_to_gbk(std::string_view utf8) {
    if (is_ascii(utf8)) return std::string(utf8);
    return convert("GBK", "UTF-8", utf8, [](std::string& out, unsigned char) { out += '?'; });
}

namespace {

// U+10FF00 + byte, as UTF-8: F4 8F BC|BD|BE|BF xx.
void append_byte_escape(std::string& out, unsigned char byte) {
    const unsigned cp = 0x10FF00u + byte;
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

// The byte of an escape starting at `utf8[i]`, or -1 when none starts there.
int byte_escape_at(std::string_view utf8, std::size_t i) {
    if (i + 4 > utf8.size()) return -1;
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
    if (b(0) != 0xF4 || b(1) != 0x8F || b(2) < 0xBC || b(2) > 0xBF || (b(3) & 0xC0) != 0x80) return -1;
    return ((b(2) & 0x3F) << 6 | (b(3) & 0x3F)) & 0xFF;
}

}  // namespace

std::string gbk_to_utf8_lossless(std::string_view gbk) {
    if (is_ascii(gbk)) return std::string(gbk);
    return convert("UTF-8", "GBK", gbk, append_byte_escape);
}

bool utf8_to_gbk_lossless(std::string_view utf8, std::string& out, std::string& bad) {
    out.clear();
    if (is_ascii(utf8)) {
        out.assign(utf8);
        return true;
    }
    std::size_t start = 0;
    std::string part;
    for (std::size_t i = 0; i <= utf8.size(); ++i) {
        const int escaped = i < utf8.size() ? byte_escape_at(utf8, i) : -1;
        if (escaped < 0 && i < utf8.size()) continue;
        if (i > start) {
            if (!utf8_to_gbk_exact(utf8.substr(start, i - start), part, bad)) return false;
            out += part;
        }
        if (escaped < 0) break;
        out += static_cast<char>(escaped);
        i += 3;
        start = i + 1;
    }
    return true;
}

bool utf8_to_gbk_exact(std::string_view utf8, std::string& out, std::string& bad) {
    out = utf8_to_gbk(utf8);
    // Each unconvertible character became one '?': as many as the input had
    // means every character converted.
    const auto marks = [](std::string_view t) {
        size_t n = 0;
        for (char ch : t) n += ch == '?';
        return n;
    };
    if (marks(out) == marks(utf8)) return true;
    // Find the culprit character by character.
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (len > utf8.size() - i) len = utf8.size() - i;
        const std::string_view ch = utf8.substr(i, len);
        if (c >= 0x80 && utf8_to_gbk(ch) == "?") {
            bad.assign(ch);
            return false;
        }
        i += len;
    }
    bad = "?";
    return false;
}

}  // namespace quorrel
