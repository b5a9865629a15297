#include "runtime/record_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace rt {

namespace {

namespace fs = std::filesystem;

enum class Kind { absent, ours, other };

std::string header_line() { return csv_line(RecordRow(kRecordColumns.begin(), kRecordColumns.end())); }

std::optional<std::string> contents(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// A record of ours: the byte-order mark, our first row, whole rows of our columns.
Kind kind_of(const std::string& path) {
    std::error_code error;
    if (!fs::exists(path, error)) return error ? Kind::other : Kind::absent;
    const auto text = contents(path);
    if (!text || !text->starts_with(std::string(kBom) + header_line())) return Kind::other;
    const auto rows = parse_csv(*text);
    if (!rows) return Kind::other;
    for (const RecordRow& row : *rows)
        if (row.size() != kRecordColumns.size()) return Kind::other;
    return Kind::ours;
}

std::string sibling(const std::string& path, int n) {
    const fs::path p(path);
    return (p.parent_path() / (p.stem().string() + "-" + std::to_string(n) + p.extension().string())).string();
}

// Writes all of `bytes` to fd in one write (a short write leaves a half line).
bool write_all(int fd, const std::string& bytes) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    return n == static_cast<ssize_t>(bytes.size());
}

// Makes the file whole, its first row in it, or leaves one that another program
// has just made: written aside, then linked into place, so that no program
// ever sees a file without its first row.
std::string start_file(const std::string& path) {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    std::string aside = path + ".XXXXXX";
    const int fd = ::mkstemp(aside.data());
    if (fd < 0) return std::strerror(errno);
    errno = 0;
    const bool written = write_all(fd, std::string(kBom) + header_line());
    const int saved = errno;
    ::close(fd);
    std::string problem;
    if (!written) problem = saved ? std::strerror(saved) : "the disk is full";
    else if (::link(aside.c_str(), path.c_str()) != 0 && errno != EEXIST) problem = std::strerror(errno);
    ::unlink(aside.c_str());
    return problem;
}

// The width of a text in a terminal's cells: two for a character beyond ASCII.
std::size_t cells(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) n += c < 0x80 ? 1 : 2;
    return n;
}

std::string padded(const std::string& s, std::size_t width, bool right = false) {
    const std::string pad(width > cells(s) ? width - cells(s) : 0, ' ');
    return right ? pad + s : s + pad;
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
    for (int n = 1; n < 100; ++n) {
        const std::string candidate = n == 1 ? path : sibling(path, n);
        if (kind_of(candidate) != Kind::other) return candidate;
    }
    return {};
}

RecordFile::RecordFile(std::string path, std::string program) : path_(std::move(path)), program_(std::move(program)) {}

bool RecordFile::failed(const std::string& problem) {
    failed_ = true;
    std::fprintf(stderr, "%s: the practice record cannot be kept in %s (%s); the drill goes on without it\n",
                 program_.c_str(), (in_use_.empty() ? path_ : in_use_).c_str(), problem.c_str());
    return false;
}

std::string RecordFile::ready() {
    if (failed_) return {};
    if (in_use_.empty() && !path_.empty()) in_use_ = record_file_in_use(path_);
    std::string problem = path_.empty() ? "no home folder" : in_use_.empty() ? "no file name is free" : "";
    std::error_code error;
    if (problem.empty() && !fs::exists(in_use_, error)) problem = start_file(in_use_);
    if (problem.empty()) return in_use_;
    failed(problem);
    return {};
}

bool RecordFile::append(const RecordRow& row) {
    if (ready().empty()) return false;
    int fd = ::open(in_use_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return failed(std::strerror(errno));
    errno = 0;
    const bool written = write_all(fd, csv_line(row));
    const int saved = errno;
    ::close(fd);
    return written || failed(saved ? std::strerror(saved) : "the disk is full");
}

std::string record_summary(const std::string& path) {
    const std::string in_use = record_file_in_use(path);
    std::string out = "練習の記録: " + (in_use.empty() ? path : in_use) + "\n";
    if (!in_use.empty() && in_use != path)
        out += "（" + path + " は記録として読めないため、そのまま残してあります）\n";
    const auto text = in_use.empty() ? std::nullopt : contents(in_use);
    const auto rows = text ? parse_csv(*text) : std::nullopt;
    if (!rows || rows->size() < 2) return out + "まだ記録はありません。\n";

    struct Tally {
        std::string topic;
        int worked = 0, first_right = 0, sign_errors = 0;
    };
    std::map<std::tuple<std::string, int>, Tally> tallies;   // by program and problem
    for (std::size_t i = 1; i < rows->size(); ++i) {
        const RecordRow& r = (*rows)[i];
        Tally& t = tallies[{r[4], std::atoi(r[6].c_str())}];
        t.topic = r[7];
        t.worked += r[9] != "中断";
        t.first_right += r[8] == "○";
        t.sign_errors += !r[14].empty();
    }
    out += padded("プログラム", 12) + padded("問題", 6, true) + "  " + padded("内容", 30) + padded("回数", 6, true) +
           padded("1回目○", 8, true) + padded("符号の誤り", 12, true) + "\n";
    for (const auto& [key, t] : tallies)
        out += padded(std::get<0>(key), 12) + padded(std::to_string(std::get<1>(key)), 6, true) + "  " +
               padded(t.topic, 30) + padded(std::to_string(t.worked), 6, true) +
               padded(std::to_string(t.first_right), 8, true) + padded(std::to_string(t.sign_errors), 12, true) + "\n";
    return out;
}

}  // namespace rt
