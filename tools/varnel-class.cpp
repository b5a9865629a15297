// varnel-class [--from DATE] [--to DATE] [--program NAME] [--class 組] [--first]
//              [--csv FILE] FILE|FOLDER...
// varnel-class --open-page
// A class's practice records in the terminal: the files read (and what is
// wrong with those that could not be), each problem's sums, the pupils with
// those who need help first, and the grid of first attempts. A folder is read
// with every .csv file under it. Without dates: today, when the files hold
// rows of today, else every day. --open-page opens the installed class page
// (share/varnel/class.html beside the program's bin/) in the desktop's browser:
// the menu entry "クラスの記録".
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/records.hpp"

namespace {

namespace fs = std::filesystem;

const char* const kUsage =
    "usage: varnel-class [--from DATE] [--to DATE] [--program varnel1|varnel2] [--class 組] [--first]\n"
    "                    [--csv FILE] FILE|FOLDER...\n"
    "       varnel-class --open-page\n"
    "  DATE is 2026-12-10; --first shows each pupil's first working of a problem\n"
    "  (the latest otherwise); --csv also writes the class table as CSV;\n"
    "  --open-page opens the class page in the desktop's browser.\n";

// The installed class page, in the desktop's browser.
int open_page() {
    std::error_code error;
    const fs::path page = fs::read_symlink("/proc/self/exe", error).parent_path().parent_path() / "share" / "varnel" /
                          "class.html";
    if (error || !fs::exists(page, error)) {
        std::fprintf(stderr, "varnel-class: the class page is not installed (%s)\n", page.c_str());
        return 1;
    }
    ::execlp("xdg-open", "xdg-open", page.c_str(), static_cast<char*>(nullptr));
    std::perror("xdg-open");
    return 1;
}

std::string today() { return rt::local_stamp("%Y-%m-%d"); }

std::string number(double v) {
    char out[32];
    std::snprintf(out, sizeof out, v == static_cast<long>(v) ? "%.0f" : "%.1f", v);
    return out;
}

// A day of the calendar written 2026-12-10 (no 2026-02-30).
bool is_date(const std::string& s) {
    if (s.size() != 10) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((i == 4 || i == 7) ? s[i] != '-' : (s[i] < '0' || s[i] > '9')) return false;
    using namespace std::chrono;
    const auto part = [&](std::size_t at, std::size_t n) { return static_cast<unsigned>(std::stoi(s.substr(at, n))); };
    return year_month_day{year{static_cast<int>(part(0, 4))}, month{part(5, 2)}, day{part(8, 2)}}.ok();
}

void read_into(rt::ClassRecords& records, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    if (!in || fs::file_size(file, error) > rt::kRecordBytesMax) {
        records.add(file.filename().string(), std::string(rt::kRecordBytesMax + 1, '\0'));   // said too large
        return;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    records.add(file.filename().string(), bytes.str());
}

}  // namespace

int main(int argc, char** argv) {
    rt::ClassFilter filter;
    std::string csv;
    std::vector<fs::path> paths;
    bool dated = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 < argc) return argv[++i];
            std::fprintf(stderr, "varnel-class: %s needs a value\n%s", arg.c_str(), kUsage);
            std::exit(2);
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--open-page" && argc == 2) return open_page();
        if (arg == "--from") filter.from = value(), dated = true;
        else if (arg == "--to") filter.to = value(), dated = true;
        else if (arg == "--program") filter.program = value();
        else if (arg == "--class") filter.class_name = value();
        else if (arg == "--first") filter.first = true;
        else if (arg == "--csv") csv = value();
        else if (arg.starts_with("--")) {
            std::fprintf(stderr, "varnel-class: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else paths.emplace_back(arg);
    }
    for (const std::string* date : {&filter.from, &filter.to})
        if (!date->empty() && !is_date(*date)) {
            std::fprintf(stderr, "varnel-class: %s is not a date like 2026-12-10\n", date->c_str());
            return 2;
        }
    if (paths.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    rt::ClassRecords records;
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::recursive_directory_iterator(path, error))
                if (entry.is_regular_file() && entry.path().extension() == ".csv") files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const fs::path& file : files) read_into(records, file);
        } else if (fs::exists(path, error)) {
            read_into(records, path);
        } else {
            std::fprintf(stderr, "varnel-class: %s: no such file or folder\n", path.c_str());
            return 1;
        }
    }
    const auto dates = records.dates();
    if (!dated && std::binary_search(dates.begin(), dates.end(), today())) filter.from = filter.to = today();
    const rt::ClassView view = records.view(filter);

    std::size_t read = 0;
    for (const auto& f : records.files()) read += f.record;
    std::printf("クラスの記録: %zu 人、ファイル %zu（読めたもの %zu）\n", view.pupils.size(), records.files().size(), read);
    for (const auto& f : records.files())
        if (!f.trouble.empty()) std::printf("  %s: %s\n", rt::terminal_text(f.name).c_str(), f.trouble.c_str());
    std::printf("期間: %s 〜 %s%s%s\n", filter.from.empty() ? "はじめ" : filter.from.c_str(),
                filter.to.empty() ? "いま" : filter.to.c_str(), filter.program.empty() ? "" : ("　" + filter.program).c_str(),
                filter.class_name.empty() ? "" : ("　" + filter.class_name + (filter.class_name.ends_with("組") ? "" : "組")).c_str());
    if (view.pupils.empty()) std::printf("（この期間・条件の記録はありません）\n");

    std::printf("\n問題ごと（%s）\n", filter.first ? "最初の練習" : "最新の練習");
    std::printf("%s%s  %s%s%s%s%s%s\n", rt::terminal_padded("プログラム", 12).c_str(), rt::terminal_padded("問題", 6, true).c_str(),
                rt::terminal_padded("内容", 30).c_str(), rt::terminal_padded("解いた人", 10, true).c_str(), rt::terminal_padded("1回目○", 10, true).c_str(),
                rt::terminal_padded("符号の誤り", 12, true).c_str(), rt::terminal_padded("ヒント", 8, true).c_str(), rt::terminal_padded("秒", 6, true).c_str());
    for (const auto& p : view.problems) {
        // The share rounded to the nearest whole per cent, as the class page shows it.
        const std::string share = p.worked ? std::to_string((200 * p.first_right + p.worked) / (2 * p.worked)) + "%" : "—";
        std::printf("%s%s  %s%s%s%s%s%s\n", rt::terminal_padded(p.program, 12).c_str(), rt::terminal_padded(std::to_string(p.number), 6, true).c_str(),
                    rt::terminal_padded(p.topic, 30).c_str(), rt::terminal_padded(std::to_string(p.worked), 10, true).c_str(),
                    rt::terminal_padded(share, 10, true).c_str(), rt::terminal_padded(std::to_string(p.sign_errors), 12, true).c_str(),
                    rt::terminal_padded(number(p.median_hints), 8, true).c_str(), rt::terminal_padded(number(p.median_seconds), 6, true).c_str());
    }

    std::printf("\n児童ごと（手助けが要りそうな順）\n");
    std::printf("%s%s  %s%s%s%s%s%s\n", rt::terminal_padded("組", 6).c_str(), rt::terminal_padded("番号", 6, true).c_str(), rt::terminal_padded("名前", 20).c_str(),
                rt::terminal_padded("解いた", 8, true).c_str(), rt::terminal_padded("1回目○", 8, true).c_str(), rt::terminal_padded("符号の誤り", 12, true).c_str(),
                rt::terminal_padded("中断", 6, true).c_str(), rt::terminal_padded("秒", 8, true).c_str());
    for (std::size_t i : view.help_first) {
        const auto& p = view.pupils[i];
        std::printf("%s%s  %s%s%s%s%s%s\n", rt::terminal_padded(p.class_name, 6).c_str(), rt::terminal_padded(p.number, 6, true).c_str(),
                    rt::terminal_padded(p.file.empty() ? p.name : "（" + p.file + "）", 20).c_str(),
                    rt::terminal_padded(std::to_string(p.worked), 8, true).c_str(), rt::terminal_padded(std::to_string(p.first_right), 8, true).c_str(),
                    rt::terminal_padded(std::to_string(p.sign_errors), 12, true).c_str(),
                    rt::terminal_padded(std::to_string(p.unfinished), 6, true).c_str(), rt::terminal_padded(std::to_string(p.seconds), 8, true).c_str());
    }

    std::printf("\n1回目（○ × 中断 —、* 符号の誤り）\n%s%s  %s", rt::terminal_padded("組", 6).c_str(), rt::terminal_padded("番号", 6, true).c_str(),
                rt::terminal_padded("名前", 20).c_str());
    for (const auto& p : view.problems)
        std::printf("%s", rt::terminal_padded((p.program == "varnel2" ? "2-" : p.program == "varnel1" ? "1-" : "") +
                                 std::to_string(p.number), 6, true).c_str());
    std::printf("\n");
    for (const auto& p : view.pupils) {
        std::printf("%s%s  %s", rt::terminal_padded(p.class_name, 6).c_str(), rt::terminal_padded(p.number, 6, true).c_str(),
                    rt::terminal_padded(p.file.empty() ? p.name : "（" + p.file + "）", 20).c_str());
        for (const auto& cell : p.cells)
            std::printf("%s", rt::terminal_padded((cell.mark == "中断" ? "中" : cell.mark) + (cell.sign_error ? "*" : ""), 6, true).c_str());
        std::printf("\n");
    }
    if (!csv.empty()) {
        std::ofstream out(csv, std::ios::binary);
        out << rt::class_csv(view);
        if (!out) {
            std::fprintf(stderr, "varnel-class: cannot write %s\n", csv.c_str());
            return 1;
        }
    }
    return 0;
}
