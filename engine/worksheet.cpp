// Worksheets: the bank's problems on paper, as the drill asks them. Each
// problem is started as a practice started at it would start it, on a backend
// that lists its drawing (runtime/paper.hpp): the question (at a key pause, as
// it stands then), with a box for each blank on its answer line, is the
// sheet's; the screen after the hints and the worked answer, with the
// accepted answers on the answer line, is the key's. Version 1 has the values
// of a practice started at the given time; each further version its own.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/paper.hpp"
#include "runtime/screen.hpp"

namespace {

namespace paper = rt::paper;
using Drawing = std::vector<rt::Canvas::Drawn>;

// What paper shows of one problem, and the answers its key gives.
struct Shots {
    Drawing sheet, key;
    std::vector<std::string> answers;
};

constexpr float kAnswerLeft = 64;      // where paper starts the answer line
constexpr float kBlankPitch = 160;     // the drill's blanks stand ten cells apart
constexpr float kBoxW = 144, kBoxH = 36;
constexpr float kKeyPauseTop = 630;    // the key pause's box, which paper leaves out

Drawing drawing_now() { return rt::backend().canvas().drawing(); }

// A typed answer as the answer line shows it: a fraction stacked.
Text shown_answer(const Text& typed) {
    const std::size_t slash = typed.find('/');
    if (slash == Text::npos || typed.find(',') != Text::npos) return typed;
    const std::size_t sign = typed[0] == '-' || typed[0] == '+' ? 1 : 0;
    return typed.substr(0, sign) + "ﾀ"_sj + typed.substr(sign) + "ﾀ"_sj;
}

// The answer line on paper: "答" and the labels as the drill writes them
// around the blanks, and in each blank's place a box to write in (or, for the
// key, the answer the drill accepts first).
void paper_answer_line(bool answers) {
    rt::line(0, g.answer_y - 20, 1440, g.answer_y + 44, 0, rt::Mode::Fill, 0);
    g.root_mode = root::none;
    g.raise_next = 0;
    g.ink = 13;
    g.pen_x = kAnswerLeft;
    g.pen_y = g.answer_y;
    g.markup_text = "答 "_sj + g.answer_label[0];
    render_markup();
    for (int k = 1; k <= rt::whole(g.blank_count); ++k) {
        const float x = g.pen_x + 8;
        if (answers) {
            g.pen_x = x;
            g.ink = 15;
            g.markup_text = shown_answer(g.expected(static_cast<float>(k), 1));
            render_markup();
            g.pen_x = std::max(g.pen_x + 8, x + kBlankPitch - 16);
        } else {
            // Room for the answer: as wide as the drill writes it on one line
            // (written, measured, then wholly covered, so that paper leaves it
            // out), and never narrower than the drill's blank.
            g.pen_x = x;
            g.markup_text = g.expected(static_cast<float>(k), 1);
            render_markup();
            const float room = std::max(kBoxW, g.pen_x - x + 32);
            rt::line(x, g.answer_y - 20, g.pen_x, g.answer_y + 44, 0, rt::Mode::Fill, 0);
            rt::line(x, g.answer_y - 10, x + room, g.answer_y - 10 + kBoxH, 15, rt::Mode::Box);
            g.pen_x = x + room + kBlankPitch - kBoxW;
        }
        g.ink = 13;
        g.markup_text = g.answer_label[k];
        render_markup();
    }
}

// The prompt over the answer line ("＋－をつけ…"), written from the line's
// origin, moved with the line to where paper starts it.
Drawing with_its_prompt(Drawing drawing) {
    const float screen_left = g.answer_x - 16 * static_cast<float>(sjis::klen(g.answer_label[0]) + 2);
    for (auto& d : drawing)
        if (d.kind == rt::Canvas::Drawn::Glyph && d.y1 == g.answer_y - 40 && d.x1 >= g.answer_x - 48)
            d.x1 += kAnswerLeft - screen_left;
    return drawing;
}

// Problem `no`, started as a practice started at the program's clock would
// start it (a further version with its own random numbers).
Shots shoot(const Program& program, int no, int version, const std::string& date, const std::string& time) {
    reset_state();
    Drawing at_pause;
    bool starting = false, paused = false;
    rt::install(paper::make_paper_backend(date, time, [&] {
        if (!starting) return false;
        if (!paused) at_pause = drawing_now();
        paused = true;
        return true;   // the key that ends the pause
    }));
    prepare_program(program);
    clock_seeding();
    if (version > 1) rt::randomize(g.rnd_seed + 1000.0f * static_cast<float>(version - 1));
    starting = true;
    g.bank->start(no);
    starting = false;
    const bool self_marked = record_self_marked();
    // Its prompt asks for the pupil's own mark (1 or 0), which paper does not.
    const auto no_prompt = [&] {
        if (self_marked) rt::line(0, g.answer_y - 44, 1440, g.answer_y - 20, 0, rt::Mode::Fill, 0);
    };
    no_prompt();
    Shots shots;
    if (paused) {
        shots.sheet = at_pause;
    } else {
        if (!self_marked) paper_answer_line(false);
        shots.sheet = with_its_prompt(drawing_now());
    }
    // The screen after the third wrong answer: the hints, the worked answer.
    g.bank->hint1(no);
    g.bank->hint2(no);
    g.bank->answer(no);
    no_prompt();
    if (!self_marked) {
        paper_answer_line(true);
        for (int k = 1; k <= rt::whole(g.blank_count); ++k)
            shots.answers.push_back(sjis::to_utf8(g.expected(static_cast<float>(k), 1)));
    }
    shots.key = with_its_prompt(drawing_now());
    return shots;
}

// ---- pages ------------------------------------------------------------------

constexpr float kMargin = 12, kWide = paper::kPageW - 2 * kMargin;
constexpr float kHeaderH = 26, kGap = 7, kMostMmPerDot = 0.25f;
constexpr float kReadable = 760;   // dots across the page at which its text stays readable (4 mm a character)

struct Region {
    float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    bool empty() const { return right < left; }
};

// Where one drawing item lies, in dots.
struct Rect {
    float left, top, right, bottom;
};
Rect rect_of(const rt::Canvas::Drawn& d) {
    using D = rt::Canvas::Drawn;
    if (d.kind == D::Glyph) return {d.x1, d.y1, d.x1 + d.x2, d.y1 + d.y2};
    if (d.kind == D::Circle || d.kind == D::Disc) return {d.x1 - d.r, d.y1 - d.r, d.x1 + d.r, d.y1 + d.r};
    return {std::min(d.x1, d.x2), std::min(d.y1, d.y2), std::max(d.x1, d.x2), std::max(d.y1, d.y2)};
}
bool erasure(const rt::Canvas::Drawn& d) { return d.c == 0 && (d.kind != rt::Canvas::Drawn::Fill || d.f == 0); }

// Where a drawing shows something (what is drawn in the background colour left out).
Region region_of(const Drawing& drawing) {
    Region r;
    for (const auto& d : drawing) {
        if (d.c == 0) continue;
        const Rect e = rect_of(d);
        r.left = std::min(r.left, e.left), r.right = std::max(r.right, e.right);
        r.top = std::min(r.top, e.top), r.bottom = std::max(r.bottom, e.bottom);
    }
    return r;
}

// Side by side on the screen's width, a drawing would print too small: a
// figure that stands right of the question (a number line beside its panel)
// moves left, to where it meets nothing, so that the whole fits `wide` dots.
// Things drawn close together (a label and its line) move as one.
void fit_width(Drawing& drawing, float wide) {
    constexpr float kNear = 12, kStacked = 40;
    struct Group {
        Rect r;
        std::vector<std::size_t> items;
    };
    std::vector<Group> groups;
    const auto near = [&](const Rect& a, const Rect& b) {
        return a.left - kNear <= b.right && b.left - kNear <= a.right && a.top - kNear <= b.bottom && b.top - kNear <= a.bottom;
    };
    // (Things one above the other, a little apart, stay together: figures stacked in a column.)
    const auto together = [&](const Rect& a, const Rect& b) {
        return near(a, b) ||
               (a.left <= b.right && b.left <= a.right && a.top - kStacked <= b.bottom && b.top - kStacked <= a.bottom);
    };
    for (std::size_t i = 0; i < drawing.size(); ++i) {
        if (erasure(drawing[i])) continue;
        Group joined{rect_of(drawing[i]), {i}};
        for (std::size_t k = groups.size(); k-- > 0;) {
            if (!together(joined.r, groups[k].r)) continue;
            const Rect& o = groups[k].r;
            joined.r = {std::min(joined.r.left, o.left), std::min(joined.r.top, o.top), std::max(joined.r.right, o.right),
                        std::max(joined.r.bottom, o.bottom)};
            joined.items.insert(joined.items.end(), groups[k].items.begin(), groups[k].items.end());
            groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(k));
        }
        groups.push_back(std::move(joined));
    }
    if (groups.empty()) return;
    float left = groups[0].r.left;
    for (const Group& g : groups) left = std::min(left, g.r.left);
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.r.top < b.r.top; });
    for (std::size_t k = 0; k < groups.size(); ++k) {
        const Rect at = groups[k].r;
        if (at.right <= left + wide) continue;
        // The leftmost place, from the left edge or just right of another
        // group, where it meets none of the others.
        std::vector<float> tries{left};
        for (const Group& o : groups) tries.push_back(o.r.right + kNear + 8);
        std::sort(tries.begin(), tries.end());
        for (float x : tries) {
            if (x >= at.left) break;
            const Rect moved{x, at.top, x + (at.right - at.left), at.bottom};
            bool clear = true;
            for (std::size_t o = 0; o < groups.size() && clear; ++o) clear = o == k || !near(moved, groups[o].r);
            if (!clear) continue;
            const float dx = x - at.left;
            for (std::size_t i : groups[k].items)
                drawing[i].x1 += dx, drawing[i].x2 += drawing[i].kind == rt::Canvas::Drawn::Glyph ? 0 : dx;
            for (auto& d : drawing) {   // an erasure inside it goes with it
                const Rect e = rect_of(d);
                if (erasure(d) && e.left >= at.left && e.right <= at.right && e.top >= at.top && e.bottom <= at.bottom)
                    d.x1 += dx, d.x2 += dx;
            }
            groups[k].r = moved;
            break;
        }
    }
}

