#include "runtime/screen.hpp"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <map>
#include <optional>
#include <random>

#include "runtime/backend.hpp"
#include "runtime/trace.hpp"

namespace rt {

namespace {

struct Runtime {
    std::unique_ptr<Backend> backend;
    std::deque<Key> keys;
    Text function_keys[13];
    char32_t known_by[13] = {};
    int column = 0, row = 0;
    std::vector<TraceEntry>* trace = nullptr;
    std::mt19937 random{0};
    // The last drawing call when it was a SYMBOL; any other drawing call clears it.
    struct Symbol {
        float x, y, sx, sy;
        int colour;
        Text text;
        bool operator==(const Symbol&) const = default;
    };
    std::optional<Symbol> last_symbol;
    // What PRINT wrote and where: the cell (column, row) of each character
    // that shows, and how many cells it spans. PRINT writes on a plane of its
    // own, over the drawings: its blanks take away only its own characters.
    std::map<std::pair<int, int>, int> printed;
    // The input point, and the composition last shown there.
    float input_x = 0, input_y = 0;
    struct Composed {
        std::string text;
        float x = 0, y = 0;
        bool operator==(const Composed&) const = default;
    } composed;
    // What was said since the last announcement, and whether it begins a page.
    std::string said;
    bool new_page = true;
};

Runtime& runtime() {
    static Runtime r;
    return r;
}

Canvas& canvas() { return backend().canvas(); }

void record(TraceEntry e) {
    Runtime& r = runtime();
    if (e.op != "key" && e.op != "symbol") r.last_symbol.reset();
    if (r.trace) r.trace->push_back(std::move(e));
}

// Draws text cell by cell: 8 dots a single-byte character, 16 a double-byte
// one, both 16 high, times the scales (0 draws as 1).
void draw_text(float x, float y, const Text& text, float sx, float sy, int colour) {
    float kx = sx == 0 ? 1 : sx, ky = sy == 0 ? 1 : sy;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t start = i;
        char32_t u = sjis::unicode_at(text, i);
        float w = (i - start == 2 ? 16.0f : 8.0f) * kx;
        canvas().glyph(x, y, u, w, 16 * ky, 16 * kx, colour);
        x += w;
    }
}

// Takes away what PRINT wrote in the cell (column, row): the character that
// starts there, or a double-width one that starts in the cell before.
void unprint(int column, int row) {
    auto& printed = runtime().printed;
    for (int c : {column, column - 1}) {
        auto at = printed.find({c, row});
        if (at == printed.end() || c + at->second <= column) continue;
        canvas().fill(8.0f * c, 16.0f * row, 8.0f * (c + at->second) - 1, 16.0f * row + 15, 0, 0);
        printed.erase(at);
    }
}

// Hands over what was said since the last wait, as one announcement.
void announce() {
    Runtime& r = runtime();
    if (r.said.empty()) return;
    backend().announce(r.said, r.new_page);
    r.said.clear();
    r.new_page = false;
}

// What the input method composes, at the input point over the drawing: the
// drill's own glyphs, underlined as a text field underlines a composition, the
// typing cursor after them, on the background, which hides what lies beneath
// until the composition is committed or dropped and the drawing comes back.
void show_composition() {
    Runtime& r = runtime();
    const Runtime::Composed now{backend().composing(), r.input_x, r.input_y};
    if (!(now == r.composed)) {
        if (now.text != r.composed.text || !now.text.empty())
            record({.op = "compose", .x1 = now.x, .y1 = now.y, .text = now.text});
        r.composed = now;
        canvas().lift();
    }
    if (now.text.empty() || canvas().laid()) return;
    std::vector<std::pair<char32_t, float>> glyphs;   // each character and its cell's width
    float width = 0;
    for (std::size_t i = 0; i < now.text.size();) {
        const char32_t u = sjis::next_utf8(now.text, i);
        const int code = sjis::cp932_of(u);
        glyphs.emplace_back(u, code >= 0 && code < 0x100 ? 8.0f : 16.0f);
        width += glyphs.back().second;
    }
    const float x = now.x, y = now.y;
    canvas().lay(x, y - 2, x + width + 15, y + 19, [&] {
        canvas().fill(x, y - 2, x + width + 15, y + 19, 0, 0);
        float at = x;
        for (auto [u, w] : glyphs) {
            canvas().glyph(at, y, u, w, 16, 16, 15);
            at += w;
        }
        canvas().line(x, y + 17, x + width - 1, y + 17, 15);
        canvas().disc(x + width + 8, y + 8, 4, 15, 15);
    });
}

}  // namespace

