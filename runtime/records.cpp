#include "runtime/records.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "runtime/text.hpp"

namespace rt {

// ---- the one form the programs write --------------------------------------------

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

// CSV field by field. Strictly (the programs' own form): every line ends in
// CRLF, the last one too, and nothing follows a closing quote; else nothing.
// Liberally (as spreadsheets save it): lines end in CRLF, LF or CR, the last
// one with or without its end, and a quote within an unquoted field is taken
// as it is. Rows of more than `most` fields stop taking fields.
std::optional<std::vector<RecordRow>> scan_csv(std::string_view text, bool strict, std::size_t most) {
    std::vector<RecordRow> rows;
    RecordRow row;
    std::string field;
    bool in_quotes = false, quoted = false;
    const auto end_field = [&] {
        if (row.size() <= most) row.push_back(std::move(field));
        field.clear();
        quoted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (in_quotes) {
            if (c != '"') field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else in_quotes = false;
        } else if (c == '"' && field.empty() && !quoted) {
            in_quotes = quoted = true;
        } else if (c == ',') {
            end_field();
        } else if (crlf || (!strict && (c == '\r' || c == '\n'))) {
            i += crlf;
            end_field();
            rows.push_back(std::move(row));
            row.clear();
        } else if (strict && (quoted || c == '\r' || c == '\n')) {
            return std::nullopt;   // text after a closing quote, or a bare line break
        } else {
            field += c;
        }
    }
    if (in_quotes || !field.empty() || !row.empty() || quoted) {
        if (strict) return std::nullopt;   // a half line
        end_field();
        rows.push_back(std::move(row));
    }
    return rows;
}

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
    return scan_csv(text, true, std::string::npos);
}

// ---- every form a record comes back in -------------------------------------------

namespace {

// The length of the UTF-8 sequence at s[i], or 0 where none starts whole.
std::size_t utf8_length(std::string_view s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (c >= 0xC2 && c <= 0xDF) extra = 1;
    else if (c >= 0xE0 && c <= 0xEF) extra = 2;
    else if (c >= 0xF0 && c <= 0xF4) extra = 3;
    else if (c >= 0x80) return 0;
    if (i + extra >= s.size()) return 0;
    for (std::size_t k = 1; k <= extra; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return extra + 1;
}

// Whether the bytes are CP932 throughout: every lead byte with its trail byte.
bool whole_cp932(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!sjis::is_lead(static_cast<unsigned char>(s[i]))) continue;
        const unsigned char t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
        ++i;
    }
    return true;
}

// The text as UTF-8: its byte-order mark left out; CP932 (a file saved
// without the mark) turned into UTF-8; bytes that are neither (a file cut in
// the middle of a character) each as U+FFFD.
std::string as_utf8(std::string_view bytes) {
    const bool marked = bytes.starts_with(kBom);
    if (marked) bytes.remove_prefix(kBom.size());
    std::size_t bad = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = utf8_length(bytes, i);
        bad += n == 0;
        i += std::max<std::size_t>(n, 1);
    }
    if (bad == 0) return std::string(bytes);
    // (CP932 read as UTF-8 goes wrong at nearly every character: a record's
    // first row alone has dozens. A cut file has one or two.)
    if (!marked && bad > 2 && whole_cp932(bytes)) return sjis::to_utf8(Text(bytes));
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = utf8_length(bytes, i);
        out += n ? bytes.substr(i, n) : std::string_view("\xEF\xBF\xBD");
        i += std::max<std::size_t>(n, 1);
    }
    return out;
}

// A field as the spreadsheet showed it: without the invisible word joiner, or
// the apostrophe before a formula's sign, that kept it text.
std::string shown(std::string field) {
    if (field.starts_with(kWordJoiner)) return field.substr(kWordJoiner.size());
    if (field.size() > 1 && field[0] == '\'' && std::string_view("=+-@").find(field[1]) != std::string_view::npos)
        return field.substr(1);
    return field;
}

