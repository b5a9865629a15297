#include "runtime/record_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "runtime/records.hpp"

namespace rt {

namespace {

namespace fs = std::filesystem;

enum class Kind { absent, ours, other };

std::string header_line() { return csv_line(RecordRow(kRecordColumns.begin(), kRecordColumns.end())); }

std::optional<std::string> contents(const std::string& path) {
    std::error_code error;
    if (fs::file_size(path, error) > kRecordBytesMax && !error) return std::nullopt;
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Exactly a record of ours: the byte-order mark, our first row, whole rows of
// our columns, the last one ended.
Kind kind_of(const std::string& path) {
    std::error_code error;
    if (!fs::exists(path, error)) return Kind::absent;   // (or out of reach: making it says why)
    const auto text = contents(path);
    if (!text || !text->starts_with(std::string(kBom) + header_line())) return Kind::other;
    const auto rows = parse_csv(*text);
    if (!rows) return Kind::other;
    for (const RecordRow& row : *rows)
        if (row.size() != kRecordColumns.size()) return Kind::other;
    return Kind::ours;
}

std::string sibling(const std::string& path, int n) {
    if (n == 1) return path;
    const fs::path p(path);
    return (p.parent_path() / (p.stem().string() + "-" + std::to_string(n) + p.extension().string())).string();
}

fs::path folder_of(const std::string& path) { return fs::path(path).parent_path(); }
fs::path under_way_folder(const std::string& path) { return folder_of(path) / "under-way"; }

// A new entry of the folder (a file made, renamed or linked into it) is on
// the disk only once the folder itself is synced.
void sync_folder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes all of `bytes` to fd in one write (a short write leaves a half line)
// and syncs it to the disk.
bool write_synced(int fd, const std::string& bytes) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    return n == static_cast<ssize_t>(bytes.size()) && ::fdatasync(fd) == 0;
}

// Why a file cannot be written, as a teacher would say it.
std::string reason(int error) {
    switch (error) {
    case EACCES:
    case EPERM: return "書き込みが許されていません";
    case EROFS: return "読み出し専用の場所です";
    case ENOSPC:
    case EDQUOT: return "ディスクがいっぱいです";
    case ENOTDIR:
    case ENOENT: return "保存先のフォルダーがありません";
    default: return std::strerror(error);
    }
}

// Writes `bytes` as the file `path` in one step: written aside and synced,
// then moved into place (or, `keep_existing`, linked there unless another
// program has just made it), so that nobody ever sees half of it. 0, or the
// errno that stopped it.
int write_whole_file(const fs::path& path, const std::string& bytes, bool keep_existing) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::string aside = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(aside.data());
    if (fd < 0) return errno;
    errno = 0;
    const bool written = write_synced(fd, bytes);
    int problem = written ? 0 : errno ? errno : ENOSPC;
    ::close(fd);
    if (!problem && keep_existing) {
        if (::link(aside.c_str(), path.c_str()) != 0 && errno != EEXIST) problem = errno;
        ::unlink(aside.c_str());
    } else if (!problem) {
        if (::rename(aside.c_str(), path.c_str()) != 0) problem = errno;
    } else {
        ::unlink(aside.c_str());
    }
    if (!problem) sync_folder(path.parent_path());
    return problem;
}

// Appends one line to the file and syncs it: 0, or the errno that stopped it.
int append_line(const std::string& file, const std::string& line) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return errno;
    errno = 0;
    const bool written = write_synced(fd, line);
    const int problem = written ? 0 : errno ? errno : ENOSPC;
    ::close(fd);
    return problem;
}

// The record files of the folder: record.csv and those of its siblings there.
std::vector<std::string> record_files(const std::string& path) {
    std::vector<std::string> files;
    for (int n = 1; n < 100; ++n) {
        std::error_code error;
        if (fs::exists(sibling(path, n), error)) files.push_back(sibling(path, n));
    }
    return files;
}

double now() { return static_cast<double>(std::time(nullptr)); }

// A problem left under way: "since\n" and its row as a CSV line.
struct Left {
    double since = 0;
    RecordRow row;
};

std::optional<Left> read_left(const fs::path& file) {
    const auto text = contents(file.string());
    if (!text) return std::nullopt;
    const auto newline = text->find('\n');
    if (newline == std::string::npos) return std::nullopt;
    const auto rows = parse_csv(text->substr(newline + 1));
    if (!rows || rows->size() != 1 || (*rows)[0].size() != kRecordColumns.size()) return std::nullopt;
    return Left{std::atof(text->substr(0, newline).c_str()), (*rows)[0]};
}

