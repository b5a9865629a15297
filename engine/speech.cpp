// The drill's text as a reader says it, for assistive technology: every markup
// string drawn is said as well (render_markup), fractions, powers, roots and
// symbols in words; a figure only by its name, so that nothing it shows gives
// an answer away; the answer line by what it asks and what was typed.
#include <string>

#include "engine/engine.hpp"
#include "runtime/screen.hpp"

namespace {

int quiet = 0;   // figures and the answer line being drawn: their markup is not said
std::string last_said;   // so that a figure drawn in pieces is named once

std::string utf8(char32_t c) { return sjis::utf8_of(c); }

// The signs and symbols, as typed and as shown, by their names; decoration as a pause.
struct Name {
    std::u32string_view chars;
    const char* said;
};
constexpr Name kNames[] = {
    {U"-－−", "マイナス"},   {U"+＋", "プラス"},       {U"@±", "プラスマイナス"}, {U"[≦", "小なりイコール"},
    {U"]≧", "大なりイコール"}, {U"<＜", "小なり"},      {U">＞", "大なり"},       {U"=＝", "イコール"},
    {U"&π", "パイ"},         {U"%°", "度"},           {U"'∠", "角"},           {U"$≡", "合同"},
    {U"?∽", "相似"},         {U"~△", "三角形"},       {U"*", "かける"},        {U"/÷", "わる"},
    {U"√", "ルート"},        {U",，", ", "},          {U"\\", ""},           {U"★☆・…～　 ", " "},
};

// One character as a word: digits as digits, signs and symbols by their
// names, the blanks' circled numbers as "1番".
std::string word(char32_t c) {
    for (const Name& n : kNames)
        if (n.chars.find(c) != std::u32string_view::npos) return n.said;
    if (c >= U'①' && c <= U'⑳') return std::to_string(c - U'①' + 1) + "番";
    if (c >= 0xFF01 && c <= 0xFF5E) return utf8(c - 0xFEE0);   // full-width forms as ASCII
    return utf8(c);
}

std::string spoken(std::u32string_view s);

// "<" opens brackets round a word ("<varnel>"), not a comparison.
bool bracketed(std::u32string_view s, std::size_t at) {
    std::size_t i = at + 1;
    while (i < s.size() && ((s[i] >= U'a' && s[i] <= U'z') || (s[i] >= U'A' && s[i] <= U'Z') || (s[i] >= U'0' && s[i] <= U'9')))
        ++i;
    return i > at + 1 && i < s.size() && s[i] == U'>';
}

std::string spoken(std::u32string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char32_t c = s[i];
        if (c == U'ﾀ') {   // a fraction: its denominator first, "3分の2"
            const auto end = s.find(U'ﾀ', i + 1);
            if (end == std::u32string_view::npos) continue;   // a lone opening mark is dropped
            const std::u32string_view body = s.substr(i + 1, end - i - 1);
            const auto bar = body.find(U'/');
            const auto numerator = body.substr(0, bar);
            const auto denominator = bar == std::u32string_view::npos ? std::u32string_view() : body.substr(bar + 1);
            out += " " + spoken(denominator) + "分の" + spoken(numerator) + " ";
            i = end;
        } else if (c == U'<' && bracketed(s, i)) {   // a heading's brackets, "<varnel>", are not signs
            const auto end = s.find(U'>', i);
            out += " " + spoken(s.substr(i + 1, end - i - 1)) + " ";
            i = end;
        } else if (c == U'^') {   // a power: "2の2乗"
            if (i + 1 < s.size()) out += "の" + word(s[++i]) + "乗";
        } else if (c == U'!' || c == U'#') {
            out += "ルート";
        } else if (c != U'ﾝ') {
            out += word(c);
        }
    }
    return out;
}

}  // namespace

std::string speech_of(const Text& markup) {
    std::u32string chars;
    for (std::size_t i = 0; i < markup.size();) chars += sjis::unicode_at(markup, i);
    std::string out;
    for (char c : spoken(chars)) {   // blanks run together, none at the ends
        if (c != ' ') out += c;
        else if (!out.empty() && out.back() != ' ') out += ' ';
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A typed answer: a fraction typed as numerator "/" denominator is said as one.
std::string speech_of_typed(const Text& typed) {
    const auto slash = typed.find('/');
    if (slash == Text::npos) return speech_of(typed);
    auto from = slash, to = slash + 1;
    while (from > 0 && typed[from - 1] != '-' && typed[from - 1] != '+' && typed[from - 1] != ',') --from;
    while (to < typed.size() && typed[to] != ',') ++to;
    const std::string fraction = speech_of(typed.substr(0, from) + "ﾀ"_sj + typed.substr(from, to - from) + "ﾀ"_sj);
    const std::string rest = speech_of_typed(typed.substr(to));
    return fraction + (rest.empty() || rest[0] == ',' ? "" : " ") + rest;
}

std::string speech_of_blank(float k) {
    if (g.blank_count <= 1) return "答え";
    const Text& label = g.answer_label[k - 1];   // ends with the blank's circled number, if it has one
    char32_t number = 0;
    for (std::size_t i = 0; i < label.size();)
        if (const char32_t c = sjis::unicode_at(label, i); c >= U'①' && c <= U'⑳') number = c;
    if (number) return word(number);
    const std::string said = speech_of(label);   // a short label of its own ("A"), else its place
    return !said.empty() && said.size() <= 12 ? said : std::to_string(static_cast<int>(k)) + "番目";
}

void speak(const std::string& spoken_text) {
    if (quiet > 0 || spoken_text.empty()) return;
    rt::say(spoken_text);
    last_said = spoken_text;
}

Figure::Figure(const char* name) {
    if (last_said != name) speak(name);
    ++quiet;
}
Figure::~Figure() { --quiet; }

QuietDrawing::QuietDrawing() { ++quiet; }
QuietDrawing::~QuietDrawing() { --quiet; }
