// Practice records as they come back to be read: as the programs wrote them
// (today's columns, or the earlier ones without 組 and 番号), or saved again by
// a spreadsheet (CP932 without a byte-order mark, UTF-8 with or without it,
// LF or CRLF, the invisible marks or apostrophes that kept fields text dropped,
// the columns in any order). Write strictly, read liberally: whatever reads a
// record (the summary, the copy a teacher opens) reads it here.
#pragma once

#include <cstddef>
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
    int worked = 0, first_right = 0, sign_errors = 0;
};
std::vector<ProblemTally> tally_problems(const std::vector<RecordRow>& rows);

}  // namespace rt