// The problems under way of programs that have ended (their lock is free),
// each appended to `file` as its row unless it is there already (its program
// ended between writing its row and letting go of it), then let go of.
void settle(const std::string& path, const std::string& file, const std::string& own_id) {
    const fs::path folder = under_way_folder(path);
    std::error_code error;
    std::set<std::string> ids;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const auto dot = name.rfind('.');
        if (dot == std::string::npos) continue;
        const std::string ext = name.substr(dot);
        if (ext == ".lock" || ext == ".row") ids.insert(name.substr(0, dot));
    }
    std::optional<std::set<std::string>> kept;   // the rows of the record, read once when needed
    for (const std::string& id : ids) {
        if (id == own_id) continue;
        const fs::path lock = folder / (id + ".lock"), row = folder / (id + ".row");
        const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {   // its program is running
            ::close(fd);
            continue;
        }
        if (const auto left = read_left(row)) {
            if (!kept) {
                kept.emplace();
                for (const RecordRow& r : read_record_files(path).rows) kept->insert(row_key(r));
            }
            if (!kept->contains(row_key(left->row)) && append_line(file, csv_line(left->row)) == 0)
                kept->insert(row_key(left->row));
        }
        ::unlink(row.c_str());
        ::unlink(lock.c_str());
        ::close(fd);
    }
}

}  // namespace

std::string default_record_path() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') base = data;
    else if (const char* home = std::getenv("HOME"); home && *home) base = std::string(home) + "/.local/share";
    else return {};
    return base + "/varnel/record.csv";
}

std::string record_file_in_use(const std::string& path) {
    for (int n = 1; n < 100; ++n)
        if (kind_of(sibling(path, n)) != Kind::other) return sibling(path, n);
    return {};
}

RecordFiles read_record_files(const std::string& path) {
    RecordFiles files;
    std::vector<RecordRow> rows;
    for (const std::string& file : record_files(path)) {
        const auto text = contents(file);
        const RecordRead read = text ? read_record(*text) : RecordRead{.trouble = "読めません"};
        const std::string name = fs::path(file).filename().string();
        if (read.record) {
            files.read.push_back(file);
            rows.insert(rows.end(), read.rows.begin(), read.rows.end());
        }
        if (!read.trouble.empty()) files.not_read.push_back(name + ": " + read.trouble);
    }
    files.rows = merged_rows(std::move(rows));
    return files;
}

RecordFile::RecordFile(std::string path, std::string program) : path_(std::move(path)), program_(std::move(program)) {}

RecordFile::~RecordFile() { leave(); }

bool RecordFile::failed(const std::string& problem) {
    if (failed_) return false;
    failed_ = true;
    trouble_ = "練習の記録を保存できません（" + problem + "）。ドリルはそのまま続けられます。";
    std::fprintf(stderr, "%s: the practice record cannot be kept in %s (%s); the drill goes on without it\n",
                 program_.c_str(), (in_use_.empty() ? path_ : in_use_).c_str(), problem.c_str());
    return false;
}

std::string RecordFile::ready() {
    if (failed_) return {};
    if (!in_use_.empty()) return in_use_;
    if (path_.empty()) {
        failed("ホームフォルダーがありません");
        return {};
    }
    const std::string file = record_file_in_use(path_);
    if (file.empty()) {
        failed("空いているファイル名がありません");
        return {};
    }
    std::error_code error;
    if (const int problem = fs::exists(file, error) ? 0 : write_whole_file(file, std::string(kBom) + header_line(), true)) {
        failed(reason(problem));
        return {};
    }
    if (::access(file.c_str(), W_OK) != 0) {
        failed(reason(errno));
        return {};
    }
    in_use_ = file;
    settle(path_, in_use_, id_);
    return in_use_;
}

bool RecordFile::append(const RecordRow& row) {
    if (ready().empty()) return false;
    if (const int problem = append_line(in_use_, csv_line(row))) return failed(reason(problem));
    under_way({});
    return true;
}

