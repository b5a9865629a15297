// Typed characters and what the screen shows for them.
#include <gtest/gtest.h>

#include <map>

#include "engine/engine.hpp"

namespace {

Text displayed(const Text& typed) {
    g.glyph = typed;
    to_display_char();
    return g.glyph;
}

char32_t displayed_code(const Text& typed) {
    Text shown = displayed(typed);
    std::size_t i = 0;
    char32_t u = sjis::unicode_at(shown, i);
    EXPECT_EQ(i, shown.size()) << "one character expected for " << typed;
    return u;
}

// Every typed character that changes, with the Unicode character shown.
std::map<Text, char32_t> conversions() {
    std::map<Text, char32_t> m = {
        {" ", 0x3000},  {"A", 0x0391},  {"X", 0xFF38},  {"Y", 0xFF39},   {"Z", 0xFF3A},  {"*", 0x00D7},
        {"/", 0x00F7},  {"+", 0xFF0B},  {"-", 0xFF0D},  {"\xC0", 0x2015}, {"=", 0xFF1D},  {".", 0xFF0E},
        {"?", 0x223D},  {"(", 0xFF08},  {")", 0xFF09},  {"!", 0x221A},   {"$", 0x2261},  {"@", 0x00B1},
        {"&", 0x03C0},  {"'", 0x2220},  {"[", 0x2266},  {"]", 0x2267},   {"<", 0xFF1C},  {">", 0xFF1E},
        {",", 0xFF0C},  {"%", 0x00B0},  {"x", 0x03C7},  {"y", 0xFF59},   {"z", 0xFF5A},  {"~", 0x25B3},
        {":", 0xFF1A},
    };
    for (char c = 'B'; c <= 'W'; ++c) m[Text(1, c)] = 0xFF22 + (c - 'B');
    for (char c = 'a'; c <= 'w'; ++c) m[Text(1, c)] = 0xFF41 + (c - 'a');
    for (char c = '0'; c <= '9'; ++c) m[Text(1, c)] = 0xFF10 + (c - '0');
    return m;
}

TEST(CharConv, EveryTypedCharacterShowsItsDisplayedForm) {
    reset_state();
    auto m = conversions();
    EXPECT_EQ(m.size(), 88u - 2u);   // the two pairs list 88 characters, the space three times
    for (const auto& [typed, shown] : m) EXPECT_EQ(displayed_code(typed), shown) << "typed " << typed;
    // Every other printable ASCII character is shown as typed.
    for (int c = 0x21; c <= 0x7E; ++c) {
        Text typed(1, static_cast<char>(c));
        if (!m.count(typed)) { EXPECT_EQ(displayed(typed), typed); }
    }
}

TEST(CharConv, GreekLettersBarAndSpace) {
    reset_state();
    EXPECT_EQ(sjis::to_utf8(displayed("A")), "Α");
    EXPECT_EQ(displayed("A"), "\x83\x9F");
    EXPECT_EQ(sjis::to_utf8(displayed("x")), "χ");
    EXPECT_EQ(sjis::to_utf8(displayed("B")), "Ｂ");
    EXPECT_EQ(sjis::to_utf8(displayed("y")), "ｙ");
    EXPECT_EQ(displayed(" "), "\x81\x40");   // the pair-1 space
    EXPECT_EQ(displayed("ﾀ"_sj), "\x81\x5C");
    EXPECT_EQ(sjis::to_utf8(displayed("ﾀ"_sj)), "―");
}

TEST(CharConv, OthersAreShownUnchanged) {
    reset_state();
    EXPECT_EQ(displayed(""), "");   // the glyph of an empty run
    for (const Text& t : {Text("\\"), Text(";"), Text("#"), Text("^"), "１"_sj, "問"_sj, "ｱ"_sj, "ﾝ"_sj, "　"_sj,
                          "√"_sj, "ア"_sj})
        EXPECT_EQ(displayed(t), t) << sjis::to_utf8(t);
}

}  // namespace
