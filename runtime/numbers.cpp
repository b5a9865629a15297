// Numbers as text and text as numbers, the way the drill's BASIC wrote them.
#include "runtime/numbers.hpp"

#include <charconv>
#include <cstdlib>
#include <string>

#include "runtime/screen.hpp"

namespace rt {

Text str(float n) {
    if (n == 0) n = 0;   // -0 prints as 0
    char digits[32];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n, std::chars_format::general, 7);
    if (ec != std::errc{}) throw Fault("overflow");
    Text out(digits, end);
    return n >= 0 ? " " + out : out;
}

float val(const Text& s) {
    std::size_t i = 0;
    auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    while (i < s.size() && s[i] == ' ') ++i;
    std::size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool any = false;
    while (digit(i)) ++i, any = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (digit(i)) ++i, any = true;
    }
    if (!any) return 0;
    // An exponent counts only when digits follow it: "2e" is 2.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (digit(k)) {
            i = k;
            while (digit(i)) ++i;
        }
    }
    std::string number = s.substr(start, i - start);
    return std::strtof(number.c_str(), nullptr);
}

int whole(float n) { return static_cast<int>(std::lround(n)); }

Text chr(int code) {
    if (code < 0 || code > 255) throw Fault("illegal function call: CHR$ of " + std::to_string(code));
    return Text(1, static_cast<char>(code));
}

Text space(int n) {
    if (n < 0) throw Fault("illegal function call: SPACE$ of a negative count");
    return Text(static_cast<std::size_t>(n), ' ');
}

}  // namespace rt