// 日時 as the programs write it, "2026-12-09 10:31:05", from the forms a
// spreadsheet saves it in ("2026/12/9 10:31", "12/9/2026 10:31:05", ...).
std::string date_time_of(const std::string& field) {
    std::vector<int> n;
    std::vector<std::size_t> digits;
    for (std::size_t i = 0; i < field.size();) {
        if (field[i] < '0' || field[i] > '9') {
            ++i;
            continue;
        }
        std::size_t from = i;
        while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
        if (i - from > 4) return field;
        n.push_back(std::atoi(field.substr(from, i - from).c_str()));
        digits.push_back(i - from);
    }
    if (n.size() < 5 || n.size() > 6) return field;
    if (digits[2] == 4 && digits[0] <= 2) std::rotate(n.begin(), n.begin() + 2, n.begin() + 3);   // M/D/Y
    else if (digits[0] != 4) return field;
    if (n.size() == 5) n.push_back(0);
    if (n[1] < 1 || n[1] > 12 || n[2] < 1 || n[2] > 31 || n[3] > 23 || n[4] > 59 || n[5] > 59) return field;
    char out[80];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", n[0], n[1], n[2], n[3], n[4], n[5]);
    return out;
}

}  // namespace

RecordRead read_record(std::string_view bytes) {
    RecordRead read;
    if (bytes.size() > kRecordBytesMax) {
        read.trouble = "ファイルが大きすぎます（" + std::to_string(bytes.size() >> 20) + " MB）";
        return read;
    }
    const std::string text = as_utf8(bytes);
    constexpr std::size_t kFieldsMax = 2 * kRecordColumns.size() + 8;
    std::vector<RecordRow> rows = *scan_csv(text, false, kFieldsMax);
    if (rows.empty()) {
        read.trouble = "空のファイルです";
        return read;
    }
    // The columns by their names in the first row; 日時, プログラム, 問題 and
    // 結果 make it a record.
    std::array<int, kRecordColumns.size()> at;
    at.fill(-1);
    const RecordRow& head = rows[0];
    for (std::size_t c = 0; c < kRecordColumns.size(); ++c)
        for (std::size_t i = 0; i < head.size(); ++i)
            if (shown(head[i]) == kRecordColumns[c]) at[c] = static_cast<int>(i);
    if (at[kDate] < 0 || at[kProgram] < 0 || at[kProblem] < 0 || at[kResult] < 0) {
        read.trouble = "練習の記録ではありません（日時・プログラム・問題・結果の列がありません）";
        return read;
    }
    read.record = true;
    std::size_t damaged = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const RecordRow& row = rows[r];
        if (row.size() == 1 && row[0].empty()) continue;   // a blank line
        if (row.size() != head.size()) {
            ++damaged;
            continue;
        }
        RecordRow out(kRecordColumns.size());
        for (std::size_t c = 0; c < kRecordColumns.size(); ++c)
            if (at[c] >= 0) out[c] = shown(row[static_cast<std::size_t>(at[c])]);
        out[kDate] = date_time_of(out[kDate]);
        for (std::size_t flag : {kSignError, kSelfMarked})   // ("?" once saved in CP932, which has no ✓)
            if (!out[flag].empty()) out[flag] = "✓";
        read.rows.push_back(std::move(out));
    }
    if (damaged > 0) read.trouble = "壊れた行が " + std::to_string(damaged) + " 行あります（読み飛ばしました）";
    return read;
}

std::string row_key(const RecordRow& r) {
    std::string key = r[kDate].substr(0, 16);
    for (std::size_t c : {kClass, kNumber, kName, kProgram, kPractice, kProblem, kResult, kAttempts, kHints, kSeconds})
        key += '\x1f' + r[c];
    return key;
}

std::vector<RecordRow> merged_rows(std::vector<RecordRow> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const RecordRow& a, const RecordRow& b) { return a[kDate] < b[kDate]; });
    std::set<std::string> seen;
    std::vector<RecordRow> out;
    for (RecordRow& row : rows)
        if (seen.insert(row_key(row)).second) out.push_back(std::move(row));
    return out;
}

std::vector<ProblemTally> tally_problems(const std::vector<RecordRow>& rows) {
    std::map<std::tuple<std::string, int>, ProblemTally> by;
    for (const RecordRow& r : rows) {
        const int problem = std::atoi(r[kProblem].c_str());
        ProblemTally& t = by[{r[kProgram], problem}];
        t.program = r[kProgram];
        t.problem = problem;
        if (!r[kTopic].empty()) t.topic = r[kTopic];
        if (r[kResult] == "中断") {   // left unfinished: not a working of it
            t.unfinished += 1;
            continue;
        }
        t.worked += 1;
        t.first_right += r[kFirst] == "○";
        t.sign_errors += !r[kSignError].empty();
    }
    std::vector<ProblemTally> out;
    for (auto& [key, t] : by) out.push_back(std::move(t));
    return out;
}

