// A document as PDF, through cairo's PDF surface: text as text in IPAGothic
// (FreeType; cairo embeds the glyphs used, as a subset), lines as lines.
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

#include "runtime/font.hpp"
#include "runtime/paper.hpp"
#include "runtime/text.hpp"

namespace rt::paper {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

void stroke_and_fill(cairo_t* cr, const Item& it) {
    if (it.fill >= 0) {
        cairo_set_source_rgb(cr, it.fill, it.fill, it.fill);
        if (it.size > 0) cairo_fill_preserve(cr);
        else cairo_fill(cr);
    }
    if (it.size > 0) {
        cairo_set_source_rgb(cr, it.ink, it.ink, it.ink);
        cairo_set_line_width(cr, it.size);
        const double dash = it.dash;
        cairo_set_dash(cr, &dash, it.dash > 0 ? 1 : 0, 0);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
}

// A text whose characters each stand where the drill put them: its glyphs
// from the font, placed one by one, and its characters kept with them (so that
// the PDF's text reads back).
void show(cairo_t* cr, cairo_scaled_font_t* font, const Item& it) {
    cairo_glyph_t* glyphs = nullptr;
    int glyph_count = 0, cluster_count = 0;
    cairo_text_cluster_t* clusters = nullptr;
    cairo_text_cluster_flags_t flags{};
    if (cairo_scaled_font_text_to_glyphs(font, it.x1, it.y1, it.text.data(), static_cast<int>(it.text.size()), &glyphs,
                                         &glyph_count, &clusters, &cluster_count, &flags) != CAIRO_STATUS_SUCCESS)
        return;
    if (!it.xs.empty() && static_cast<std::size_t>(glyph_count) == it.xs.size())
        for (int i = 0; i < glyph_count; ++i) glyphs[i].x = it.xs[static_cast<std::size_t>(i)];
    cairo_set_source_rgb(cr, it.ink, it.ink, it.ink);
    cairo_show_text_glyphs(cr, it.text.data(), static_cast<int>(it.text.size()), glyphs, glyph_count, clusters,
                           cluster_count, flags);
    cairo_glyph_free(glyphs);
    cairo_text_cluster_free(clusters);
}

// The items in the order they are best written: a text that nothing drawn
// after it covers goes last (text hides nothing), so that the texts are
// written together, as are the lines between them; and such texts on one line
// of one size (a number line's scale, its numbers drawn between its ticks) as
// one text, each character where it stood.
std::vector<Item> writing_order(const Page& page) {
    struct Box {
        float l, t, r, b;
    };
    const auto box = [](const Item& it) -> Box {
        if (it.kind == Item::Text) {
            const float right = (it.xs.empty() ? it.x1 : it.xs.back()) + it.size;
            return {it.x1, it.y1 - it.size, right, it.y1 + it.size * 0.25f};
        }
        if (it.kind == Item::Circle) return {it.x1 - it.r, it.y1 - it.r, it.x1 + it.r, it.y1 + it.r};
        return {std::min(it.x1, it.x2), std::min(it.y1, it.y2), std::max(it.x1, it.x2), std::max(it.y1, it.y2)};
    };
    std::vector<std::size_t> fills;   // the items that cover what lies under them
    for (std::size_t i = 0; i < page.items.size(); ++i)
        if (page.items[i].fill >= 0) fills.push_back(i);
    std::vector<Item> order, texts;
    for (std::size_t i = 0; i < page.items.size(); ++i) {
        const Item& it = page.items[i];
        // White on white: an erasure over nothing drawn before it is nothing.
        if (it.fill == 1 && it.size == 0) {
            const Box a = box(it);
            bool over = false;
            for (std::size_t j = 0; j < i && !over; ++j) {
                const Box b = box(page.items[j]);
                over = a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b;
            }
            if (!over) continue;
        }
        bool covered = false;
        if (it.kind == Item::Text) {
            const Box a = box(it);
            for (std::size_t f : fills) {
                if (f <= i) continue;
                const Box b = box(page.items[f]);
                if (a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b) {
                    covered = true;
                    break;
                }
            }
        }
        (it.kind == Item::Text && !covered ? texts : order).push_back(it);
    }
    std::vector<Item> lines;   // the texts merged line by line
    for (Item& t : texts) {
        const auto same = [&](const Item& l) {
            return !t.xs.empty() && !l.xs.empty() && l.y1 == t.y1 && l.size == t.size && l.ink == t.ink;
        };
        auto line = std::find_if(lines.begin(), lines.end(), same);
        if (line == lines.end()) {
            lines.push_back(std::move(t));
            continue;
        }
        // Its characters into the line's, in the order of their places.
        std::vector<std::pair<float, std::string>> chars;
        for (const Item* from : {&*line, &t})
            for (std::size_t at = 0, k = 0; at < from->text.size(); ++k) {
                const std::size_t start = at;
                sjis::next_utf8(from->text, at);
                chars.push_back({from->xs[k], from->text.substr(start, at - start)});
            }
        std::stable_sort(chars.begin(), chars.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        line->text.clear();
        line->xs.clear();
        for (const auto& [x, c] : chars) line->text += c, line->xs.push_back(x);
        line->x1 = line->xs.front();
    }
    order.insert(order.end(), lines.begin(), lines.end());
    return order;
}

// Lines, or outlined boxes, of one stroke: written as one path.
bool same_stroke(const Item& a, const Item& b) {
    const bool outline = a.kind == Item::Rect && a.fill < 0;
    return (a.kind == Item::Line || outline) && b.kind == a.kind && b.fill == a.fill && a.size == b.size &&
           a.ink == b.ink && a.dash == b.dash;
}

}  // namespace

std::string write_pdf(const Document& document, const std::string& path) {
    // FreeType lives as long as the program, and the face as long as cairo
    // keeps its font (cairo lets go of it when it will).
    static FT_Library library = nullptr;
    if (!library && FT_Init_FreeType(&library) != 0) return "FreeType cannot start";
    FT_Face face = nullptr;
    if (FT_New_Face(library, ipagothic_path().c_str(), 0, &face) != 0) return "the IPAGothic font cannot be read";
    cairo_font_face_t* font_face = cairo_ft_font_face_create_for_ft_face(face, 0);
    static const cairo_user_data_key_t kFace{};
    cairo_font_face_set_user_data(font_face, &kFace, face, [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); });

    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kPageW * kPointsPerMm, kPageH * kPointsPerMm);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, document.title.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "varnel");
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, kPointsPerMm, kPointsPerMm);
    cairo_set_font_face(cr, font_face);
    for (const Page& page : document.pages) {
        const std::vector<Item> order = writing_order(page);
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Item& it = order[i];
            switch (it.kind) {
            case Item::Text:
                cairo_set_font_size(cr, it.size);
                show(cr, cairo_get_scaled_font(cr), it);
                break;
            case Item::Line:   // with the lines of the same stroke after it, as one path
                cairo_move_to(cr, it.x1, it.y1);
                cairo_line_to(cr, it.x2, it.y2);
                for (; i + 1 < order.size() && same_stroke(it, order[i + 1]); ++i) {
                    cairo_move_to(cr, order[i + 1].x1, order[i + 1].y1);
                    cairo_line_to(cr, order[i + 1].x2, order[i + 1].y2);
                }
                stroke_and_fill(cr, it);
                break;
            case Item::Rect:
                cairo_rectangle(cr, it.x1, it.y1, it.x2 - it.x1, it.y2 - it.y1);
                for (; i + 1 < order.size() && same_stroke(it, order[i + 1]); ++i) {
                    const Item& r = order[i + 1];
                    cairo_rectangle(cr, r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1);
                }
                stroke_and_fill(cr, it);
                break;
            case Item::Circle:
                cairo_new_sub_path(cr);
                cairo_arc(cr, it.x1, it.y1, it.r, 0, 6.283185307);
                stroke_and_fill(cr, it);
                break;
            case Item::Dots: {   // a line, dotted by dashes of no length with round ends
                for (std::size_t k = 0; k < it.xs.size(); ++k) {
                    if (k == 0) cairo_move_to(cr, it.xs[k], it.ys[k]);
                    cairo_line_to(cr, it.xs[k], it.ys[k]);
                }
                const double dots[2] = {0, it.dash};
                cairo_set_source_rgb(cr, it.ink, it.ink, it.ink);
                cairo_set_line_width(cr, it.size);
                cairo_set_dash(cr, dots, it.dash > 0 ? 2 : 0, 0);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                cairo_stroke(cr);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
                break;
            }
            }
        }
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    cairo_font_face_destroy(font_face);
    return status == CAIRO_STATUS_SUCCESS ? "" : cairo_status_to_string(status);
}

}  // namespace rt::paper
