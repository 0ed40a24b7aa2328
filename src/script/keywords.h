// Fixed GBK words of the event-program language. Texts in the model are GBK
// bytes, so the keywords are kept as GBK bytes too and compared byte-wise.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorrel::kw {

inline constexpr std::string_view JUDGE = "\xc5\xd0\xb6\xcf";                          // 判断
inline constexpr std::string_view LOOP = "\xd1\xad\xbb\xb7";                           // 循环
inline constexpr std::string_view END = "\xbd\xe1\xca\xf8";                            // 结束
inline constexpr std::string_view END_JUDGE = "\xbd\xe1\xca\xf8\xc5\xd0\xb6\xcf";      // 结束判断
inline constexpr std::string_view END_LOOP = "\xbd\xe1\xca\xf8\xd1\xad\xbb\xb7";       // 结束循环
inline constexpr std::string_view COMMENT_SLASHES = "//";                              //
inline constexpr std::string_view COMMENT = "\xd7\xa2\xca\xcd";                        // 注释
inline constexpr std::string_view PLAY_SOUND = "\xb2\xa5\xb7\xc5\xc9\xf9\xd2\xf4";     // 播放声音
inline constexpr std::string_view OPEN = "\xb4\xf2\xbf\xaa";                           // 打开
inline constexpr std::string_view BEEP = "\xbc\xf2\xb5\xa5\xb7\xa2\xc9\xf9";           // 简单发声
inline constexpr std::string_view PAUSE = "\xd4\xdd\xcd\xa3";                          // 暂停
inline constexpr std::string_view STOP = "\xcd\xa3\xd6\xb9";                           // 停止
inline constexpr std::string_view RERUN = "\xd6\xd8\xd0\xc2\xd4\xcb\xd0\xd0";          // 重新运行
inline constexpr std::string_view QUIT = "\xcd\xcb\xb3\xf6";                           // 退出
inline constexpr std::string_view WRITE_PARAM = "\xb8\xb3\xd6\xb5";                    // 赋值
inline constexpr std::string_view READ_PARAM = "\xb6\xc1\xd6\xb5";                     // 读值
inline constexpr std::string_view AND = "\xba\xcd";                                    // 和
inline constexpr std::string_view OR = "\xbb\xf2";                                     // 或
inline constexpr std::string_view MOVING_OBJECT = "\xd4\xcb\xb6\xaf\xb6\xd4\xcf\xf3";  // 运动对象
inline constexpr std::string_view AUX_POINT = "\xb8\xa8\xd6\xfa\xb5\xe3";              // 辅助点
inline constexpr std::string_view FULL_WIDTH_COMMA = "\xa3\xac";                       // ，

// A GBK lead byte: the character occupies this byte and the next one.
inline constexpr bool gbk_lead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
inline constexpr bool gbk_trail(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// Byte length of the character at `i`: 2 for a GBK pair, else 1. A lead byte
// followed by anything but a trail byte (damaged text) counts alone, so an
// ASCII delimiter after it is still seen.
inline std::size_t char_length(std::string_view t, std::size_t i) {
    bool pair = gbk_lead(static_cast<unsigned char>(t[i])) && i + 1 < t.size() &&
                gbk_trail(static_cast<unsigned char>(t[i + 1]));
    return pair ? 2 : 1;
}

}  // namespace quorrel::kw