std::string local_stamp(const char* format) {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char out[64];
    std::strftime(out, sizeof out, format, &local);
    return out;
}

// ---- in a terminal ------------------------------------------------------------------

std::string terminal_text(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const bool c1 = c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0xA0;   // U+0080..9F
        if (c < 0x20 || c == 0x7F || c1) {
            out += '?';
            i += c1;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string terminal_padded(const std::string& text, std::size_t width, bool right) {
    const std::string s = terminal_text(text);
    std::size_t cells = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) cells += c < 0x80 ? 1 : 2;
    const std::string pad(width > cells ? width - cells : 0, ' ');
    return right ? pad + s : s + pad;
}

// ---- a class's records ---------------------------------------------------------

namespace {

// A whole number in a field, for sorting ("3" before "12"); -1 for none.
long whole(const std::string& s) {
    if (s.empty() || s.size() > 9 || !all_digits(s)) return -1;
    return std::atol(s.c_str());
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

const ClassRecords::File& ClassRecords::add(const std::string& name, std::string_view bytes) {
    const RecordRead read = read_record(bytes);
    File file{.name = name, .trouble = read.trouble, .record = read.record, .rows = read.rows.size()};
    for (RecordRow row : read.rows) {
        // 番号 "07" and "7" are one pupil's.
        std::string& number = row[kNumber];
        if (number.size() > 1 && all_digits(number)) number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
        if (!keys_.insert(row_key(row)).second) continue;
        rows_.push_back(std::move(row));
        row_file_.push_back(files_.size());
        ++file.new_rows;
    }
    files_.push_back(std::move(file));
    return files_.back();
}

std::vector<std::string> ClassRecords::dates() const {
    std::set<std::string> all;
    for (const RecordRow& r : rows_) all.insert(r[kDate].substr(0, 10));
    return {all.begin(), all.end()};
}

std::vector<std::string> ClassRecords::classes() const {
    std::set<std::string> all;
    for (const RecordRow& r : rows_)
        if (!r[kClass].empty()) all.insert(r[kClass]);
    std::vector<std::string> out(all.begin(), all.end());
    std::stable_sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) { return whole(a) < whole(b); });
    return out;
}

std::vector<std::string> ClassRecords::programs() const {
    std::set<std::string> all;
    for (const RecordRow& r : rows_) all.insert(r[kProgram]);
    return {all.begin(), all.end()};
}

ClassView ClassRecords::view(const ClassFilter& f) const {
    ClassView view;
    // The columns: every problem of the programs shown that any file holds,
    // whatever the dates and 組 shown, so that they stay where they are, each
    // with its topic.
    std::map<std::pair<std::string, int>, std::string> topic_of;
    for (const RecordRow& r : rows_) {
        if (!f.program.empty() && r[kProgram] != f.program) continue;
        const std::pair<std::string, int> key{r[kProgram], std::atoi(r[kProblem].c_str())};
        if (key.second <= 0) continue;
        std::string& topic = topic_of[key];
        if (!r[kTopic].empty()) topic = r[kTopic];
    }
    std::map<std::pair<std::string, int>, std::size_t> column;
    for (const auto& [key, topic] : topic_of) {
        column.emplace(key, view.problems.size());
        view.problems.push_back({.program = key.first, .topic = topic, .number = key.second});
    }
    // The rows shown, oldest first, each under its pupil.
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RecordRow& r = rows_[i];
        const std::string day = r[kDate].substr(0, 10);
        if ((!f.from.empty() && day < f.from) || (!f.to.empty() && day > f.to)) continue;
        if ((!f.program.empty() && r[kProgram] != f.program) || (!f.class_name.empty() && r[kClass] != f.class_name)) continue;
        if (!column.contains({r[kProgram], std::atoi(r[kProblem].c_str())})) continue;
        shown.push_back(i);
    }
    std::stable_sort(shown.begin(), shown.end(), [&](std::size_t a, std::size_t b) { return rows_[a][kDate] < rows_[b][kDate]; });
    std::map<std::string, std::size_t> pupil_at;
    for (std::size_t i : shown) {
        const RecordRow& r = rows_[i];
        const bool named = !r[kClass].empty() || !r[kNumber].empty() || !r[kName].empty();
        const std::string key = named ? r[kClass] + '\x1f' + r[kNumber] + '\x1f' + r[kName] : '\x1e' + file_of(i);
        auto [it, is_new] = pupil_at.emplace(key, view.pupils.size());
        if (is_new) {
            ClassView::Pupil p{.file = named ? "" : file_of(i)};
            if (named) p.class_name = r[kClass], p.number = r[kNumber], p.name = r[kName];
            p.cells.resize(view.problems.size(), ClassView::Cell{.mark = "—"});
            view.pupils.push_back(std::move(p));
        }
        ClassView::Pupil& p = view.pupils[it->second];
        p.seconds += std::max(0L, std::atol(r[kSeconds].c_str()));
        const std::size_t c = column.at({r[kProgram], std::atoi(r[kProblem].c_str())});
        p.cells[c].rows.push_back(i);
    }
    // Each cell: the chosen working's first attempt; the sums.
    std::vector<std::vector<double>> hints(view.problems.size()), seconds(view.problems.size());
    for (ClassView::Pupil& p : view.pupils) {
        for (std::size_t c = 0; c < p.cells.size(); ++c) {
            ClassView::Cell& cell = p.cells[c];
            if (cell.rows.empty()) continue;
            const RecordRow& r = rows_[f.first ? cell.rows.front() : cell.rows.back()];
            const bool unfinished = r[kResult] == "中断";
            cell.mark = unfinished ? "中断" : r[kFirst] == "○" ? "○" : "×";
            cell.sign_error = !r[kSignError].empty();
            ClassView::Problem& problem = view.problems[c];
            p.sign_errors += cell.sign_error;
            problem.sign_errors += cell.sign_error;
            if (unfinished) {
                ++p.unfinished;
                continue;
            }
            ++p.worked;
            ++problem.worked;
            p.first_right += cell.mark == "○";
            problem.first_right += cell.mark == "○";
            hints[c].push_back(std::atof(r[kHints].c_str()));
            seconds[c].push_back(std::atof(r[kSeconds].c_str()));
        }
    }
    for (std::size_t c = 0; c < view.problems.size(); ++c) {
        view.problems[c].median_hints = median(hints[c]);
        view.problems[c].median_seconds = median(seconds[c]);
    }
    // By 組 and 番号 (as numbers where they are), then 名前; a file's nameless rows last.
    std::stable_sort(view.pupils.begin(), view.pupils.end(), [](const ClassView::Pupil& a, const ClassView::Pupil& b) {
        return std::make_tuple(!a.file.empty(), whole(a.class_name), a.class_name, whole(a.number), a.number, a.name,
                               a.file) <
               std::make_tuple(!b.file.empty(), whole(b.class_name), b.class_name, whole(b.number), b.number, b.name,
                               b.file);
    });
    // Who needs help first: the fewest right at the first attempt for what
    // they worked, then the most sign errors, then the most left unfinished.
    for (std::size_t i = 0; i < view.pupils.size(); ++i) view.help_first.push_back(i);
    const auto share = [](const ClassView::Pupil& p) { return p.worked ? double(p.first_right) / p.worked : 1.0; };
    std::stable_sort(view.help_first.begin(), view.help_first.end(), [&](std::size_t a, std::size_t b) {
        const auto& pa = view.pupils[a];
        const auto& pb = view.pupils[b];
        return std::make_tuple(share(pa), -pa.sign_errors, -pa.unfinished) <
               std::make_tuple(share(pb), -pb.sign_errors, -pb.unfinished);
    });
    return view;
}

std::string class_csv(const ClassView& view) {
    RecordRow head{"組", "番号", "名前"};
    for (const auto& p : view.problems) head.push_back(p.program + " " + std::to_string(p.number));
    for (const char* sum : {"解いた問題", "1回目○", "符号の誤り", "中断", "秒"}) head.push_back(sum);
    std::string text = std::string(kBom) + csv_line(head);
    for (const auto& p : view.pupils) {
        RecordRow line{p.class_name, p.number, p.file.empty() ? p.name : p.file};
        for (const auto& cell : p.cells) line.push_back(cell.mark + (cell.sign_error ? "（符号）" : ""));
        for (long n : {long(p.worked), long(p.first_right), long(p.sign_errors), long(p.unfinished), p.seconds})
            line.push_back(std::to_string(n));
        text += csv_line(line);
    }
    return text;
}

}  // namespace rt