// The drawing with its empty bands closed up: the screen keeps room for
// what comes later (the answer line at the bottom, the hints), which paper
// need not leave empty. A band with nothing in it is kept 24 dots high.
void close_up(Drawing& drawing) {
    constexpr float kKept = 24;
    std::vector<std::pair<float, float>> spans;   // what each drawing item covers, top to bottom
    for (const auto& d : drawing) {
        if (d.c == 0 && (d.kind != rt::Canvas::Drawn::Fill || d.f == 0)) continue;   // an erasure
        float top = std::min(d.y1, d.y2), bottom = std::max(d.y1, d.y2);
        if (d.kind == rt::Canvas::Drawn::Glyph) top = d.y1, bottom = d.y1 + d.y2;
        if (d.kind == rt::Canvas::Drawn::Circle || d.kind == rt::Canvas::Drawn::Disc) top = d.y1 - d.r, bottom = d.y1 + d.r;
        spans.push_back({top, bottom});
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<float, float>> gaps;   // the empty bands, and how much each is taken away
    float reach = spans.empty() ? 0 : spans.front().second;
    for (const auto& [top, bottom] : spans) {
        if (top - reach > kKept) gaps.push_back({reach, top - reach - kKept});
        reach = std::max(reach, bottom);
    }
    const auto moved = [&](float y) {
        float up = 0;
        for (const auto& [from, cut] : gaps) {
            if (y <= from) break;
            up += std::min(cut, y - from);
        }
        return y - up;
    };
    using D = rt::Canvas::Drawn;
    for (auto& d : drawing) {
        d.y1 = moved(d.y1);
        if (d.kind != D::Glyph && d.kind != D::Circle && d.kind != D::Disc) d.y2 = moved(d.y2);   // (a corner, not a size)
    }
}

class Pages {
public:
    Pages(paper::Document& document, std::string header) : document_(document), header_(std::move(header)) {}

    void new_page(const std::string& right, bool who) {
        document_.pages.emplace_back();
        paper::Page& page = document_.pages.back();
        page.text(kMargin, kMargin + 5, 5.5f, header_);
        page.text(paper::kPageW - kMargin - 5.0f * static_cast<float>(sjis::klen(sjis::from_utf8(right))), kMargin + 5,
                  5, right);
        float x = kMargin;
        const float y = kMargin + 9;
        if (who) {   // 組, 番号 and 名前 to be written in
            for (const auto& [label, width] : {std::pair{"組", 18.0f}, {"番号", 18.0f}, {"名前", 70.0f}}) {
                page.text(x, y + 7, 4.5f, label);
                x += 4.5f * static_cast<float>(sjis::klen(sjis::from_utf8(label))) + 1.5f;
                page.rect(x, y, x + width, y + 10, 0.3f);
                x += width + 5;
            }
        }
        page.line(kMargin, kMargin + kHeaderH - 4, paper::kPageW - kMargin, kMargin + kHeaderH - 4, 0.4f);
        y_ = kMargin + kHeaderH;
        right_ = right;
        who_ = who;
    }

    // A problem's drawing, whole on one page.
    void add(Drawing drawing) {
        std::erase_if(drawing, [](const rt::Canvas::Drawn& d) { return d.y1 >= kKeyPauseTop; });
        fit_width(drawing, kReadable);
        close_up(drawing);
        const Region r = region_of(drawing);
        if (r.empty()) return;
        float mm = std::min(kMostMmPerDot, kWide / (r.right - r.left));
        const float room = paper::kPageH - kMargin - (kMargin + kHeaderH);
        mm = std::min(mm, room / (r.bottom - r.top));
        const float high = (r.bottom - r.top) * mm;
        if (y_ + high > paper::kPageH - kMargin) new_page(right_, who_);
        paper::place(document_.pages.back(), drawing, r.left, r.top, kMargin, y_, mm);
        y_ += high + kGap;
    }

private:
    paper::Document& document_;
    std::string header_, right_;
    bool who_ = false;
    float y_ = 0;
};

std::string dated(const std::string& date) {   // "2026-12-10" -> "2026年12月10日"
    if (date.size() != 10) return date;
    return date.substr(0, 4) + "年" + std::to_string(std::atoi(date.substr(5, 2).c_str())) + "月" +
           std::to_string(std::atoi(date.substr(8, 2).c_str())) + "日";
}

}  // namespace

Worksheets worksheets(const Program& program, const WorksheetOptions& options) {
    std::vector<std::vector<Shots>> versions;
    for (int v = 1; v <= options.versions; ++v) {
        versions.emplace_back();
        for (int no : options.problems) versions.back().push_back(shoot(program, no, v, options.date, options.time));
    }
    Worksheets made;
    paper::Document& document = made.document;
    for (const auto& version : versions) {
        made.keys.emplace_back();
        for (const Shots& shots : version) made.keys.back().push_back(shots.answers);
    }
    document.title = std::string(program.title) + "　" + program.subject + "　" + dated(options.date);
    Pages pages(document, document.title);
    for (int v = 1; v <= options.versions; ++v) {
        pages.new_page("第" + std::to_string(v) + "版", true);
        for (const Shots& shots : versions[static_cast<std::size_t>(v - 1)]) pages.add(shots.sheet);
    }
    for (int v = 1; v <= options.versions; ++v) {
        pages.new_page("解答　第" + std::to_string(v) + "版", false);
        for (const Shots& shots : versions[static_cast<std::size_t>(v - 1)]) pages.add(shots.key);
    }
    return made;
}
