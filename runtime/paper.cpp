#include "runtime/paper.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "runtime/screen.hpp"
#include "runtime/text.hpp"

namespace rt::paper {

namespace {

// How each palette colour prints: the grey of a fill, and the grey and dashes
// of a stroke in it (0 black, 1 white), and the grey of its dotted lines
// where that differs from the stroke's. The drill's dark panels become the
// lightest greys under black text; its figures' colours become black, greys
// and dashes that stay apart on a black-and-white printer.
struct Print {
    float fill, stroke, dash;
    float dots = -1;   // (-1: the stroke's)
    float dotted() const { return dots >= 0 ? dots : stroke; }
};
constexpr Print kPrint[16] = {
    {1.00f, 1.00f, 0},      // 0 background: white
    {0.90f, 0.55f, 0},      // 1 grid lines
    {0.97f, 0.00f, 0},      // 2 question panel
    {0.92f, 0.45f, 0},      // 3 outlines
    {0.94f, 0.00f, 0},      // 4 help box, key pause
    {0.60f, 0.00f, 1.2f},   // 5 marks, menu lines, thermometer column
    {0.88f, 0.00f, 0},      // 6 boxed labels
    {0.90f, 0.30f, 0},      // 7 light text
    {0.86f, 0.35f, 0},      // 8 header, prompt box, per-blank marks
    {0.80f, 0.00f, 0.6f, 0.4f},   // 9 key-pause text, hop totals, points (their dotted hops grey)
    {0.90f, 0.00f, 0},      // 10 title and wide labels
    {0.88f, 0.40f, 0},      // 11 prompts, grid numbers, scale labels
    {1.00f, 0.00f, 0},      // 12 thermometer background
    {0.80f, 0.00f, 0},      // 13 answers and highlights
    {0.85f, 0.50f, 0},      // 14 empty tube
    {0.75f, 0.00f, 0},      // 15 question text, lines
};
const Print& print_of(int colour) { return kPrint[std::clamp(colour, 0, 15)]; }

// IPAGothic's ascent, as a share of a cell's height (its ascent and descent
// fill the cell): where a character's baseline lies.
constexpr float kAscent = 0.88f;

std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

std::string num(float v) {
    char out[32];
    std::snprintf(out, sizeof out, "%.2f", v);
    std::string s = out;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string grey(float g) {
    const int v = static_cast<int>(std::lround(std::clamp(g, 0.0f, 1.0f) * 255));
    char out[8];
    std::snprintf(out, sizeof out, "#%02x%02x%02x", v, v, v);
    return out;
}

}  // namespace

namespace {

// A run of small dots (the drill's dotted hops) as lines: one for each arc
// (the run breaks where a dot stands well apart from the last), through a
// point every millimetre, dotted where the screen's dots stood apart (each
// `apart` wide or more: so far apart on paper that a printer keeps them
// dots), or drawn whole where they stood so close that they looked a line.
void add_dots(Page& page, const std::vector<std::pair<float, float>>& at, float apart, float size, float ink) {
    std::vector<float> gaps;
    for (std::size_t k = 1; k < at.size(); ++k)
        gaps.push_back(std::hypot(at[k].first - at[k - 1].first, at[k].second - at[k - 1].second));
    std::vector<float> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    const float usual = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    for (std::size_t from = 0; from < at.size();) {
        std::size_t to = from + 1;
        float length = 0;
        while (to < at.size() && gaps[to - 1] <= std::max(3 * usual, 0.5f)) length += gaps[to - 1], ++to;
        const std::size_t n = to - from;
        Item line{.kind = Item::Dots, .size = size, .ink = ink};
        const float spacing = n > 1 ? length / static_cast<float>(n - 1) : 0;
        line.dash = spacing >= apart ? std::max(spacing, 2.5f * size) : 0;
        for (std::size_t k = from; k < to; ++k)
            if (line.xs.empty() || k + 1 == to ||
                std::hypot(at[k].first - line.xs.back(), at[k].second - line.ys.back()) >= 1.0f) {
                line.xs.push_back(at[k].first);
                line.ys.push_back(at[k].second);
            }
        page.items.push_back(std::move(line));
        from = to;
    }
}

}  // namespace

void Page::text(float x, float baseline, float em, const std::string& utf8) {
    Item t{.kind = Item::Text, .x1 = x, .y1 = baseline, .size = em};
    t.text = utf8;
    items.push_back(std::move(t));
}

void Page::rect(float x1, float y1, float x2, float y2, float stroke, float fill) {
    items.push_back({.kind = Item::Rect, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .size = stroke, .fill = fill});
}

void Page::line(float x1, float y1, float x2, float y2, float stroke) {
    items.push_back({.kind = Item::Line, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .size = stroke});
}

void place(Page& page, const std::vector<Canvas::Drawn>& drawing, float left, float top, float x, float y, float mm) {
    const auto px = [&](float dots) { return x + (dots - left) * mm; };
    const auto py = [&](float dots) { return y + (dots - top) * mm; };
    const float hair = std::max(0.18f, mm);   // a line one dot wide
    using D = Canvas::Drawn;
    for (std::size_t i = 0; i < drawing.size(); ++i) {
        const D& d = drawing[i];
        switch (d.kind) {
        case D::Line:
        case D::Box: {
            const Print& p = print_of(d.c);
            Item it{.kind = d.kind == D::Line ? Item::Line : Item::Rect,
                    .x1 = px(d.x1 + 0.5f), .y1 = py(d.y1 + 0.5f), .x2 = px(d.x2 + 0.5f), .y2 = py(d.y2 + 0.5f),
                    .size = hair, .ink = p.stroke, .dash = p.dash * hair * 4};
            if (d.c == 0) it.ink = 1;   // drawn in the background colour: erased
            page.items.push_back(it);
            break;
        }
        case D::Fill: {
            const Print& f = print_of(d.f);
            Item it{.kind = Item::Rect, .x1 = px(std::min(d.x1, d.x2)), .y1 = py(std::min(d.y1, d.y2)),
                    .x2 = px(std::max(d.x1, d.x2) + 1), .y2 = py(std::max(d.y1, d.y2) + 1), .fill = f.fill};
            if (d.c != d.f) {   // its border in its own colour
                it.size = hair;
                it.ink = print_of(d.c).stroke;
            }
            page.items.push_back(it);
            break;
        }
        case D::Disc:
            if (d.r <= 1 && d.c == d.f && d.c != 0) {   // a run of small dots (a dotted hop) as one item
                std::vector<std::pair<float, float>> at;
                for (; i < drawing.size() && drawing[i].kind == D::Disc && drawing[i].r == d.r && drawing[i].c == d.c &&
                       drawing[i].f == d.f;
                     ++i)
                    at.push_back({px(drawing[i].x1 + 0.5f), py(drawing[i].y1 + 0.5f)});
                --i;
                add_dots(page, at, 3 * d.r * mm, std::max(0.25f, 2 * d.r * mm), print_of(d.c).dotted());
                break;
            }
            [[fallthrough]];
        case D::Circle: {
            const Print& p = print_of(d.c);
            Item it{.kind = Item::Circle, .x1 = px(d.x1 + 0.5f), .y1 = py(d.y1 + 0.5f), .r = std::max(d.r, 0.5f) * mm,
                    .size = hair, .ink = d.c == 0 ? 1 : p.stroke};
            if (d.kind == D::Disc) it.fill = d.f == 0 ? 1 : print_of(d.f).stroke;
            page.items.push_back(it);
            break;
        }
        case D::Glyph: {
            // The characters drawn one after another along one line, of one
            // size, as one text (each where the drill put it: a number line's
            // scale is one text).
            Item it{.kind = Item::Text, .x1 = px(d.x1), .y1 = py(d.y1 + d.y2 * kAscent), .size = d.r * mm};
            it.ink = d.c == 0 ? 1 : 0;
            float after = d.x1;
            for (; i < drawing.size(); ++i) {
                const D& g = drawing[i];
                if (g.kind != D::Glyph || g.y1 != d.y1 || g.y2 != d.y2 || g.r != d.r || (g.c == 0) != (d.c == 0) ||
                    g.x1 < after - 0.01f)
                    break;
                it.text += sjis::utf8_of(g.ch);
                it.xs.push_back(px(g.x1));
                after = g.x1 + g.x2;
            }
            --i;
            page.items.push_back(std::move(it));
            break;
        }
        }
    }
}

std::vector<std::string> svg_pages(const Document& document) {
    std::vector<std::string> pages;
    for (const Page& page : document.pages) {
        std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"210mm\" height=\"297mm\" viewBox=\"0 0 " +
                          num(kPageW) + " " + num(kPageH) + "\">";
        for (const Item& it : page.items) {
            const std::string stroke = it.size > 0 ? " stroke=\"" + grey(it.ink) + "\" stroke-width=\"" + num(it.size) +
                                                         "\"" + (it.dash > 0 ? " stroke-dasharray=\"" + num(it.dash) + "\"" : "")
                                                   : "";
            const std::string fill = " fill=\"" + (it.fill >= 0 ? grey(it.fill) : std::string("none")) + "\"";
            switch (it.kind) {
            case Item::Text: {
                std::string xs;
                for (float x : it.xs) xs += (xs.empty() ? "" : " ") + num(x);
                svg += "<text x=\"" + (xs.empty() ? num(it.x1) : xs) + "\" y=\"" + num(it.y1) + "\" font-size=\"" +
                       num(it.size) + "\"" + (it.ink > 0 ? " fill=\"" + grey(it.ink) + "\"" : "") + ">" +
                       escaped(it.text) + "</text>";
                break;
            }
            case Item::Line:
                svg += "<line x1=\"" + num(it.x1) + "\" y1=\"" + num(it.y1) + "\" x2=\"" + num(it.x2) + "\" y2=\"" +
                       num(it.y2) + "\"" + stroke + "/>";
                break;
            case Item::Rect:
                svg += "<rect x=\"" + num(std::min(it.x1, it.x2)) + "\" y=\"" + num(std::min(it.y1, it.y2)) +
                       "\" width=\"" + num(std::fabs(it.x2 - it.x1)) + "\" height=\"" + num(std::fabs(it.y2 - it.y1)) +
                       "\"" + fill + stroke + "/>";
                break;
            case Item::Circle:
                svg += "<circle cx=\"" + num(it.x1) + "\" cy=\"" + num(it.y1) + "\" r=\"" + num(it.r) + "\"" + fill +
                       stroke + "/>";
                break;
            case Item::Dots: {
                std::string d;
                for (std::size_t k = 0; k < it.xs.size(); ++k)
                    d += (k > 0 ? "L" : "M") + num(it.xs[k]) + " " + num(it.ys[k]) + (it.xs.size() == 1 ? "h0" : "");
                svg += "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + grey(it.ink) + "\" stroke-width=\"" +
                       num(it.size) + "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"" +
                       (it.dash > 0 ? " stroke-dasharray=\"0 " + num(it.dash) + "\"" : "") + "/>";
                break;
            }
            }
        }
        pages.push_back(svg + "</svg>");
    }
    return pages;
}

// ---- the backend ------------------------------------------------------------

namespace {

class PaperBackend final : public Backend {
public:
    PaperBackend(std::string date, std::string time, std::function<bool()> at_wait)
        : Backend(1.0f), date_(std::move(date)), time_(std::move(time)), at_wait_(std::move(at_wait)) {
        canvas_.hold(true);   // listed, never drawn: a printed page reads the list
    }

    void pump(std::deque<Key>&) override {}
    void wait(std::deque<Key>& keys) override {
        if (++waits_ > 1000) throw std::runtime_error("a drawing for paper waits for keys without end");
        if (at_wait_ && at_wait_()) keys.push_back(typed_key(U'x'));
    }
    std::string clock() override { return time_; }
    std::string date_time() override { return date_ + " " + time_; }

private:
    std::string date_, time_;
    std::function<bool()> at_wait_;
    int waits_ = 0;
};

}  // namespace

std::unique_ptr<Backend> make_paper_backend(const std::string& date, const std::string& time,
                                            std::function<bool()> at_wait) {
    return std::make_unique<PaperBackend>(date, time, std::move(at_wait));
}

}  // namespace rt::paper
