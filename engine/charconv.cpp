// Typed characters become displayed ones only when drawn: digits and letters
// turn full-width, punctuation typed for a missing key turns into its symbol.
#include "engine/engine.hpp"

namespace {

// Two pairs of strings: character k of a typed string shows as character k of
// its displayed string. The order is not alphabetical (X, Y, A to W, Z), "A"
// and "x" show as Greek letters, and "ﾀ" shows as the bar of a fraction.
const Text& typed1() { return " XYABCDEFGHIJKLMNOPQRSTUVWZ"_sj; }
const Text& shown1() { return "　ＸＹΑＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＺ"_sj; }
const Text& typed2() { return " 0123456789 */+-ﾀ=.?()!$@&'[]<>,%xyabcdefghijklmnopqrstuvwz~:"_sj; }
const Text& shown2() {
    return "　０１２３４５６７８９　×÷＋－―＝．∽（）√≡±π∠≦≧＜＞，°χｙａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｚ△："_sj;
}

// The typed strings are single-byte, so a byte position is a character position.
void convert(const Text& typed, const Text& shown) {
    int k = sjis::instr(typed, g.glyph);
    if (k > 0) g.glyph = sjis::kmid(shown, k, 1);
}

}  // namespace

// The empty glyph of an empty run stays empty: it draws nothing.
void to_display_char() {
    if (g.glyph.empty()) return;
    convert(typed1(), shown1());
    convert(typed2(), shown2());
}
