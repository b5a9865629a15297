// The string functions of the drill on CP932 texts, and the conversions to
// and from Unicode at the edges (drawing, the trace, tests).
//
// As in BASIC, a start position below 1 or a negative count is a fault;
// positions and counts past the end are cut to the text.
#include "runtime/text.hpp"

#include <algorithm>
#include <memory>

#include "runtime/screen.hpp"

namespace sjis {

namespace {

using Bytes = unsigned char;

void check_start(int start) {
    if (start < 1) throw rt::Fault("illegal function call: position below 1");
}

void check_count(int n) {
    if (n < 0) throw rt::Fault("illegal function call: negative count");
}

// Byte length of the character that starts at byte i (a lead byte at the very
// end of the text stands alone).
std::size_t char_size(const Text& s, std::size_t i) {
    return is_lead(static_cast<Bytes>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Byte offset where character number k (0-based) starts; s.size() when the
// text has fewer characters.
std::size_t char_offset(const Text& s, int k) {
    std::size_t i = 0;
    for (; k > 0 && i < s.size(); --k) i += char_size(s, i);
    return i;
}

// CP932 double-byte code -> Unicode, built once from the Unicode -> CP932 table.
const char32_t* double_byte_table() {
    static const std::unique_ptr<char32_t[]> table = [] {
        auto t = std::make_unique<char32_t[]>(0x10000);
        std::fill_n(t.get(), 0x10000, U'\uFFFD');
        for (const Mapping& m : kToCp932)
            if (m.code > 0xFF && t[m.code] == U'\uFFFD') t[m.code] = m.unicode;
        return t;
    }();
    return table.get();
}

}  // namespace

// ---- byte-counting ----------------------------------------------------------

int len(const Text& s) { return static_cast<int>(s.size()); }

Text left(const Text& s, int n) {
    check_count(n);
    return s.substr(0, static_cast<std::size_t>(n));
}

Text right(const Text& s, int n) {
    check_count(n);
    std::size_t k = std::min(s.size(), static_cast<std::size_t>(n));
    return s.substr(s.size() - k);
}

Text mid(const Text& s, int start, int n) {
    check_start(start);
    check_count(n);
    std::size_t from = static_cast<std::size_t>(start - 1);
    if (from >= s.size()) return {};
    return s.substr(from, static_cast<std::size_t>(n));
}

int instr(const Text& s, const Text& find, int start) {
    check_start(start);
    std::size_t from = static_cast<std::size_t>(start - 1);
    if (from >= s.size()) return 0;
    std::size_t at = s.find(find, from);
    return at == Text::npos ? 0 : static_cast<int>(at) + 1;
}

// ---- character-counting -----------------------------------------------------

int klen(const Text& s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size(); i += char_size(s, i)) ++n;
    return n;
}

Text kleft(const Text& s, int n) {
    check_count(n);
    return s.substr(0, char_offset(s, n));
}

Text kright(const Text& s, int n) {
    check_count(n);
    int skip = klen(s) - n;
    return skip <= 0 ? s : s.substr(char_offset(s, skip));
}

Text kmid(const Text& s, int start, int n) {
    check_start(start);
    check_count(n);
    std::size_t from = char_offset(s, start - 1);
    std::size_t to = from;
    for (int k = n; k > 0 && to < s.size(); --k) to += char_size(s, to);
    return s.substr(from, to - from);
}

// Matches only at character boundaries, so a trail byte never starts a match.
int kinstr(const Text& s, const Text& find, int start) {
    check_start(start);
    int k = 1;
    for (std::size_t i = 0; i < s.size(); i += char_size(s, i), ++k)
        if (k >= start && s.compare(i, find.size(), find) == 0) return k;
    return 0;
}

// ---- conversions ------------------------------------------------------------

char32_t unicode_at(const Text& s, std::size_t& i) {
    Bytes b = static_cast<Bytes>(s[i++]);
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return U'\uFF61' + (b - 0xA1);
    if (!is_lead(b) || i >= s.size()) return U'\uFFFD';
    unsigned code = static_cast<unsigned>(b) << 8 | static_cast<Bytes>(s[i++]);
    return double_byte_table()[code];
}

std::string utf8_of(char32_t u) {
    std::string out;
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

std::string to_utf8(const Text& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) out += utf8_of(unicode_at(s, i));
    return out;
}

Text from_utf8(std::string_view s) {
    Text out;
    for (std::size_t i = 0; i < s.size();) {
        int code = cp932_of(next_utf8(s, i));
        if (code < 0) {
            out += '?';
        } else {
            if (code > 0xFF) out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        }
    }
    return out;
}

}  // namespace sjis
