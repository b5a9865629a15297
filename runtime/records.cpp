#include "runtime/records.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <set>
#include <cstdio>
#include <tuple>

#include "runtime/text.hpp"

namespace rt {

namespace {

bool valid_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if (c >= 0xC2 && c <= 0xDF) extra = 1;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3;
        else if (c >= 0x80) return false;
        if (i + extra >= s.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

// The text as UTF-8: its byte-order mark left out, CP932 turned into UTF-8.
std::string as_utf8(std::string_view bytes) {
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    if (valid_utf8(bytes)) return std::string(bytes);
    return sjis::to_utf8(Text(bytes));
}

// CSV as spreadsheets write it: quoted or not, lines ended by CRLF, LF or CR,
// the last line with or without its end. A quote inside an unquoted field is
// taken as it is. Rows of more than `most` fields stop taking fields.
std::vector<RecordRow> rows_of(std::string_view text, std::size_t most) {
    std::vector<RecordRow> rows;
    RecordRow row;
    std::string field;
    bool in_quotes = false, quoted = false;
    const auto end_field = [&] {
        if (row.size() <= most) row.push_back(std::move(field));
        field.clear();
        quoted = false;
    };
    const auto end_row = [&] {
        end_field();
        rows.push_back(std::move(row));
        row.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_quotes) {
            if (c != '"') field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else in_quotes = false;
        } else if (c == '"' && field.empty() && !quoted) {
            in_quotes = quoted = true;
        } else if (c == ',') {
            end_field();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            end_row();
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty() || quoted) end_row();
    return rows;
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
    std::vector<RecordRow> rows = rows_of(text, kFieldsMax);
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
        if (r[kResult] == "中断") continue;   // left unfinished: not a working of it
        t.worked += 1;
        t.first_right += r[kFirst] == "○";
        t.sign_errors += !r[kSignError].empty();
    }
    std::vector<ProblemTally> out;
    for (auto& [key, t] : by) out.push_back(std::move(t));
    return out;
}

}  // namespace rt
