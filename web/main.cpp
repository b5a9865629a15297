// The web page's program: the drill of bank VARNEL_BANK on the web backend.
// The page reads the drill's globals through varnel_state_json (its end-to-end
// test checks the marks there) and hears of the program's end.
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "runtime/paper.hpp"
#include "runtime/record.hpp"
#include "runtime/screen.hpp"
#include "runtime/web.hpp"

EM_JS(void, varnel_program_ended, (), { Module.varnelEnded(); });

extern "C" EMSCRIPTEN_KEEPALIVE const char* varnel_state_json() {
    static std::string json;
    json = state_json();
    return json.c_str();
}

// Whether a practice is under way (its progress grid is on the screen): the
// page then asks before it is left or reloaded.
extern "C" EMSCRIPTEN_KEEPALIVE int varnel_practising() { return g.grid_cells > 0 ? 1 : 0; }

// One line of the record's CSV, for the page's "CSV で保存": the fields apart by
// unit separators, as the desktop writes them.
extern "C" EMSCRIPTEN_KEEPALIVE const char* varnel_csv_line(const char* fields) {
    static std::string line;
    rt::RecordRow row;
    const std::string all = fields;
    for (std::size_t from = 0;;) {
        const std::size_t to = all.find('\x1f', from);
        row.push_back(all.substr(from, to - from));
        if (to == std::string::npos) break;
        from = to + 1;
    }
    line = rt::csv_line(row);
    return line.c_str();
}

// Worksheets, for the page's print maker: the problems (numbers apart by
// commas, each of the program), `versions` versions (1 to 60), the date and
// the clock. The pages as SVG documents apart by record separators; "" for a
// request outside those bounds.
extern "C" EMSCRIPTEN_KEEPALIVE const char* varnel_worksheets(const char* problems, int versions, const char* date,
                                                            const char* time) {
    static std::string pages;
    pages.clear();
    const Program program = script::program(VARNEL_BANK);
    WorksheetOptions options{.versions = versions, .date = date, .time = time};
    const std::string list = problems;
    for (std::size_t from = 0; from < list.size();) {
        const std::size_t to = std::min(list.find(',', from), list.size());
        const int n = std::atoi(list.substr(from, to - from).c_str());
        if (n < 1 || n > program.problem_count) return "";
        options.problems.push_back(n);
        from = to + 1;
    }
    if (options.problems.empty() || versions < 1 || versions > 60 || options.time.size() != 8) return "";
    for (const std::string& page : rt::paper::svg_pages(worksheets(program, options).document))
        pages += (pages.empty() ? "" : "\x1e") + page;
    return pages.c_str();
}

// Opened to make worksheets (its address ends "#print"), the page runs no drill.
EM_JS(int, varnel_print_maker, (), { return Module.varnelPrintMaker ? 1 : 0; });

int main() {
    if (varnel_print_maker()) return 0;
    rt::install(rt::make_web());
    run_program(script::program(VARNEL_BANK));
    varnel_program_ended();
    return 0;
}
