// The practice record through whole runs of varnel1: the rows a practice
// leaves, read back from the CSV file the player appends to, as a teacher's
// spreadsheet reads it; and the file never lost or broken.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/headless.hpp"
#include "runtime/record_file.hpp"
#include "runtime/records.hpp"
#include "runtime/screen.hpp"
#include "tools/player.hpp"

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The rows of a record file as a spreadsheet shows them (the invisible mark
// that keeps a field text left out), its first row left out; the test fails if
// it is not whole CSV.
std::vector<rt::RecordRow> rows_of(const fs::path& path) {
    auto rows = rt::parse_csv(slurp(path));
    EXPECT_TRUE(rows.has_value()) << path;
    if (!rows || rows->empty()) return {};
    EXPECT_EQ((*rows)[0], rt::RecordRow(rt::kRecordColumns.begin(), rt::kRecordColumns.end()));
    for (auto& row : *rows)
        for (auto& field : row)
            if (field.starts_with(rt::kWordJoiner)) field.erase(0, rt::kWordJoiner.size());
    return {rows->begin() + 1, rows->end()};
}

// A folder of its own for this test process (CTest runs the tests side by side).
fs::path fresh_dir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("varnel-record-" + std::to_string(::getpid())) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// A pupil who practises varnel1 from problem 2 on, answering each problem's
// attempts as its plan says: R right, W "0" in every blank, S every blank with
// the other sign, P the first blank with the other sign and the rest right, F
// a text a spreadsheet would take for a formula, H the first blank right
// and the window closed before the next, K the program killed there (at_menu is called, and never comes back); a plan
// ending in + practises the same problem again (もう１度練習する) with the next
// plan; an empty plan closes the window at the problem's answer line.
class Pupil {
public:
    explicit Pupil(std::vector<std::string> plans, std::function<void()> at_menu = {})
        : plans_(std::move(plans)), at_menu_(std::move(at_menu)) {}

    std::vector<rt::ScriptKey> next(std::vector<rt::TraceEntry>& trace) {
        const std::string was = waiting_;
        waiting_ = wait_shown(trace, waiting_);
        trace.clear();
        std::string keys;
        if (closing_) keys = "{Close}";
        else if (waiting_ == "menu") keys = "1";
        else if (waiting_ == "start number") keys = "2{Enter}";
        else if (waiting_ == "space") keys = "{Space}";
        else if (waiting_ == "key pause") keys = "x";
        else if (waiting_ == "end of bank") keys = "{Close}";
        else if (waiting_ == "answer" && attempt_ < plans_[problem_].size() && plans_[problem_][attempt_] == 'K') at_menu_();
        else if (waiting_ == "answer") keys = attempt_ < plans_[problem_].size() ? answer(plans_[problem_][attempt_++]) : "{Close}";
        else if (waiting_ == "next step" && was != waiting_) {   // (the menu redrawn is the same wait)
            if (at_menu_) at_menu_();
            attempt_ = 0;
            const bool again = plans_[problem_].ends_with('+');
            keys = ++problem_ < plans_.size() ? (again ? "1" : "2") : "{Close}";
        }
        return rt::parse_key_script(keys);
    }

    std::vector<std::string> typed;   // each answer, its blanks joined as the record joins them

private:
    std::string answer(char how) {
        std::string keys, joined;
        for (float k = 1; k <= g.blank_count; ++k) {
            std::string blank = g.expected(k, 1);
            if (how == 'W') blank = "0";
            if (how == 'F') blank = "=\"1,2\"";
            if (how == 'S' || (how == 'P' && k == 1))
                blank = blank[0] == '-' ? blank.substr(1) : "-" + blank.substr(blank[0] == '+');
            keys += blank + "{Enter}";
            joined += (k > 1 ? "，" : "") + blank;
            if (how == 'H') {   // the window closed at the next wait
                closing_ = true;
                break;
            }
        }
        typed.push_back(joined);
        waiting_ = "";
        return keys;
    }

    std::vector<std::string> plans_;
    std::function<void()> at_menu_;
    std::size_t problem_ = 0, attempt_ = 0;
    std::string waiting_;
    bool closing_ = false;
};

void practise(Pupil& pupil, const std::string& record) {
    reset_state();
    std::vector<rt::TraceEntry> trace;
    rt::install(rt::make_headless({.time = "12:00:00",
                                   .key_source = [&] { return pupil.next(trace); },
                                   .record = record}));
    rt::set_trace(&trace);
    run_program(program_of_bank(1));
    rt::set_trace(nullptr);
}

TEST(Record, APracticeLeavesOneRowForEachProblemWorkedAsItWent) {
    const fs::path file = fresh_dir("rows") / "record.csv";
    setenv("VARNEL_CLASS", "3-2", 1);
    setenv("VARNEL_NUMBER", "07", 1);   // kept as 7
    setenv("VARNEL_NAME", "=\"Aoi\",\nSato", 1);
    std::vector<std::size_t> rows_at_menu;
    // Problems 2 to 6: right at once; a sign error, a size error, then right;
    // the self-check answered "1"; wrong three times, first as a formula; left
    // wrong once, then with its first blank closed.
    Pupil pupil({"R", "SWR", "R", "FWW", "WH"}, [&] { rows_at_menu.push_back(rows_of(file).size()); });
    practise(pupil, file.string());
    unsetenv("VARNEL_CLASS");
    unsetenv("VARNEL_NUMBER");
    unsetenv("VARNEL_NAME");

    EXPECT_EQ(rows_at_menu, (std::vector<std::size_t>{1, 2, 3, 4}));   // each on disk before its menu showed
    const auto rows = rows_of(file);
    ASSERT_EQ(rows.size(), 5u);
    const auto& t = pupil.typed;
    // The answers typed, as the spreadsheet shows them.
    const auto answers = [&](std::size_t from, std::size_t n) {
        std::string all;
        for (std::size_t i = from; i < from + n; ++i) all += (i > from ? " / " : "") + t[i];
        return all;
    };
    // 1回目, 結果, 回数, ヒント, 入力, 符号の誤り, 自己採点, by problem.
    const std::vector<std::vector<std::string>> expected = {
        {"2", "温度", "○", "正解", "1", "0", answers(0, 1), "", ""},
        {"3", "0より大きい数・小さい数", "×", "正解", "3", "2", answers(1, 3), "✓", ""},
        {"4", "自然数と整数", "○", "正解", "1", "0", "自己採点：正解", "", "✓"},
        {"5", "数直線の読み（整数）", "×", "不正解", "3", "2", answers(5, 3), "", ""},
        {"6", "数直線の読み（0.5きざみ）", "×", "中断", "1", "1", t[8] + " / " + t[9] + "（途中）", "", ""},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r[4]);
        ASSERT_EQ(r.size(), rt::kRecordColumns.size());
        EXPECT_EQ(r[0].size(), 19u);
        EXPECT_TRUE(r[0].ends_with(" 12:00:00")) << r[0];
        EXPECT_EQ(r[1] + "|" + r[2] + "|" + r[3], "3-2|7|=\"Aoi\",\nSato");   // who, as text
        EXPECT_EQ(r[4] + " " + r[5], "varnel1 1");
        const auto& e = expected[i];
        EXPECT_EQ((std::vector<std::string>{r[6], r[7], r[8], r[9], r[10], r[11], r[12], r[14], r[15]}), e);
        EXPECT_FALSE(r[13].empty());   // the accepted answers
        EXPECT_GE(std::stoi(r[16]), 0);
        EXPECT_LT(std::stoi(r[16]), 60);
    }
    EXPECT_EQ(rows[2][13], "自己採点");
    // The summary a teacher prints: problem 3 worked once, × at first, one
    // sign error; problem 6 only left.
    const std::string summary = rt::record_summary(file.string());
    EXPECT_NE(summary.find("\nvarnel1          3  0より大きい数・小さい数            1       0           1     0\n"),
              std::string::npos) << summary;
    EXPECT_NE(summary.find("\nvarnel1          6  数直線の読み（0.5きざみ）          0       0           0     1\n"),
              std::string::npos) << summary;
    EXPECT_NE(slurp(file).find(",\"\u2060=\"\"1,2\"\"，"), std::string::npos);   // as the file holds it
}

