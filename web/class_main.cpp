// The class page's program: a class's record files read and summed by the
// same code as the terminal's varnel-class and the programs' --record
// (runtime/records.cpp), its results handed to the page (web/class.js) as JSON.
// Nothing here draws or keeps anything beyond the page's memory.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/records.hpp"

namespace {

rt::ClassRecords records;
rt::ClassView last_view;
std::string answer;   // what the last call hands back (read before the next call)

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string list(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + quoted(items[i]);
    return out + "]";
}

std::string number(double v) {
    char out[32];
    std::snprintf(out, sizeof out, "%.10g", v);
    return out;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void class_reset() {
    records = {};
    last_view = {};
}

// Reads one file: {name, trouble, record, rows, newRows}.
EMSCRIPTEN_KEEPALIVE const char* class_add(const char* name, const std::uint8_t* bytes, int size) {
    const auto& f = records.add(name, std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)));
    answer = "{\"name\":" + quoted(f.name) + ",\"trouble\":" + quoted(f.trouble) + ",\"record\":" +
             (f.record ? "true" : "false") + ",\"rows\":" + std::to_string(f.rows) + ",\"newRows\":" +
             std::to_string(f.new_rows) + "}";
    return answer.c_str();
}

// What the rows hold, for the filters: {dates, classes, programs, rows}.
EMSCRIPTEN_KEEPALIVE const char* class_meta() {
    answer = "{\"dates\":" + list(records.dates()) + ",\"classes\":" + list(records.classes()) + ",\"programs\":" +
             list(records.programs()) + ",\"rows\":" + std::to_string(records.rows().size()) + "}";
    return answer.c_str();
}

// The class as the filter shows it: {problems, pupils, helpFirst}; a cell is
// [mark, sign error (0/1), number of rows].
EMSCRIPTEN_KEEPALIVE const char* class_view(const char* from, const char* to, const char* program,
                                            const char* class_name, int first) {
    last_view = records.view({from, to, program, class_name, first != 0});
    answer = "{\"problems\":[";
    for (std::size_t i = 0; i < last_view.problems.size(); ++i) {
        const auto& p = last_view.problems[i];
        answer += (i ? "," : "") + std::string("{\"program\":") + quoted(p.program) + ",\"number\":" +
                  std::to_string(p.number) + ",\"topic\":" + quoted(p.topic) + ",\"worked\":" +
                  std::to_string(p.worked) + ",\"firstRight\":" + std::to_string(p.first_right) +
                  ",\"signErrors\":" + std::to_string(p.sign_errors) + ",\"medianHints\":" + number(p.median_hints) +
                  ",\"medianSeconds\":" + number(p.median_seconds) + "}";
    }
    answer += "],\"pupils\":[";
    for (std::size_t i = 0; i < last_view.pupils.size(); ++i) {
        const auto& p = last_view.pupils[i];
        answer += (i ? "," : "") + std::string("{\"class\":") + quoted(p.class_name) + ",\"number\":" +
                  quoted(p.number) + ",\"name\":" + quoted(p.name) + ",\"file\":" + quoted(p.file) + ",\"worked\":" +
                  std::to_string(p.worked) + ",\"firstRight\":" + std::to_string(p.first_right) +
                  ",\"signErrors\":" + std::to_string(p.sign_errors) + ",\"unfinished\":" +
                  std::to_string(p.unfinished) + ",\"seconds\":" + std::to_string(p.seconds) + ",\"cells\":[";
        for (std::size_t c = 0; c < p.cells.size(); ++c)
            answer += (c ? ",[" : "[") + quoted(p.cells[c].mark) + "," + (p.cells[c].sign_error ? "1" : "0") + "," +
                      std::to_string(p.cells[c].rows.size()) + "]";
        answer += "]}";
    }
    answer += "],\"helpFirst\":[";
    for (std::size_t i = 0; i < last_view.help_first.size(); ++i)
        answer += (i ? "," : "") + std::to_string(last_view.help_first[i]);
    answer += "]}";
    return answer.c_str();
}

// A cell's rows of the last view, oldest first: each [日時, 1回目, 結果,
// 入力, 正答, ヒント, 秒, 符号の誤り, file].
EMSCRIPTEN_KEEPALIVE const char* class_cell(int pupil, int problem) {
    answer = "[";
    if (pupil >= 0 && static_cast<std::size_t>(pupil) < last_view.pupils.size() && problem >= 0 &&
        static_cast<std::size_t>(problem) < last_view.problems.size()) {
        const auto& rows = last_view.pupils[static_cast<std::size_t>(pupil)].cells[static_cast<std::size_t>(problem)].rows;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const rt::RecordRow& r = records.rows()[rows[i]];
            answer += (i ? "," : "") + list({r[rt::kDate], r[rt::kFirst], r[rt::kResult], r[rt::kTyped],
                                             r[rt::kAccepted], r[rt::kHints], r[rt::kSeconds], r[rt::kSignError],
                                             records.file_of(rows[i])});
        }
    }
    answer += "]";
    return answer.c_str();
}

// The last view's class table as CSV, in the record's form.
EMSCRIPTEN_KEEPALIVE const char* class_csv_text() {
    answer = rt::class_csv(last_view);
    return answer.c_str();
}

}  // extern "C"

int main() { return 0; }
