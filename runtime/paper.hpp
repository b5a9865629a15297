// Paper: printed A4 pages of vector drawing (text as text, lines as lines),
// black on white, in millimetres from a sheet's top-left corner. The drill's
// drawing reaches paper exactly as the screen drew it (Canvas::drawing),
// scaled, its colours mapped to greys and line styles that stay apart in
// black and white, and every text black. A document is written as PDF
// (natively, through cairo, IPAGothic embedded as a subset) or as SVG pages
// (for a browser's print dialog), from the same items.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/backend.hpp"
#include "runtime/canvas.hpp"

namespace rt::paper {

inline constexpr float kPageW = 210, kPageH = 297;   // A4 portrait, mm

struct Item {
    enum Kind { Text, Line, Rect, Circle, Dots } kind = Text;
    // Text: its baseline starts at (x1, y1); Line: from (x1, y1) to (x2, y2);
    // Rect: the corners (x1, y1) and (x2, y2); Circle: the centre (x1, y1),
    // radius r; Dots: a line through (xs[i], ys[i]), `size` wide, dotted
    // every `dash` (0: whole): a dotted hop.
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    float size = 0;          // Text: the em; the others: the stroke's width (0: no stroke)
    float ink = 0;           // the grey of a stroke or text: 0 black to 1 white
    float fill = -1;         // Rect, Circle: the grey inside (-1: none)
    float dash = 0;          // a stroke's dashes (0: solid); Dots: the dots' spacing
    std::string text;        // Text: UTF-8
    std::vector<float> xs;   // Text: where each character starts, when placed one by one; Dots: the dots
    std::vector<float> ys;   // Dots
};

struct Page {
    std::vector<Item> items;
    void text(float x, float baseline, float em, const std::string& utf8);
    void rect(float x1, float y1, float x2, float y2, float stroke, float fill = -1);
    void line(float x1, float y1, float x2, float y2, float stroke);
};

struct Document {
    std::string title;
    std::vector<Page> pages;
};

// The drill's drawing, in dots, onto a page: the dot (left, top) at (x, y),
// `mm` millimetres a dot.
void place(Page& page, const std::vector<Canvas::Drawn>& drawing, float left, float top, float x, float y, float mm);

// Each page as an SVG document 210 x 297 mm (its text in the browser's CJK font).
std::vector<std::string> svg_pages(const Document& document);

#ifndef __EMSCRIPTEN__
// Writes the document as a PDF file: "" or what went wrong.
std::string write_pdf(const Document& document, const std::string& path);
#endif

// A backend for drawing that goes to paper: a screen of the drill's size whose
// drawing is only listed, never turned into pixels; the clock fixed at `time`
// ("hh:mm:ss") and the date at `date` ("2026-12-10"); no record. When the
// drill waits for a key, `at_wait` says whether one comes (a key pause ended).
std::unique_ptr<Backend> make_paper_backend(const std::string& date, const std::string& time,
                                            std::function<bool()> at_wait);

}  // namespace rt::paper