TEST(Record, ASignErrorIsFlaggedAgainstAnAnswerWrittenWithItsPlus) {
    const fs::path file = fresh_dir("plus") / "record.csv";
    Pupil pupil({"R", "PR"});   // problem 3: its "+" blank typed with a "-", the other right
    practise(pupil, file.string());
    const auto rows = rows_of(file);
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows[1][13].substr(0, 1), "+") << rows[1][13];   // 正答
    EXPECT_EQ(rows[1][12].substr(0, 1), "-") << rows[1][12];   // 入力
    EXPECT_EQ(rows[1][14], "✓");
}

TEST(Record, AFileNotOursIsKeptAsItIsAndRowsGoBesideIt) {
    const fs::path dir = fresh_dir("damaged");
    const std::string damaged[] = {"名前,点\r\nAoi,3\r\n", std::string(rt::kBom) + "日時,名前\r\n",
                                   slurp(fs::path(VARNEL_SOURCE_DIR) / "README.md")};
    for (const std::string& text : damaged) {
        std::ofstream(dir / "record.csv", std::ios::binary) << text;
        fs::remove(dir / "record-2.csv");
        Pupil pupil({"R", ""});
        practise(pupil, (dir / "record.csv").string());
        EXPECT_EQ(slurp(dir / "record.csv"), text);
        EXPECT_EQ(rows_of(dir / "record-2.csv").size(), 2u);
        EXPECT_NE(rt::record_summary((dir / "record.csv").string()).find("record-2.csv"), std::string::npos);
    }
    // Our own file cut in the middle of a row, or its last row without its
    // line end (a short write on a full disk), is not ours either: a row
    // appended would be glued onto the last.
    const std::string whole = slurp(dir / "record-2.csv");
    for (std::size_t cut : {5, 2}) {
        const std::string short_of = whole.substr(0, whole.size() - cut);
        std::ofstream(dir / "record-2.csv", std::ios::binary) << short_of;
        fs::remove(dir / "record-3.csv");
        Pupil pupil({""});
        practise(pupil, (dir / "record.csv").string());
        EXPECT_EQ(slurp(dir / "record-2.csv"), short_of) << cut;
        EXPECT_EQ(rows_of(dir / "record-3.csv").size(), 1u) << cut;
    }
}

