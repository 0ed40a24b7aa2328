#include "model/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace quorrel {
namespace {

// Converts with one iconv descriptor; `bad` is appended for each byte that
// cannot be converted, which is then skipped.
std::string convert(const char* to, const char* from, std::string_view in, std::string_view bad) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter: pass ASCII through and mark the rest.
        for (char ch : in) {
            if (static_cast<unsigned char>(ch) < 0x80)
                out += ch;
            else
                out += bad;
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
            out += bad;
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
    bool ascii = true;
    for (char ch : gbk) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    if (ascii) return std::string(gbk);
    return convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD");
}

std::string utf8_to_gbk(std::string_view utf8) {
    bool ascii = true;
    for (char ch : utf8) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    if (ascii) return std::string(utf8);
    return convert("GBK", "UTF-8", utf8, "?");
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
