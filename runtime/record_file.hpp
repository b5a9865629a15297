// The practice record as files (the desktop programs and the player): one
// folder for both programs, $XDG_DATA_HOME/varnel/ by default
// (~/.local/share/varnel/), holding
//   record.csv   the rows, each one append of a whole line, synced to the disk
//                before the drill goes on, so two programs writing at once never
//                interleave their rows and a program killed (or the power cut)
//                at any moment leaves whole rows only. Where a spreadsheet has
//                saved the file over, it is no longer written to, only read:
//                rows go on in record-2.csv (then -3, ...) beside it;
//   under-way/   the problem each running program has under way, as the row it
//                stands for if the program ends now: one left by a program that
//                ended without writing it (killed, the display gone) becomes its
//                中断 row when a program next starts or reads the record, once;
//   practices    how many practices this device has numbered;
//   copies/      the dated copies a teacher opens in a spreadsheet.
#pragma once

#include <string>
#include <vector>

#include "runtime/record.hpp"

namespace rt {

// Where record.csv is kept unless told otherwise ("" without a home folder).
std::string default_record_path();

// The file that rows go to: `path` when it is exactly a record of ours or is
// not there yet, else the first of its siblings path-2.csv, path-3.csv, ...
// that is. Any other file is kept as it is.
std::string record_file_in_use(const std::string& path);

// Every record file of the folder of `path` that holds rows (record.csv and its
// siblings, however they were last saved): their rows as one record.
struct RecordFiles {
    std::vector<std::string> read;      // the files read
    std::vector<std::string> not_read;  // files there that are not records, with why
    std::vector<RecordRow> rows;        // merged: in 日時 order, each row once
};
RecordFiles read_record_files(const std::string& path);

class RecordFile {
public:
    // `program` names the program in the one message a failure gives.
    RecordFile(std::string path, std::string program);
    // A problem still under way is left as its 中断 row.
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The file rows go to, made (with its first row) if there is none yet, and
    // the problems left under way by programs that have ended turned into their
    // rows: "" when the record cannot be kept.
    std::string ready();
    // Appends a finished row and syncs it to the disk; the problem under way is
    // then none. False when it cannot be kept.
    bool append(const RecordRow& row);
    // The row of the problem under way (an empty row: none), kept on the disk.
    void under_way(const RecordRow& row);
    // The program ends without a word for its problem under way (as the
    // destructor does): that row is kept as it stands now.
    void leave();
    // The number of a practice that starts now (0 when the record cannot be kept).
    int next_practice();
    // Why the record cannot be kept, in Japanese, for the screen ("" while it can).
    const std::string& trouble() const { return trouble_; }

private:
    bool failed(const std::string& problem);
    bool write_under_way(const std::string& content);

    std::string path_, program_, in_use_, trouble_;
    bool failed_ = false;
    int lock_fd_ = -1;                 // held while this program lives: it is not gone
    std::string id_;                   // its name under under-way/
    std::string under_way_line_;       // the row under way as a CSV line, "" none
    double under_way_since_ = 0;       // when that problem started (seconds since the epoch)
};

// Turns the problems left under way by programs that have ended into their
// rows (as a program's start does), for a reader that starts no program.
void settle_left_problems(const std::string& path);

// What a teacher sees in a terminal: the files read and, for each program and
// problem, how many times it was finished, how many were ○ at the first
// attempt and how many had a sign error.
std::string record_summary(const std::string& path);

// Writes every row of the record as one dated file under copies/ (in the form
// the programs write) for a teacher's spreadsheet, so that saving it there
// never touches the record. Its path, or "" (said on stderr) when it cannot.
std::string record_copy(const std::string& path, const std::string& program);

}  // namespace rt
