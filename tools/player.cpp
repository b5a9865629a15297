#include "tools/player.hpp"

#include <fstream>
#include <stdexcept>

#include "problems/script/script.hpp"
#include "runtime/headless.hpp"
#include "runtime/png.hpp"
#include "runtime/screen.hpp"

Program program_of_bank(int bank) {
    if (bank != 1 && bank != 2) throw std::invalid_argument("--bank takes 1 or 2");
    return script::program(bank);
}

PlayResult play(const PlayOptions& options) { return play(program_of_bank(options.bank), options); }

PlayResult play(const Program& program, const PlayOptions& options) {
    reset_state();
    PlayResult result;
    rt::install(rt::make_headless({.scale = options.scale, .time = options.time,
                                   .keys = rt::parse_key_script(options.keys), .record = options.record,
                                   .speech = &result.speech}));
    rt::set_trace(&result.trace);
    run_program(program);
    rt::set_trace(nullptr);
    result.state_json = state_json();
    if (!options.png.empty() && !rt::write_png(rt::backend().canvas(), options.png))
        throw std::runtime_error("cannot write " + options.png);
    if (!options.trace.empty()) {
        std::ofstream f(options.trace);
        for (const auto& e : result.trace) f << rt::to_json(e) << '\n';
        if (!f) throw std::runtime_error("cannot write " + options.trace);
    }
    if (!options.speech.empty()) {
        std::ofstream f(options.speech);
        for (const auto& line : result.speech) f << line << '\n';
        if (!f) throw std::runtime_error("cannot write " + options.speech);
    }
    if (!options.state.empty()) {
        std::ofstream f(options.state);
        f << result.state_json << '\n';
        if (!f) throw std::runtime_error("cannot write " + options.state);
    }
    return result;
}

std::string wait_shown(const std::vector<rt::TraceEntry>& trace, std::string waiting) {
    for (const rt::TraceEntry& e : trace) {
        if (e.op == "cls") waiting = "";
        // The typing cursor: of the answer line, unless the start number is asked for.
        if (e.op == "circle" && e.r == 4 && e.fill == 15 && waiting != "start number") waiting = "answer";
        if (e.op != "symbol") continue;
        if (e.text == "★" && e.x1 == 320 && e.y1 == 216) waiting = "menu";
        else if (e.text.rfind("何番から始めますか", 0) == 0) waiting = "start number";
        else if (e.text == "スペース　キーを押す") waiting = "space";
        else if (e.text == "何" && e.x1 == 128 && e.y1 == 648) waiting = "key pause";
        else if (e.text.rfind("☆もう１度練習する", 0) == 0) waiting = "next step";
        else if (e.text.rfind("☆この問題をもう１度", 0) == 0) waiting = "end of bank";
    }
    return waiting;
}
