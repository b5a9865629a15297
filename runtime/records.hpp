// Practice records as they come back to be read: as the programs wrote them
// (today's columns, or the earlier ones without 組 and 番号), or saved again by
// a spreadsheet (CP932 without a byte-order mark, UTF-8 with or without it,
// LF or CRLF, the invisible marks or apostrophes that kept fields text dropped,
// the columns in any order). Write strictly, read liberally: whatever reads a
// record (the summary, the copy a teacher opens) reads it here.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/record.hpp"

namespace rt {

// The columns by name, as indices into a row read here.
enum RecordColumn : std::size_t {
    kDate, kClass, kNumber, kName, kProgram, kPractice, kProblem, kTopic, kFirst,
    kResult, kAttempts, kHints, kTyped, kAccepted, kSignError, kSelfMarked, kSeconds,
};

// A file larger than this is not read: no pupil's record comes near it.
inline constexpr std::size_t kRecordBytesMax = 32u << 20;

struct RecordRead {
    std::vector<RecordRow> rows;   // in kRecordColumns' order, each field as a spreadsheet shows it
    std::string trouble;           // "" when read whole; else what is wrong with it, in Japanese
    bool record = false;           // it is a record (its first row names the columns of one)
};

// Reads a record file's bytes. Rows that are not whole (a line cut short, more
// fields than columns) are left out and said in `trouble`; the others are read.
RecordRead read_record(std::string_view bytes);

// The rows of several files as one record: ordered by 日時, and a row that
// came twice (two copies of a file, a file saved again beside its old self)
// counted once.
std::vector<RecordRow> merged_rows(std::vector<RecordRow> rows);
// What makes two rows the same working, however a spreadsheet left them: 日時
// to the minute (a spreadsheet may drop the seconds) and the fields it leaves
// alone.
std::string row_key(const RecordRow& row);

// For each program and problem: how often it was finished, how often right at
// the first attempt, how often with a sign error.
struct ProblemTally {
    std::string program;
    int problem = 0;
    std::string topic;
    int worked = 0, first_right = 0, sign_errors = 0;   // over its finished workings
    int unfinished = 0;                                   // its 中断 rows
};
std::vector<ProblemTally> tally_problems(const std::vector<RecordRow>& rows);

// A text from a record as a terminal may show it: control characters (a line
// break, an escape that would move the cursor or recolour the terminal) as "?";
// and padded to `width` cells (two for a character beyond ASCII).
std::string terminal_text(const std::string& text);
std::string terminal_padded(const std::string& text, std::size_t width, bool right = false);

// The local time now in a strftime format ("%Y-%m-%d": the day a record or a sheet is dated).
std::string local_stamp(const char* format);

// ---- a class's records ---------------------------------------------------------

// Which rows a teacher looks at: 日時 from and to (dates "2026-12-10", ""
// for no bound), one program and one 組 ("" all), and for each pupil and
// problem the latest working (or the first).
struct ClassFilter {
    std::string from, to, program, class_name;
    bool first = false;
};

// The class as the filter shows it: one column per problem, one line per
// pupil (組, 番号, 名前; a file's rows without them under the file's name).
struct ClassView {
    struct Problem {
        std::string program, topic;
        int number = 0;
        int worked = 0, first_right = 0, sign_errors = 0;   // over the pupils' chosen workings
        double median_hints = 0, median_seconds = 0;
    };
    struct Cell {
        std::string mark;                 // "○", "×", "中断", or "—" not worked
        bool sign_error = false;
        std::vector<std::size_t> rows;    // the pupil's rows of the problem the filter shows
                                          // (indices into ClassRecords::rows), oldest first
    };
    struct Pupil {
        std::string class_name, number, name, file;   // file: for rows that name nobody
        int worked = 0, first_right = 0, sign_errors = 0, unfinished = 0;
        long seconds = 0;                 // over all its rows the filter shows
        std::vector<Cell> cells;          // one per problem
    };
    std::vector<Problem> problems;
    std::vector<Pupil> pupils;            // by 組 and 番号
    std::vector<std::size_t> help_first;  // the pupils, those who need help first
};

class ClassRecords {
public:
    struct File {
        std::string name, trouble;        // trouble: what is wrong, "" when read whole
        bool record = false;
        std::size_t rows = 0, new_rows = 0;   // its rows, and those no other file had
    };
    // Reads one file of the class.
    const File& add(const std::string& name, std::string_view bytes);
    const std::vector<File>& files() const { return files_; }
    // Every row once, in the order read.
    const std::vector<RecordRow>& rows() const { return rows_; }
    // The file a row was first read from.
    const std::string& file_of(std::size_t row) const { return files_[row_file_[row]].name; }
    // The dates (the first ten characters of 日時), 組 and programs the rows hold.
    std::vector<std::string> dates() const, classes() const, programs() const;
    ClassView view(const ClassFilter& filter) const;

private:
    std::vector<File> files_;
    std::vector<RecordRow> rows_;
    std::vector<std::size_t> row_file_;
    std::set<std::string> keys_;
};

// The class table as CSV in the record's form (with its byte-order mark): a
// line per pupil, 組, 番号, 名前, then each problem's mark ("×（符号）" for a sign
// error), then the pupil's sums.
std::string class_csv(const ClassView& view);

}  // namespace rt
