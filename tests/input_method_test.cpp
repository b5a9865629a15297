// Answers typed with the Japanese input method on, as it commits them in kana
// mode ("ー" for the minus key, "。" for the full stop, "、" for the comma,
// full-width digits and signs), are marked as the same answers typed on a
// plain keyboard.
#include <gtest/gtest.h>

#include "tools/player.hpp"

namespace {

// An answer as the input method commits it.
std::string committed(const Text& answer) {
    std::string out;
    for (char c : answer) {
        if (c == '-') out += "ー";
        else if (c == '.') out += "。";
        else if (c == ',') out += "、";
        else if (c >= '!' && c <= '~') out += sjis::utf8_of(static_cast<char32_t>(c) + 0xFEE0);   // full width
        else out += c;
    }
    return out;
}

TEST(InputMethod, CommittedStringsAnswerBothProgramsLikeTheirKeys) {
    // varnel1 problem 2 (temperatures: a decimal and a negative decimal);
    // varnel2 problem 3 (the two numbers with an absolute value: "-15,+15").
    for (const auto& [bank, problem] : {std::pair{1, 2}, std::pair{2, 3}}) {
        const std::string start = "1" + std::to_string(problem) + "{Enter}";
        play({.bank = bank, .time = "12:00:00", .keys = start});
        std::string keys;
        for (float k = 1; k <= g.blank_count; ++k) keys += committed(g.expected(k, 1)) + "{Enter}";
        SCOPED_TRACE(keys);
        play({.bank = bank, .time = "12:00:00", .keys = start + keys});
        EXPECT_EQ(g.mark_result, 2);
        EXPECT_EQ(g.attempt_count, 1);
    }
}

}  // namespace