TEST(Record, ARecordThatCannotBeKeptNeverStopsTheDrill) {
    const fs::path dir = fresh_dir("unwritable");
    std::ofstream(dir / "a-file") << "not a folder";
    testing::internal::CaptureStderr();
    Pupil pupil({"R", "R", ""});
    practise(pupil, (dir / "a-file" / "record.csv").string());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(g.problem_no, 4);   // the practice went on to its third problem
    EXPECT_NE(said.find("the practice record cannot be kept"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "said once: " << said;
}

TEST(Record, TwoProgramsKeepingOneFileAtOnceNeverMixTheirRows) {
    const fs::path file = fresh_dir("together") / "record.csv";
    pid_t children[2];
    for (pid_t& child : children) {
        child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {   // problems 2 to 11, each wrong three times
            Pupil pupil(std::vector<std::string>(10, "WWW"));
            practise(pupil, file.string());
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto rows = rows_of(file);
    EXPECT_EQ(rows.size(), 20u);
    for (const auto& r : rows) EXPECT_EQ(r.size(), rt::kRecordColumns.size());
}

TEST(Record, KilledAtAnyMomentTheFileIsWholeWithEveryFinishedProblem) {
    const fs::path file = fresh_dir("killed") / "record.csv";
    std::size_t before = 0;
    for (int delay_ms : {0, 5, 30, 120, 400}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {   // practises wrong answers without end
            Pupil pupil(std::vector<std::string>(100000, "WWW"));
            practise(pupil, file.string());
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delay_ms) * 1000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const auto rows = fs::exists(file) ? rows_of(file) : std::vector<rt::RecordRow>{};
        for (const auto& r : rows) EXPECT_EQ(r.size(), rt::kRecordColumns.size());
        EXPECT_GE(rows.size(), before);
        before = rows.size();
    }
    EXPECT_GT(before, 0u);
}

}  // namespace

// ---- what a spreadsheet makes of the record ---------------------------------

TEST(RecordCsv, ASpreadsheetShowsEveryFieldExactlyAsWritten) {
    const std::string wj(rt::kWordJoiner);
    // Kept text by the invisible mark: what a spreadsheet would run, or read as
    // a number, a date or a time and show otherwise.
    for (const char* field : {"-8.7", "+13.5，7.4", "+√2", "+A1", "3/4", "1.10", "007", ".5", "1e5", "TRUE", "=HYPERLINK(\"x\")",
                              "@SUM(A1)", "\tx", "3 / 4", "３", "−8", "3月4日", "12:30", "Jan 5", "99999999999"})
        EXPECT_EQ(rt::spreadsheet_text(field), wj + field) << field;
    // As they are: whole numbers, the drill's date-times, and text no
    // spreadsheet reads as a value.
    for (const char* field : {"", "0", "12", "2026-12-09 10:31:05", "√2", "正解", "varnel1", "Sato", "2x", "○"})
        EXPECT_EQ(rt::spreadsheet_text(field), field) << field;
    EXPECT_EQ(rt::csv_line({"a,b", "-1", "x\"y"}), "\"a,b\"," + wj + "-1,\"x\"\"y\"\r\n");
}

TEST(RecordCsv, RecordsSavedAgainBySpreadsheetsReadBackAsWritten) {
    const fs::path file = fresh_dir("forms") / "record.csv";
    setenv("VARNEL_NAME", "佐藤", 1);
    Pupil pupil({"SWR", "FWW", ""});
    practise(pupil, file.string());
    unsetenv("VARNEL_NAME");
    const std::string ours = slurp(file);
    const auto written = rows_of(file);
    ASSERT_EQ(written.size(), 3u);
    // The same file as LibreOffice saves it (no mark, LF, the marks that kept
    // fields text dropped, quoting only where needed), as Excel saves it
    // (CP932, CRLF, 日時 without its seconds), and as the programs wrote it
    // before there were 組 and 番号 (an apostrophe before a formula's sign).
    const auto saved = [&](const std::string& line_end, bool excel, bool old) {
        std::string text;
        for (std::size_t r = 0; r <= written.size(); ++r) {
            rt::RecordRow row = r == 0 ? rt::RecordRow(rt::kRecordColumns.begin(), rt::kRecordColumns.end())
                                       : written[r - 1];
            if (excel && r > 0) row[0] = row[0].substr(0, 4) + "/" + row[0].substr(5, 2) + "/" + row[0].substr(8, 8);
            if (old) row.erase(row.begin() + 1, row.begin() + 3);
            for (std::size_t c = 0; c < row.size(); ++c) {
                std::string f = row[c];
                if (old && f.find_first_of("=+-@") == 0) f = "'" + f;
                if (f.find_first_of(",\"\n") != std::string::npos) {
                    std::string q;
                    for (char ch : f) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
                    f = "\"" + q + "\"";
                }
                text += (c ? "," : "") + f;
            }
            text += line_end;
        }
        return excel ? sjis::from_utf8(text) : old ? std::string(rt::kBom) + text : text;
    };
    const struct {
        const char* what;
        std::string bytes;
        bool seconds, who;
    } forms[] = {
        {"as written", ours, true, true},
        {"LibreOffice", saved("\n", false, false), true, true},
        {"Excel", saved("\r\n", true, false), false, true},
        {"before 組 and 番号", saved("\r\n", false, true), true, false},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.what);
        const rt::RecordRead read = rt::read_record(form.bytes);
        EXPECT_TRUE(read.record);
        EXPECT_EQ(read.trouble, "");
        ASSERT_EQ(read.rows.size(), written.size());
        for (std::size_t r = 0; r < written.size(); ++r) {
            rt::RecordRow want = written[r];
            if (!form.seconds) want[0] = want[0].substr(0, 17) + "00";
            if (!form.who) want[1] = want[2] = "";
            EXPECT_EQ(read.rows[r], want);
        }
    }
    // Not a record, or damaged: said, and what is whole still read.
    EXPECT_FALSE(rt::read_record("名前,点\r\nAoi,3\r\n").record);
    EXPECT_EQ(rt::read_record(ours.substr(0, ours.size() - 9) + "\r\n" + ours.substr(ours.find("\r\n") + 2)).trouble,
              "壊れた行が 1 行あります（読み飛ばしました）");
}

// ---- the record's files on the desktop ------------------------------------------

TEST(Record, ARecordSavedOverIsReadNeverWrittenAndTheTeachersCopyHoldsEveryRowOnce) {
    const fs::path dir = fresh_dir("saved-over");
    const std::string path = (dir / "record.csv").string();
    Pupil first({"R", "SWR"});
    practise(first, path);
    // The teacher opened it and saved it: LibreOffice's form, and a second copy of it.
    std::string text = slurp(path);
    text.erase(0, rt::kBom.size());
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
    for (std::size_t at; (at = text.find(rt::kWordJoiner)) != std::string::npos;) text.erase(at, rt::kWordJoiner.size());
    std::ofstream(dir / "record.csv", std::ios::binary) << text;
    fs::copy_file(dir / "record.csv", dir / "record-3.csv");
    Pupil second({"R", "WR", ""});
    practise(second, path);
    EXPECT_EQ(slurp(dir / "record.csv"), text);            // never written to
    EXPECT_EQ(rows_of(dir / "record-2.csv").size(), 3u);   // the new rows beside it
    const std::string copy = rt::record_copy(path, "test");
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(rt::record_file_in_use(copy), copy);         // exactly the programs' form
    const auto rows = rows_of(copy);
    ASSERT_EQ(rows.size(), 5u);                            // the saved file's rows once, and the new ones
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LE(rows[i - 1][0], rows[i][0]);
    EXPECT_NE(rt::record_summary(path).find("\nvarnel1          2  温度                               2       2           0     0\n"),
              std::string::npos) << rt::record_summary(path);
}

TEST(Record, AProblemPractisedAgainHasItsOwnFirstAttempt) {
    const fs::path file = fresh_dir("again") / "record.csv";
    Pupil pupil({"R+", "WR"});   // problem 2 right at once, then again: wrong, then right
    practise(pupil, file.string());
    std::vector<std::string> firsts;
    for (const auto& r : rows_of(file)) firsts.push_back(r[6] + r[8] + r[9]);
    EXPECT_EQ(firsts, (std::vector<std::string>{"2○正解", "2×正解"}));
}

TEST(Record, PracticesAreNumberedForGoodAndBrowsingLeavesNothing) {
    const fs::path dir = fresh_dir("numbered");
    const std::string path = (dir / "record.csv").string();
    for (int run = 0; run < 3; ++run) {
        Pupil pupil({"R"});
        practise(pupil, path);
    }
    fs::remove(dir / "practices");   // lost: the next number is still new
    Pupil pupil({"R"});
    practise(pupil, path);
    reset_state();
    rt::install(rt::make_headless({.time = "12:00:00", .keys = rt::parse_key_script(
                                       "2{Enter}{Enter}{Enter}{Enter}"), .record = path}));
    run_program(program_of_bank(1));
    std::vector<std::string> numbers;
    for (const auto& r : rows_of(path)) numbers.push_back(r[5]);
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST(Record, AProblemLeftUnderWayByAProgramThatEndedUnaskedBecomesItsRowOnce) {
    const fs::path dir = fresh_dir("left");
    const std::string path = (dir / "record.csv").string();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {   // problem 2 answered wrong, then killed at its second answer line
        Pupil pupil({"WK"}, [&] {
            ASSERT_EQ(::write(ready[1], "k", 1), 1);
            for (;;) ::pause();
        });
        practise(pupil, path);
        ::_exit(0);
    }
    char got = 0;
    ASSERT_EQ(::read(ready[0], &got, 1), 1);
    const auto settled = [&] {
        rt::RecordFile(path, "test").ready();   // a program starting
        rt::settle_left_problems(path);         // --record
        return rows_of(path);
    };
    EXPECT_EQ(settled().size(), 0u) << "left alone while its program runs";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (int twice = 0; twice < 2; ++twice) {
        const auto rows = settled();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ((std::vector<std::string>{rows[0][6], rows[0][8], rows[0][9], rows[0][10], rows[0][12]}),
                  (std::vector<std::string>{"2", "×", "中断", "1", "0，0"}));
    }
    EXPECT_TRUE(fs::is_empty(dir / "under-way"));
}

// ---- a class's records --------------------------------------------------------

// A pupil's practice of varnel1 from problem 2, as its file.
std::string practised(const std::string& who_class, const std::string& number, const std::string& name,
                      std::vector<std::string> plans) {
    const fs::path file = fresh_dir("class-" + number) / "record.csv";
    setenv("VARNEL_CLASS", who_class.c_str(), 1);
    setenv("VARNEL_NUMBER", number.c_str(), 1);
    setenv("VARNEL_NAME", name.c_str(), 1);
    Pupil pupil(std::move(plans));
    practise(pupil, file.string());
    unsetenv("VARNEL_CLASS");
    unsetenv("VARNEL_NUMBER");
    unsetenv("VARNEL_NAME");
    return slurp(file);
}

TEST(ClassRecords, AClassReadFromItsFilesAsTheyComeEachRowOnce) {
    const std::string hostile = "=HYPERLINK(\"http://x\")<img src=x onerror=alert(1)>\x1b[2J";
    const std::string aoi = practised("2", "1", "あおい", {"R", "SWR"});
    const std::string ken = practised("2", "12", hostile, {"WWW"});
    std::string mai = practised("1", "3", "まい", {"SR", "R"});
    mai = sjis::from_utf8(mai.substr(rt::kBom.size()));   // saved again by Excel: CP932, no mark
    std::string nameless = practised("", "", "", {"R"});
    const std::string broken = aoi.substr(0, aoi.size() - 30) + "\r\n";
    rt::ClassRecords records;
    const struct {
        const char* name;
        std::string bytes;
        std::string trouble;
        std::size_t new_rows;
    } files[] = {
        {"aoi.csv", aoi, "", 2},
        {"aoi-again.csv", aoi, "", 0},   // the same file twice
        {"aoi-01.csv", practised("2", "01", "あおい", {"R"}), "", 0},   // her rows, 番号 typed "01"
        {"ken.csv", ken, "", 1},
        {"mai.csv", mai, "", 2},
        {"anon.csv", nameless, "", 1},
        {"broken.csv", broken, "壊れた行が 1 行あります（読み飛ばしました）", 0},
        {"notes.txt", "買い物: 牛乳\r\n", "練習の記録ではありません（日時・プログラム・問題・結果の列がありません）", 0},
        {"commas.csv", aoi.substr(0, aoi.find("\r\n") + 2) + std::string(1000000, ',') + "\r\n",
         "壊れた行が 1 行あります（読み飛ばしました）", 0},
        {"huge.csv", std::string(rt::kRecordBytesMax + 1, 'x'), "ファイルが大きすぎます（32 MB）", 0},
        {"garbage.csv", "\xff\xfe\x80\x81,\xe3\x81\r\n", "練習の記録ではありません（日時・プログラム・問題・結果の列がありません）", 0},
    };
    for (const auto& f : files) {
        const auto& read = records.add(f.name, f.bytes);
        EXPECT_EQ(read.trouble, f.trouble) << f.name;
        EXPECT_EQ(read.new_rows, f.new_rows) << f.name;
    }
    const rt::ClassView view = records.view({});
    std::vector<std::string> who, marks;
    for (const auto& p : view.pupils) {
        who.push_back(p.class_name + "/" + p.number + "/" + (p.file.empty() ? p.name : "file:" + p.file));
        std::string line;
        for (const auto& cell : p.cells) line += cell.mark + (cell.sign_error ? "!" : "") + " ";
        marks.push_back(line);
    }
    EXPECT_EQ(who, (std::vector<std::string>{"1/3/まい", "2/1/あおい", "2/12/" + hostile, "//file:anon.csv"}));
    EXPECT_EQ(marks, (std::vector<std::string>{"×! ○ ", "○ ×! ", "× — ", "○ — "}));
    const auto& p3 = view.problems[1];
    EXPECT_EQ(std::make_tuple(p3.number, p3.worked, p3.first_right, p3.sign_errors), std::make_tuple(3, 2, 1, 1));
    EXPECT_EQ(view.pupils[view.help_first[0]].name, hostile);   // wrong three times: needs help first
    // The class table as a spreadsheet reads it: the hostile name kept text.
    const auto table = rt::parse_csv(rt::class_csv(view));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ((*table)[0], (rt::RecordRow{"組", "番号", "名前", "varnel1 2", "varnel1 3", "解いた問題", "1回目○",
                                          "符号の誤り", "中断", "秒"}));
    EXPECT_EQ((*table)[3][2], std::string(rt::kWordJoiner) + hostile);
    EXPECT_EQ((*table)[2][4], "×（符号）");
    // Only one day, one 組: the filter.
    EXPECT_EQ(records.view({.class_name = "1"}).pupils.size(), 1u);
    const rt::ClassView none = records.view({.from = "2000-01-01", .to = "2000-01-02"});
    EXPECT_EQ(none.pupils.size(), 0u);
    EXPECT_EQ(none.problems[0].topic, "温度") << "a problem keeps its topic when no row of it is shown";
}

TEST(ClassRecords, TheTerminalCommandShowsTheClassAndNoPupilsControlCharacters) {
    const fs::path dir = fresh_dir("class-folder");
    std::ofstream(dir / "ken.csv", std::ios::binary) << practised("2", "12", "ken\x1b[2J", {"WWW"});
    fs::create_directories(dir / "more");
    std::ofstream(dir / "more" / "aoi.csv", std::ios::binary) << practised("2", "1", "あおい", {"R"});
    std::ofstream(dir / "more" / "sora.csv", std::ios::binary) << practised("2", "5", "そら", {"R"});
    std::ofstream(dir / "more" / "notes.csv", std::ios::binary) << "x\r\n";
    const fs::path beside = fresh_dir("class-out"), out = beside / "varnel-class-out.txt", csv = beside / "class.csv";
    const std::string command = std::string(VARNEL_BUILD_DIR) + "/varnel-class --csv " + csv.string() + " " +
                                dir.string() + " > " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string shown = slurp(out);
    EXPECT_NE(shown.find("クラスの記録: 3 人、ファイル 4（読めたもの 3）"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" 67%"), std::string::npos) << "2 of 3 right at once, rounded as the page rounds\n" << shown;
    EXPECT_NE(shown.find("notes.csv: 練習の記録ではありません"), std::string::npos) << shown;
    EXPECT_NE(shown.find("ken?[2J"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_EQ(rt::read_record(slurp(csv)).trouble, "練習の記録ではありません（日時・プログラム・問題・結果の列がありません）");
    EXPECT_TRUE(slurp(csv).starts_with(std::string(rt::kBom) + "組,番号,名前"));
    const std::string no_such_day = std::string(VARNEL_BUILD_DIR) + "/varnel-class --from 2026-02-30 " + dir.string() +
                                    " 2>/dev/null >/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(no_such_day.c_str())), 2);
}
