#include "runtime/record.hpp"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "runtime/backend.hpp"
#include "runtime/screen.hpp"
#include "runtime/text.hpp"

namespace rt {

void record_row(const RecordRow& row) { backend().keep_row(row); }
void record_pending(const RecordRow& row) { backend().keep_pending(row); }
Pupil record_pupil() { return backend().pupil(); }
void record_ask_pupil() { backend().ask_pupil(); }
int record_next_practice(int run) { return backend().next_practice(run); }
std::string date_time_text() { return backend().date_time(); }

double seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

namespace {

bool all_digits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// Characters a spreadsheet may read as part of a number, a date or a time:
// ASCII and its full-width forms, the spaces, the minus sign, currency signs,
// and the kanji of Japanese dates and times.
bool value_char(char32_t u) {
    static const std::u32string kanji = U"年月日時分秒午前後令和平成昭大正明治";
    return u < 0x80 || (u >= 0xFF01 && u <= 0xFF5E) || u == 0x3000 || u == 0x2212 || u == 0xA0 || u == 0xA3 ||
           u == 0xA5 || u == 0x20AC || kanji.find(u) != std::u32string::npos;
}

// A word a number, a date or a time may hold: an exponent, a month, a half day.
bool value_word(const std::string& w) {
    static const std::string words[] = {"e", "a", "p", "am", "pm", "jan", "feb", "mar", "apr", "may", "jun", "jul",
                                        "aug", "sep", "sept", "oct", "nov", "dec", "january", "february", "march",
                                        "april", "june", "july", "august", "september", "october", "november",
                                        "december"};
    return std::find(std::begin(words), std::end(words), w) != std::end(words);
}

bool digit_char(char32_t u) { return (u >= U'0' && u <= U'9') || (u >= 0xFF10 && u <= 0xFF19); }

}  // namespace

std::string spreadsheet_text(const std::string& field) {
    if (field.empty()) return field;
    const bool formula = std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos;
    if (!formula) {
        const bool whole = all_digits(field) && field.size() <= 10 && (field.size() == 1 || field[0] != '0');
        const bool date_time = field.size() == 19 && field[4] == '-' && field[7] == '-' && field[10] == ' ' &&
                               field[13] == ':' && field[16] == ':' &&
                               all_digits(field.substr(0, 4) + field.substr(5, 2) + field.substr(8, 2) +
                                          field.substr(11, 2) + field.substr(14, 2) + field.substr(17, 2));
        if (whole || date_time) return field;
        bool any_digit = false, all_value = true;
        for (std::size_t i = 0; i < field.size();) {
            const char32_t u = sjis::next_utf8(field, i);
            any_digit = any_digit || digit_char(u);
            all_value = all_value && value_char(u);
        }
        // Its words (runs of Latin letters) all of the kind a value holds.
        const auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
        bool words = true, truth = false;
        for (std::size_t i = 0; i < field.size();) {
            if (!std::isalpha(static_cast<unsigned char>(field[i]))) {
                ++i;
                continue;
            }
            std::string word;
            for (; i < field.size() && std::isalpha(static_cast<unsigned char>(field[i])); ++i) word += lower(field[i]);
            truth = word.size() == field.size() && (word == "true" || word == "false");
            words = words && (truth || value_word(word));
        }
        if (!truth && !(any_digit && all_value && words)) return field;
    }
    return std::string(kWordJoiner) + field;
}

std::string csv_line(const RecordRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        std::string field = spreadsheet_text(row[i]);
        if (field.find_first_of(",\"\r\n") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            field = quoted + '"';
        }
        line += (i ? "," : "") + field;
    }
    return line + "\r\n";
}

std::optional<std::vector<RecordRow>> parse_csv(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    std::vector<RecordRow> rows;
    RecordRow row;
    std::string field;
    bool quoted = false, in_quotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_quotes) {
            if (c != '"') field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else in_quotes = false;
        } else if (c == '"' && field.empty() && !quoted) {
            quoted = in_quotes = true;
        } else if (c == ',' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            row.push_back(std::move(field));
            field.clear();
            quoted = false;
            if (c == '\r') {
                ++i;
                rows.push_back(std::move(row));
                row.clear();
            }
        } else if (quoted || c == '\r' || c == '\n') {
            return std::nullopt;   // text after a closing quote, or a bare line break
        } else {
            field += c;
        }
    }
    if (in_quotes || !row.empty() || !field.empty() || quoted) return std::nullopt;   // a half line
    return rows;
}

}  // namespace rt