Backend& backend() {
    if (!runtime().backend) throw std::logic_error("no screen backend installed");
    return *runtime().backend;
}

void install(std::unique_ptr<Backend> b) {
    Runtime& r = runtime();
    r.backend = std::move(b);
    r.keys.clear();
    r.last_symbol.reset();
    r.printed.clear();
    for (auto& k : r.function_keys) k.clear();
    std::fill(std::begin(r.known_by), std::end(r.known_by), 0);
    r.column = r.row = 0;
    r.input_x = r.input_y = 0;
    r.composed = {};
    r.said.clear();
    r.new_page = true;
    r.random.seed(0);
}

void set_trace(std::vector<TraceEntry>* sink) { runtime().trace = sink; }

void set_map_mode(int, int) {}   // the dot space is fixed at 1440 x 900
void maximize_window(int) { backend().maximize(); }

void cls() {
    record({.op = "cls"});
    canvas().clear();
    runtime().printed.clear();
    turn_page();
}

void say(const std::string& spoken) {
    std::string& said = runtime().said;
    if (spoken.empty()) return;
    if (!said.empty()) said += ' ';
    said += spoken;
}

void turn_page() {
    Runtime& r = runtime();
    r.said.clear();
    r.new_page = true;
}

void locate(int column, int row) {
    runtime().column = column;
    runtime().row = row;
}

void cursor_switch(int) {}   // the text cursor is never shown

void print(const Text& s) {
    Runtime& r = runtime();
    record({.op = "print", .x1 = float(r.column), .y1 = float(r.row), .text = sjis::to_utf8(s)});
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        const char32_t u = sjis::unicode_at(s, i);
        const int cells = static_cast<int>(i - start);
        for (int c = 0; c < cells; ++c) unprint(r.column + c, r.row);
        if (u != U' ' && u != U'\u3000') {
            canvas().glyph(8.0f * r.column, 16.0f * r.row, u, 8.0f * cells, 16, 16, 15);
            r.printed[{r.column, r.row}] = cells;
        }
        r.column += cells;
    }
}

void print_using2(float n) {
    long v = std::lround(n);
    Text digits = std::to_string(v);
    print(digits.size() >= 2 ? digits : Text(2 - digits.size(), ' ') + digits);
}

void line(float x1, float y1, float x2, float y2, int colour, Mode mode, int fill, bool relative) {
    if (relative) { x2 += x1; y2 += y1; }
    int f = fill < 0 ? colour : fill;
    const char* name = mode == Mode::Line ? "line" : mode == Mode::Box ? "box" : "fill";
    record({.op = "line", .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .c = colour,
            .fill = mode == Mode::Fill ? f : -1, .mode = name});
    switch (mode) {
    case Mode::Line: canvas().line(x1, y1, x2, y2, colour); break;
    case Mode::Box: canvas().box(x1, y1, x2, y2, colour); break;
    case Mode::Fill: canvas().fill(x1, y1, x2, y2, colour, f); break;
    }
}

void circle(float x, float y, float r, int colour, bool filled, int fill) {
    int f = fill < 0 ? colour : fill;
    record({.op = "circle", .x1 = x, .y1 = y, .r = r, .c = colour, .fill = filled ? f : -1});
    if (filled) canvas().disc(x, y, r, colour, f);
    else canvas().circle(x, y, r, colour);
}

void symbol(float x, float y, const Text& text, float sx, float sy, int colour) {
    record({.op = "symbol", .x1 = x, .y1 = y, .sx = sx, .sy = sy, .c = colour, .text = sjis::to_utf8(text)});
    // The same text drawn again with nothing drawn since (a menu line redrawn
    // at every poll) is already on the screen. Blending it over itself would
    // darken the soft edges of its glyphs and grow the canvas' list at every
    // poll, without end while the pupil waits.
    Runtime::Symbol call{x, y, sx, sy, colour, text};
    if (runtime().last_symbol == call) return;
    runtime().last_symbol = std::move(call);
    draw_text(x, y, text, sx, sy, colour);
}

Text knj(int code) {
    if (code >= 0x100 && code < 0x200) return Text(1, static_cast<char>(code - 0x100));
    int j1 = (code >> 8) & 0xFF, j2 = code & 0xFF;
    if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) throw Fault("illegal function call");
    int s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    int s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
    return Text{static_cast<char>(s1), static_cast<char>(s2)};
}

