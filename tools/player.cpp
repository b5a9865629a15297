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

namespace {

std::string json_text(const Text& t) { return rt::json_quoted(sjis::to_utf8(t)); }

std::string json_value(float v) { return rt::json_number(v); }
std::string json_value(const Text& t) { return json_text(t); }
template <class T>
std::string json_value(const Array<T>& a) {
    std::string out = "[";
    for (std::size_t i = 0; i < a.items().size(); ++i) out += (i ? "," : "") + json_value(a.items()[i]);
    return out + "]";
}
template <class T>
std::string json_value(const Array2<T>& a) {
    std::string out = "[";
    for (int r = 0; r < a.rows(); ++r) {
        out += r ? ",[" : "[";
        for (int c = 0; c < a.columns(); ++c) out += (c ? "," : "") + json_value(a(r, c));
        out += "]";
    }
    return out + "]";
}

}  // namespace

std::string state_json() {
    std::string out = "{";
    bool first = true;
    g.each([&](const char* name, auto& value) {
        out += (first ? "\"" : ",\"") + std::string(name) + "\":" + json_value(value);
        first = false;
    });
    return out + "}";
}

PlayResult play(const PlayOptions& options) { return play(program_of_bank(options.bank), options); }

PlayResult play(const Program& program, const PlayOptions& options) {
    reset_state();
    rt::install(rt::make_headless({.scale = options.scale, .time = options.time,
                                   .keys = rt::parse_key_script(options.keys)}));
    PlayResult result;
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
    if (!options.state.empty()) {
        std::ofstream f(options.state);
        f << result.state_json << '\n';
        if (!f) throw std::runtime_error("cannot write " + options.state);
    }
    return result;
}
