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
inline constexpr std::array<const char*, 17> kRecordColumns = {
    "日時", "組", "番号", "名前", "プログラム", "練習", "問題", "内容", "1回目",
    "結果", "回数", "ヒント", "入力", "正答", "符号の誤り", "自己採点", "秒",
};
using RecordRow = std::vector<std::string>;   // UTF-8 fields, one for each column

// Keeps a finished row. A record that cannot be kept never stops the drill:
// the backend says so once and goes on.
void record_row(const RecordRow& row);
// The row of the problem under way as it stands if it is left now, or an empty
// row once none is under way: kept where the program may end without a word (a
// browser tab closed), to stand for the problem left unfinished.
void record_pending(const RecordRow& row);
// Who is practising: class (組), number in the class (番号) and name, each ""
// when not given.
struct Pupil {
    std::string class_name, number, name;
};
Pupil record_pupil();
// A practice is about to start: where the device does not know who is
// practising today, it asks (the page), and the drill waits for the answer.
void record_ask_pupil();
// The number of a practice that starts now, never given before on this device
// (the drill's own count of runs, `run`, where the device keeps no record).
int record_next_practice(int run);
// The local date and time, "2026-12-09 10:31:05".
std::string date_time_text();
// Seconds on a clock that only goes forward.
double seconds();

// ---- the CSV form (RFC 4180, UTF-8 with a byte-order mark) -------------------
inline constexpr std::string_view kBom = "\xEF\xBB\xBF";
// One row as a line, CRLF included: a field is quoted where it holds a comma, a
// quote or a line break, and written as spreadsheet_text has it.
std::string csv_line(const RecordRow& row);
// A field as a spreadsheet will show it, exactly as written: one that it would
// take for a formula (it starts with = + - @, a tab or a carriage return), or
// read as a number, a date or a time and show otherwise ("-8.7", "3/4",
// "1.10", "007", "TRUE"), gets an invisible word joiner (U+2060) before it,
// and so stays text. Whole numbers ("12"), the drill's date-times
// ("2026-12-09 10:31:05") and text that no spreadsheet reads as a value ("√2",
// "正解") are written as they are.
std::string spreadsheet_text(const std::string& field);
inline constexpr std::string_view kWordJoiner = "\xE2\x81\xA0";
// The rows of a CSV text (a leading byte-order mark skipped); nothing when the
// text is not whole CSV (an open quote, a last line without its CRLF).
std::optional<std::vector<RecordRow>> parse_csv(std::string_view text);

}  // namespace rt
