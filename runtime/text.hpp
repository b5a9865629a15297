// Texts of the drill: CP932 (Shift-JIS) byte strings.
//
// Literals are written in UTF-8 in the source and turned into CP932 at compile
// time with the _sj suffix, so a character outside CP932 does not compile:
//     Text t = "次の温度をいいなさい。"_sj;
// Two families of string functions work on them: the byte-counting ones (len,
// left, right, mid, instr) and the character-counting ones (klen, kleft, kright,
// kmid, kinstr), where a double-byte character counts as one and half-width
// katakana such as the markup controls are one byte, one character.
// Positions are 1-based, as the drill writes them; 0 means "not found".
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

using Text = std::string;

namespace sjis {

// Every character CP932 has is in the Basic Multilingual Plane (a code beyond it
// would not compile here), so two bytes of Unicode each keep the table small.
struct Mapping { char16_t unicode; unsigned short code; };

// Unicode -> CP932, sorted by Unicode (written by tools/gen_cp932.py).
#include "runtime/cp932_table.inc"

constexpr bool is_lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// CP932 code of one Unicode character, or -1 when CP932 has none.
constexpr int cp932_of(char32_t u) {
    if (u < 0x80) return static_cast<int>(u);
    if (u >= 0xFF61 && u <= 0xFF9F) return static_cast<int>(u - 0xFF61 + 0xA1);
    std::size_t lo = 0, hi = std::size(kToCp932);
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (kToCp932[mid].unicode < u) lo = mid + 1;
        else hi = mid;
    }
    if (lo < std::size(kToCp932) && kToCp932[lo].unicode == u) return kToCp932[lo].code;
    return -1;
}

// Decodes one UTF-8 sequence at s[i], advancing i.
constexpr char32_t next_utf8(std::string_view s, std::size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t u = c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k) u = (u << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return u;
}

template <std::size_t N>
struct Utf8Literal {
    char chars[N]{};
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) chars[i] = s[i];
    }
    constexpr std::string_view view() const { return {chars, N - 1}; }
};

template <Utf8Literal S>
struct Encoded {
    static constexpr std::size_t size = [] {
        std::size_t n = 0, i = 0;
        while (i < S.view().size()) {
            int code = cp932_of(next_utf8(S.view(), i));
            if (code < 0) throw "character outside CP932";  // fails the compile
            n += code > 0xFF ? 2 : 1;
        }
        return n;
    }();
    static constexpr std::array<char, size + 1> bytes = [] {
        std::array<char, size + 1> out{};
        std::size_t n = 0, i = 0;
        while (i < S.view().size()) {
            int code = cp932_of(next_utf8(S.view(), i));
            if (code > 0xFF) out[n++] = static_cast<char>(code >> 8);
            out[n++] = static_cast<char>(code & 0xFF);
        }
        return out;
    }();
};

// Byte-counting functions.
int len(const Text& s);
Text left(const Text& s, int n);
Text right(const Text& s, int n);
Text mid(const Text& s, int start, int n = 1 << 30);
int instr(const Text& s, const Text& find, int start = 1);

// Character-counting functions.
int klen(const Text& s);
Text kleft(const Text& s, int n);
Text kright(const Text& s, int n);
Text kmid(const Text& s, int start, int n = 1 << 30);
int kinstr(const Text& s, const Text& find, int start = 1);

// Conversions at the edges: drawing needs Unicode, the trace and tests UTF-8.
char32_t unicode_at(const Text& s, std::size_t& i);   // decodes one character at byte i
std::string to_utf8(const Text& s);
std::string utf8_of(char32_t u);                      // one character as UTF-8
Text from_utf8(std::string_view s);                   // characters outside CP932 become "?"

}  // namespace sjis

template <sjis::Utf8Literal S>
const Text& operator""_sj() {
    static const Text text(sjis::Encoded<S>::bytes.data(), sjis::Encoded<S>::size);
    return text;
}
