// varnel-play --bank 1|2 [--time HH:MM:SS] [--keys SCRIPT] [--png FILE]
//             [--trace FILE] [--state FILE] [--record FILE] [--speech FILE] [--scale S]
// varnel-play --help
// Runs a drill program headless from a key script and writes what it showed,
// the practice record it kept (appended to FILE, as the desktop programs do),
// and what it said for assistive technology (one announcement a line).
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/player.hpp"

namespace {
const char* const kUsage =
    "usage: varnel-play --bank 1|2 [--time HH:MM:SS] [--keys SCRIPT] [--png FILE]\n"
    "                   [--trace FILE] [--state FILE] [--record FILE] [--speech FILE] [--scale S]\n";
const char* const kOptions =
    "\n"
    "  --bank 1|2       varnel1 or varnel2\n"
    "  --time HH:MM:SS  the clock for every read (the random numbers follow it);\n"
    "                   without it the real clock is read, and every run differs\n"
    "  --keys SCRIPT    the keys: characters stand for themselves; {Enter} {BS} {Del}\n"
    "                   {Space} {F1}..{F12} {Ctrl+L} {Close} {LBrace} {Composing:TEXT}\n"
    "  --png FILE       the last screen as PNG (--scale S: at S times the size)\n"
    "  --trace FILE     every drawing call and key, as JSON lines\n"
    "  --state FILE     every global of the drill, as JSON\n"
    "  --record FILE    the practice record, appended as the desktop programs do\n"
    "  --speech FILE    what the run said for screen readers, one announcement a line\n"
    "\n"
    "example: varnel-play --bank 1 --time 09:00:00 --keys '13{Enter}' --png p.png\n";

// "hh:mm:ss", as the drill reads its clock.
bool clock_reading(const std::string& t) {
    if (t.size() != 8) return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (i % 3 == 2 ? t[i] != ':' : !std::isdigit(static_cast<unsigned char>(t[i]))) return false;
    return true;
}
}

int main(int argc, char** argv) {
    PlayOptions options;
    bool bank_named = false;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string arg = argv[i];
            if (arg == "--help" || arg == "-h") {
                std::printf("%s%s", kUsage, kOptions);
                return 0;
            }
            auto value = [&]() -> std::string {
                if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
                return argv[++i];
            };
            if (arg == "--bank") options.bank = std::stoi(value()), bank_named = true;
            else if (arg == "--time") options.time = value();
            else if (arg == "--keys") options.keys = value();
            else if (arg == "--png") options.png = value();
            else if (arg == "--trace") options.trace = value();
            else if (arg == "--state") options.state = value();
            else if (arg == "--record") options.record = value();
            else if (arg == "--speech") options.speech = value();
            else if (arg == "--scale") options.scale = std::stof(value());
            else throw std::invalid_argument("unknown option " + arg);
        }
        if (!bank_named) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        if (options.scale <= 0 || options.scale > 8) throw std::invalid_argument("--scale takes a number above 0, at most 8");
        if (!options.time.empty() && !clock_reading(options.time)) throw std::invalid_argument("--time takes HH:MM:SS");
        play(options);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "varnel-play: %s\n", e.what());
        return 2;
    }
}
