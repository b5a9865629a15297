// The drill's text as a reader says it: the speech form of markup, and what
// whole runs say, as the player writes it (--speech).
#include <gtest/gtest.h>

#include "engine/engine.hpp"
#include "tools/player.hpp"

namespace {

TEST(Speech, MarkupIsSaidAsAJapaneseReaderSaysIt) {
    const std::pair<Text, std::string> said[] = {
        {"ﾀ2/3ﾀ"_sj, "3分の2"},
        {"-ﾀ3/4ﾀ"_sj, "マイナス 4分の3"},
        {"+ﾀ1/12ﾀ"_sj, "プラス 12分の1"},
        {"a^2"_sj, "aの2乗"},
        {"2^3"_sj, "2の3乗"},
        {"!3ﾝ"_sj, "ルート3"},
        {"#ﾀ1/2ﾀ"_sj, "ルート 2分の1"},
        {"-3.5"_sj, "マイナス3.5"},
        {"－３℃"_sj, "マイナス3℃"},
        // the symbol keys F3 to F12 as typed and as shown, and the other signs
        {"! @ [ ] & % ' $ ? ~"_sj, "ルート プラスマイナス 小なりイコール 大なりイコール パイ 度 角 合同 相似 三角形"},
        {"√±≦≧π°∠≡∽△"_sj, "ルートプラスマイナス小なりイコール大なりイコールパイ度角合同相似三角形"},
        {"3*4/2=6"_sj, "3かける4わる2イコール6"},
        {"-5<+3"_sj, "マイナス5小なりプラス3"},
        {"①　②　③"_sj, "1番 2番 3番"},
        {"★ 練習11題・・・・・１"_sj, "練習11題 1"},
        {"   <varnel>"_sj, "varnel"},
    };
    for (const auto& [markup, words] : said) EXPECT_EQ(speech_of(markup), words) << sjis::to_utf8(markup);
    EXPECT_EQ(speech_of_typed("-2/3"), "マイナス 3分の2");
    EXPECT_EQ(speech_of_typed("-1/2,+1/2"), "マイナス 2分の1, プラス 2分の1");
}

TEST(Speech, ARunSaysTheQuestionFiguresByNameTheAnswersAndTheVerdict) {
    // varnel1 problem 5: a number line with points A and B, answered wrong;
    // varnel2 problem 2: fractions, answered right.
    auto said = [](int bank, const std::string& keys) {
        std::string all;
        for (const auto& line : play({.bank = bank, .time = "12:00:00", .keys = keys}).speech) all += line + "\n";
        return all;
    };
    const std::string line = said(1, "15{Enter}0{Enter}0{Enter}");
    EXPECT_NE(line.find("\n\n問題5 数直線上で、A, Bにあたる数をいいなさい。 数直線の図 答えを入力 A\n"), std::string::npos) << line;
    EXPECT_NE(line.find("\nA 0 A ばつ Bを入力\nB 0 B ばつ 不正解"), std::string::npos) << line;
    EXPECT_EQ(line.find("マイナス5 マイナス4"), std::string::npos) << "the number line's ticks said";
    // A blank is named by its label, not by its place: problem 10's first is ③.
    const std::string third = said(1, "110{Enter}0{Enter}");
    EXPECT_NE(third.find("答えを入力 3番\n3番 0 3番 ばつ 4番を入力"), std::string::npos) << third;

    play({.bank = 2, .time = "12:00:00", .keys = "12{Enter}"});
    std::string keys = "12{Enter}";
    for (float k = 1; k <= 3; ++k) keys += g.expected(k, 1) + "{Enter}";
    const std::string right = said(2, keys);
    EXPECT_NE(right.find("問題2 次の数の絶対値をいいなさい。 1番 マイナス2.6 2番 プラス 8分の3 3番 マイナス 10分の1"),
              std::string::npos) << right;
    EXPECT_NE(right.find("2番 8分の3 2番 まる"), std::string::npos) << right;
    EXPECT_NE(right.find("3番 まる 正解"), std::string::npos) << right;
}

}  // namespace