void RecordFile::under_way(const RecordRow& row) {
    const fs::path folder = under_way_folder(path_);
    if (row.empty()) {
        if (!under_way_line_.empty()) ::unlink((folder / (id_ + ".row")).c_str());
        under_way_line_.clear();
        return;
    }
    if (ready().empty()) return;
    if (lock_fd_ < 0) {   // this program's name there, and its lock, held for its life
        std::error_code error;
        fs::create_directories(folder, error);
        id_ = std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}());
        lock_fd_ = ::open((folder / (id_ + ".lock")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lock_fd_ < 0 || ::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
            if (lock_fd_ >= 0) ::close(lock_fd_);
            lock_fd_ = -1;
            return;
        }
    }
    under_way_line_ = csv_line(row);
    under_way_since_ = now() - std::atof(row[kSeconds].c_str());
    char since[32];
    std::snprintf(since, sizeof since, "%.0f\n", under_way_since_);
    write_whole_file(folder / (id_ + ".row"), since + under_way_line_, false);
}

void RecordFile::leave() {
    if (auto rows = parse_csv(under_way_line_); !failed_ && rows && rows->size() == 1) {
        RecordRow row = (*rows)[0];
        row[kSeconds] = std::to_string(static_cast<long>(std::max(0.0, now() - under_way_since_)));
        append(row);
    }
    under_way({});
    if (lock_fd_ >= 0) {
        ::unlink((under_way_folder(path_) / (id_ + ".lock")).c_str());
        ::close(lock_fd_);
        lock_fd_ = -1;
    }
}

int RecordFile::next_practice() {
    if (ready().empty()) return 0;
    const fs::path counter = folder_of(path_) / "practices";
    const int fd = ::open(counter.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    ::flock(fd, LOCK_EX);
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    long n = 0;
    if (got > 0) {
        n = std::atol(text);
    } else {   // the first practice counted here: after those the record holds
        for (const RecordRow& r : read_record_files(path_).rows) n = std::max(n, std::atol(r[kPractice].c_str()));
    }
    const std::string next = std::to_string(n + 1) + "\n";
    if (::pwrite(fd, next.data(), next.size(), 0) == static_cast<ssize_t>(next.size())) {
        if (::ftruncate(fd, static_cast<off_t>(next.size())) == 0) ::fdatasync(fd);
    }
    ::close(fd);   // (which lets go of the lock)
    return static_cast<int>(n + 1);
}

void settle_left_problems(const std::string& path) {
    const std::string file = record_file_in_use(path);
    std::error_code error;
    if (!file.empty() && fs::exists(file, error) && fs::exists(under_way_folder(path), error)) settle(path, file, "");
}

std::string record_summary(const std::string& path) {
    const RecordFiles files = read_record_files(path);
    std::string out = "練習の記録: " + (files.read.empty() ? path : files.read[0]) + "\n";
    for (std::size_t i = 1; i < files.read.size(); ++i) out += "　　　　　　" + files.read[i] + "\n";
    for (const std::string& note : files.not_read) out += "（" + note + "。そのまま残してあります）\n";
    if (files.rows.empty()) return out + "まだ記録はありません。\n";

    const auto padded = [](const std::string& s, std::size_t width, bool right = false) {
        return terminal_padded(s, width, right);
    };
    out += "（回数は終えた回数、中断は別に数えます）\n";
    out += padded("プログラム", 12) + padded("問題", 6, true) + "  " + padded("内容", 30) + padded("回数", 6, true) +
           padded("1回目○", 8, true) + padded("符号の誤り", 12, true) + padded("中断", 6, true) + "\n";
    for (const ProblemTally& t : tally_problems(files.rows))
        out += padded(t.program, 12) + padded(std::to_string(t.problem), 6, true) + "  " + padded(t.topic, 30) +
               padded(std::to_string(t.worked), 6, true) + padded(std::to_string(t.first_right), 8, true) +
               padded(std::to_string(t.sign_errors), 12, true) + padded(std::to_string(t.unfinished), 6, true) + "\n";
    return out;
}

std::string record_copy(const std::string& path, const std::string& program) {
    settle_left_problems(path);
    const RecordFiles files = read_record_files(path);
    std::string text = std::string(kBom) + header_line();
    for (const RecordRow& row : files.rows) text += csv_line(row);
    const fs::path copy = folder_of(path) / "copies" / ("record-" + local_stamp("%Y-%m-%d-%H%M%S") + ".csv");
    if (const int problem = write_whole_file(copy, text, true)) {
        std::fprintf(stderr, "%s: no copy of the practice record in %s (%s)\n", program.c_str(), copy.c_str(),
                     std::strerror(problem));
        return {};
    }
    return copy.string();
}

}  // namespace rt
