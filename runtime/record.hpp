// The practice record: rows a teacher reads as a spreadsheet, kept on the
// pupil's own device by the backend (a CSV file on the desktop and in the
// player, the page's own storage in the browser). Nothing here knows what a
// row means; the drill makes them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// The columns, in their order, as the spreadsheet's first row shows them.
inline constexpr std::array<const char*, 15> kRecordColumns = {
    "日時", "名前", "プログラム", "練習", "問題", "内容", "1回目", "結果",
    "回数", "ヒント", "入力", "正答", "符号の誤り", "自己採点", "秒",
};
using RecordRow = std::vector<std::string>;   // UTF-8 fields, one for each column

// Keeps a finished row. A record that cannot be kept never stops the drill:
// the backend says so once and goes on.
void record_row(const RecordRow& row);
// The row of the problem under way as it stands if it is left now, or an empty
// row once none is under way: kept where the program may end without a word (a
// browser tab closed), to stand for the problem left unfinished.
void record_pending(const RecordRow& row);
// The pupil's name for the record ("" when none was given).
std::string record_name();
// The local date and time, "2026-12-09 10:31:05".
std::string date_time_text();
// Seconds on a clock that only goes forward.
double seconds();

// ---- the CSV form (RFC 4180, UTF-8 with a byte-order mark) -------------------
inline constexpr std::string_view kBom = "\xEF\xBB\xBF";
// One row as a line, CRLF included: a field is quoted where it holds a comma, a
// quote or a line break, and one that a spreadsheet would run as a formula (it
// starts with = + - @, a tab or a carriage return) gets a ' before it, so that
// the spreadsheet shows it as text.
std::string csv_line(const RecordRow& row);
// The rows of a CSV text (a leading byte-order mark skipped); nothing when the
// text is not whole CSV (an open quote, a last line without its CRLF).
std::optional<std::vector<RecordRow>> parse_csv(std::string_view text);

}  // namespace rt
