// The string functions on CP932 text, the conversions at its edges, and the
// number forms of STR$ and VAL.
#include <gtest/gtest.h>

#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

using namespace sjis;

namespace {

// "ab漢ｱ字c": a b (2 bytes) ｱ (1 byte) (2 bytes) c — 8 bytes, 6 characters.
const Text& mixed() { return "ab漢ｱ字c"_sj; }

TEST(Text, LiteralsAreCp932) {
    EXPECT_EQ("日本"_sj, "\x93\xFA\x96\x7B");
    EXPECT_EQ("ﾀ1/2ﾀ"_sj, "\xC0" "1/2\xC0");
    EXPECT_EQ(mixed().size(), 8u);
}

TEST(Text, ByteFunctionsCountBytes) {
    const Text& s = mixed();
    EXPECT_EQ(len(s), 8);
    EXPECT_EQ(left(s, 3), "ab\x8A");
    EXPECT_EQ(right(s, 3), "\x8E\x9A" "c");
    EXPECT_EQ(mid(s, 3, 2), "漢"_sj);
    EXPECT_EQ(mid(s, 6), "字c"_sj);
    EXPECT_EQ(instr(s, "字"_sj), 6);
    EXPECT_EQ(instr(s, "c", 7), 8);
    EXPECT_EQ(instr(s, "a", 2), 0);
    // Past the end: cut to the text.
    EXPECT_EQ(left(s, 100), s);
    EXPECT_EQ(right(s, 100), s);
    EXPECT_EQ(mid(s, 9), "");
    EXPECT_EQ(left(s, 0), "");
    EXPECT_EQ(instr(s, "a", 20), 0);
}

TEST(Text, CharacterFunctionsCountCharacters) {
    const Text& s = mixed();
    EXPECT_EQ(klen(s), 6);
    EXPECT_EQ(kleft(s, 3), "ab漢"_sj);
    EXPECT_EQ(kright(s, 2), "字c"_sj);
    EXPECT_EQ(kmid(s, 3, 2), "漢ｱ"_sj);
    EXPECT_EQ(kmid(s, 4), "ｱ字c"_sj);
    EXPECT_EQ(kmid(s, 6, 5), "c");
    EXPECT_EQ(kmid(s, 7), "");
    EXPECT_EQ(kinstr(s, "字"_sj), 5);
    EXPECT_EQ(kinstr(s, "ｱ"_sj), 4);
    EXPECT_EQ(kinstr(s, "b", 3), 0);
    EXPECT_EQ(kinstr("ﾀ1/2ﾀ"_sj, "ﾀ"_sj, 2), 5);
    EXPECT_EQ(kleft(s, 100), s);
    EXPECT_EQ(kright(s, 100), s);
    EXPECT_EQ(klen(""), 0);
    EXPECT_EQ(kmid("", 1, 1), "");
    // Half-width katakana are one byte, one character.
    EXPECT_EQ(klen("ﾀ12/5ﾀ"_sj), 6);
}

TEST(Text, CharacterSearchNeverMatchesATrailByte) {
    // "ア" is 0x83 0x41 and "ソ" is 0x83 0x5C: their trail bytes are "A" and "\".
    EXPECT_EQ(instr("アA"_sj, "A"), 2);
    EXPECT_EQ(kinstr("アA"_sj, "A"), 2);
    EXPECT_EQ(instr("ソ\\"_sj, "\\"), 2);
    EXPECT_EQ(kinstr("ソ\\"_sj, "\\"), 2);
    EXPECT_EQ(instr("ソ"_sj, "\\"), 2);
    EXPECT_EQ(kinstr("ソ"_sj, "\\"), 0);
    // A lead byte at the very end stands alone.
    EXPECT_EQ(klen("a\x83"), 2);
}

TEST(Text, BadPositionsAndCountsAreFaults) {
    EXPECT_THROW(mid("abc", 0), rt::Fault);
    EXPECT_THROW(kmid("abc", 0, 1), rt::Fault);
    EXPECT_THROW(left("abc", -1), rt::Fault);
    EXPECT_THROW(kright("abc", -1), rt::Fault);
    EXPECT_THROW(kinstr("abc", "a", 0), rt::Fault);
}

TEST(Text, UnicodeConversions) {
    EXPECT_EQ(to_utf8("次の温度をいいなさい。ﾀ1/2ﾀ"_sj), "次の温度をいいなさい。ﾀ1/2ﾀ");
    EXPECT_EQ(from_utf8("±≦≧π°∠≡∽△√"), "±≦≧π°∠≡∽△√"_sj);
    EXPECT_EQ(from_utf8("a😀b"), "a?b");
    Text s = "a問ｱ"_sj;
    std::size_t i = 0;
    EXPECT_EQ(unicode_at(s, i), U'a');
    EXPECT_EQ(unicode_at(s, i), U'問');
    EXPECT_EQ(i, 3u);
    EXPECT_EQ(unicode_at(s, i), U'\uFF71');
    EXPECT_EQ(i, s.size());
    // Bytes that are no character decode to U+FFFD.
    Text bad = "\x80\xFD\x85\x40\x83";
    i = 0;
    for (int k = 0; k < 4; ++k) EXPECT_EQ(unicode_at(bad, i), U'\uFFFD') << k;
    EXPECT_EQ(i, bad.size());
}

TEST(Numbers, StrPutsABlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(rt::str(123.f / 10), " 12.3");
    EXPECT_EQ(rt::str(56.f + 5), " 61");
    EXPECT_EQ(rt::str(-12), "-12");
    EXPECT_EQ(rt::str(0.5f), " 0.5");
    EXPECT_EQ(rt::str(0), " 0");
    EXPECT_EQ(rt::str(-0.f), " 0");
    EXPECT_EQ(rt::str(-2.5f), "-2.5");
    EXPECT_EQ(rt::str(1.f / 3), " 0.3333333");
    EXPECT_EQ(rt::str(1000000), " 1000000");
    EXPECT_EQ(rt::str(0.1f + 0.2f), " 0.3");
}

TEST(Numbers, ValReadsTheNumberAtTheStart) {
    EXPECT_EQ(rt::val("3abc"), 3);
    EXPECT_EQ(rt::val("abc"), 0);
    EXPECT_EQ(rt::val(""), 0);
    EXPECT_EQ(rt::val("  -12.5"), -12.5f);
    EXPECT_EQ(rt::val("+7"), 7);
    EXPECT_EQ(rt::val(".5"), 0.5f);
    EXPECT_EQ(rt::val("1.2.3"), 1.2f);
    EXPECT_EQ(rt::val("1.5e2x"), 150);
    EXPECT_EQ(rt::val("2e"), 2);
    EXPECT_EQ(rt::val("-"), 0);
    EXPECT_EQ(rt::val(rt::str(-56)), -56);
    EXPECT_EQ(rt::val("３"_sj), 0);   // full-width digits are text
}

TEST(Numbers, WholeChrAndSpace) {
    EXPECT_EQ(rt::whole(2.6f), 3);
    EXPECT_EQ(rt::whole(-2.6f), -3);
    EXPECT_EQ(rt::whole(4.f), 4);
    EXPECT_EQ(rt::INT(-2.5f), -3);
    EXPECT_EQ(rt::chr(65), "A");
    EXPECT_EQ(rt::chr(0xC0), "ﾀ"_sj);
    EXPECT_EQ(rt::space(3), "   ");
    EXPECT_EQ(rt::space(0), "");
    EXPECT_THROW(rt::chr(256), rt::Fault);
}

}  // namespace