Text inkey() {
    Runtime& r = runtime();
    backend().pump(r.keys);
    if (r.keys.empty()) {
        show_composition();
        announce();
        backend().wait(r.keys);
        return {};
    }
    Key k = std::move(r.keys.front());
    r.keys.pop_front();
    for (int n = 1; n <= 12 && k.typed && !k.fn; ++n)
        if (r.known_by[n] == k.typed) k.fn = n;
    if (!k.fn && k.text.empty()) return {};   // a character the drill cannot take
    record({.op = "key", .text = k.name});
    if (k.fn >= 1 && k.fn <= 12) return r.function_keys[k.fn];
    return k.text;
}

void key(int n, const Text& s, char32_t known_by) {
    if (n < 1 || n > 12) throw Fault("illegal function call");
    runtime().function_keys[n] = s;
    runtime().known_by[n] = known_by;
}

void keypad(const PadRows& rows) { backend().keypad(rows); }

void input_at(float x, float y) {
    runtime().input_x = x;
    runtime().input_y = y;
    backend().cursor_at(x, y);
}

void text_input(bool on) { backend().text_input(on); }

void idle() {
    Runtime& r = runtime();
    announce();
    backend().pump(r.keys);
    r.keys.clear();
    backend().wait(r.keys);
    r.keys.clear();
}

Text time_text() { return backend().clock(); }

float rnd() {
    // 24 random bits: every value in [0, 1) exactly representable as a float
    return static_cast<float>(runtime().random() >> 8) * (1.0f / 16777216.0f);
}

void randomize(float seed) { runtime().random.seed(static_cast<std::uint32_t>(static_cast<long>(seed))); }

void end() { throw ProgramEnd{}; }

std::string Backend::clock() { return date_time().substr(11); }

std::string Backend::date_time() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

Pupil Backend::pupil() {
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    Pupil p{env("VARNEL_CLASS"), env("VARNEL_NUMBER"), env("VARNEL_NAME")};
    // 番号 "07" is 7 (a number to sort by).
    std::string& n = p.number;
    if (n.size() > 1 && n.find_first_not_of("0123456789") == std::string::npos)
        n.erase(0, std::min(n.find_first_not_of('0'), n.size() - 1));
    if (!std::getenv("VARNEL_NAME")) {   // the account's full name: the first field of its GECOS
        if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_gecos)
            p.name = std::string(account->pw_gecos).substr(0, std::string(account->pw_gecos).find(','));
    }
    return p;
}

std::string json_number(float v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string json_quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') { out += '\\'; out += static_cast<char>(c); }
        else if (c < 0x20) { char buf[8]; std::snprintf(buf, sizeof buf, "\\u%04x", c); out += buf; }
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string to_json(const TraceEntry& e) {
    std::string j = "{\"op\":" + json_quoted(e.op);
    if (e.op == "line") {
        j += ",\"x1\":" + json_number(e.x1) + ",\"y1\":" + json_number(e.y1) + ",\"x2\":" + json_number(e.x2) + ",\"y2\":" +
             json_number(e.y2) + ",\"c\":" + std::to_string(e.c) + ",\"mode\":" + json_quoted(e.mode) + ",\"fill\":" +
             (e.fill < 0 ? std::string("null") : std::to_string(e.fill));
    } else if (e.op == "circle") {
        j += ",\"x\":" + json_number(e.x1) + ",\"y\":" + json_number(e.y1) + ",\"r\":" + json_number(e.r) + ",\"c\":" +
             std::to_string(e.c) + ",\"fill\":" + (e.fill < 0 ? std::string("null") : std::to_string(e.fill));
    } else if (e.op == "symbol") {
        j += ",\"x\":" + json_number(e.x1) + ",\"y\":" + json_number(e.y1) + ",\"text\":" + json_quoted(e.text) + ",\"sx\":" +
             json_number(e.sx) + ",\"sy\":" + json_number(e.sy) + ",\"c\":" + std::to_string(e.c);
    } else if (e.op == "compose") {
        j += ",\"x\":" + json_number(e.x1) + ",\"y\":" + json_number(e.y1) + ",\"text\":" + json_quoted(e.text);
    } else if (e.op == "print") {
        j += ",\"col\":" + json_number(e.x1) + ",\"row\":" + json_number(e.y1) + ",\"text\":" + json_quoted(e.text);
    } else if (e.op == "key") {
        j += ",\"key\":" + json_quoted(e.text);
    }
    return j + "}";
}

}  // namespace rt
