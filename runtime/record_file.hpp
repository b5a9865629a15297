// The practice record as a CSV file (the desktop programs and the player): one
// file for both programs, $XDG_DATA_HOME/varnel/record.csv by default
// (~/.local/share/varnel/record.csv). Each row is one append of a whole line,
// so two programs writing at once never interleave their rows, and a program
// killed at any moment leaves whole rows only.
#pragma once

#include <string>

#include "runtime/record.hpp"

namespace rt {

// Where the record is kept unless told otherwise.
std::string default_record_path();

// The file that rows go to: `path` when it is a record of ours or is not there
// yet, else the first of its siblings path-2.csv, path-3.csv, ... that is. A
// file that is not ours, or is damaged (not CSV, other columns, a half line),
// is kept as it is.
std::string record_file_in_use(const std::string& path);

class RecordFile {
public:
    // `program` names the program in the one message a failure gives (stderr).
    RecordFile(std::string path, std::string program);
    // Appends one row, starting the file (its byte-order mark and first row)
    // when there is none. False, once said on stderr, when it cannot be kept;
    // from then on this program keeps no more rows.
    bool append(const RecordRow& row);
    // The file rows go to, made (with its first row) if there is none yet:
    // "" (said on stderr) when it cannot be.
    std::string ready();

private:
    bool failed(const std::string& problem);

    std::string path_, program_, in_use_;
    bool failed_ = false;
};

// What a teacher sees in a terminal: the file read and, for each program and
// problem, how many times it was worked, how many were ○ at the first attempt
// and how many had a sign error.
std::string record_summary(const std::string& path);

}  // namespace rt
