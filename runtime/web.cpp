// The web backend: the canvas' pixels copied to the page's <canvas> with
// putImageData, keys from DOM events, glyphs drawn by the browser's own text
// (so they are sharp at any size and pixel ratio and cost no download), and
// the waits of the drill turned into awaits of the page's event loop.
// The page around it is web/shell.html.
#ifdef __EMSCRIPTEN__

#include "runtime/web.hpp"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "runtime/glyph_mask.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"

namespace {

// ---- the page's side ------------------------------------------------------

// Makes glyphs: for each of n characters (asked: code point, size, em width, in
// pixels), the character in white at `size` pixels, its em stretched to the
// em width, as rows from the font's ascent line to its descent line. Each
// comes back in out as a malloc'd buffer of its alpha bytes, its width and its
// height. The page makes them in its own fonts: at once, or in its glyph
// worker (if it has one running) while the page runs on.
EM_JS(void, varnel_make_glyphs_now, (const int* asked, int n, int* out), { Module.varnelMakeGlyphsNow(asked, n, out); });
EM_ASYNC_JS(void, varnel_make_glyphs, (const int* asked, int n, int* out), { await Module.varnelMakeGlyphs(asked, n, out); });
EM_JS(int, varnel_glyph_worker, (), { return Module.varnelGlyphWorker() ? 1 : 0; });

// The local date and time as "2026-12-09 10:31:05". (The C library's localtime
// would first work out the time zone's name, which costs the page's start-up a
// good many milliseconds.)
EM_JS(void, varnel_date_time, (char* out), {
    const d = new Date();
    const two = (n) => String(n).padStart(2, "0");
    stringToUTF8(d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate()) + " " +
                 two(d.getHours()) + ":" + two(d.getMinutes()) + ":" + two(d.getSeconds()), out, 20);
});

// The practice record, kept by the page in its own storage: a finished row, or
// the row of the problem under way (JSON: { columns, row }).
EM_JS(void, varnel_keep_record, (const char* json, int finished), {
    Module.varnelRecord(JSON.parse(UTF8ToString(json)), finished !== 0);
});

// What the drill wrote, as a reader says it, for the page's live region (and
// its read-aloud button): on a new page, or adding to the last announcement's.
EM_JS(void, varnel_announce, (const char* text, int new_page), {
    Module.varnelAnnounce(UTF8ToString(text), new_page !== 0);
});

// Who is practising, as the page knows them: class, number and name apart by
// unit separators (malloc'd).
EM_JS(char*, varnel_pupil, (), {
    const p = Module.varnelPupil();
    const text = [p.class, p.number, p.name].join(String.fromCharCode(31));
    const n = lengthBytesUTF8(text) + 1;
    const out = _malloc(n);
    stringToUTF8(text, out, n);
    return out;
});

// A practice is about to start: the page asks who practises where it does not
// know today, and comes back once it is answered.
EM_ASYNC_JS(void, varnel_ask_pupil, (), { await Module.varnelAskPupil(); });

// The number of a practice starting now, never given before on this device.
EM_JS(int, varnel_next_practice, (), { return Module.varnelNextPractice(); });

// The room the page gives the drill, in device pixels: the window, less what
// its on-screen keypad needs when the band under the drawing is too short.
EM_JS(void, varnel_viewport, (int* dims), {
    const room = Module.varnelRoom();
    HEAP32[dims >> 2] = Math.max(1, Math.round(room.width));
    HEAP32[(dims >> 2) + 1] = Math.max(1, Math.round(room.height));
});

EM_JS(void, varnel_size_canvas, (int w, int h), { Module.varnelSizeCanvas(w, h); });

// Shows the rectangle (x, y, w, h) of the whole canvas' RGBA pixels, width x height.
EM_JS(void, varnel_put_pixels, (const void* rgba, int width, int height, int x, int y, int w, int h, int ops), {
    const data = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    Module.varnelPut(new ImageData(data, width, height), x, y, w, h, ops);
});

// The next key the page has queued, by its name ("Enter", "F3", or a character
// typed as text), or null.
EM_JS(char*, varnel_next_key, (), {
    const k = Module.varnelKeys.shift();
    if (k === undefined) return 0;
    const n = lengthBytesUTF8(k) + 1;
    const p = _malloc(n);
    stringToUTF8(k, p, n);
    return p;
});

EM_JS(int, varnel_take_resize, (), {
    const r = Module.varnelResized;
    Module.varnelResized = false;
    return r ? 1 : 0;
});

EM_JS(void, varnel_input_at, (int x, int y, int size), { Module.varnelInputAt(x, y, size); });

EM_JS(void, varnel_text_input, (int on), { Module.varnelTextInput(on !== 0); });

// What the input method composes, when it changed since the last call (else null).
EM_JS(char*, varnel_take_composing, (), {
    if (!Module.varnelComposingChanged) return 0;
    Module.varnelComposingChanged = false;
    const n = lengthBytesUTF8(Module.varnelComposing) + 1;
    const p = _malloc(n);
    stringToUTF8(Module.varnelComposing, p, n);
    return p;
});

// The keypad's rows for the page to build its buttons from: rows on lines, keys
// apart by tabs, and a key's label, key name and span apart by unit separators
// (written as a char code: emscripten's metadata JSON does not carry a \x escape).
EM_JS(void, varnel_keypad, (const char* rows), {
    Module.varnelKeypad(UTF8ToString(rows).split('\n').map(
        (row) => row.split('\t').map((k) => { const [label, key, span] = k.split(String.fromCharCode(31)); return {label, key, span: +span}; })));
});

// Lets the page run once (its events, its painting) and comes back at once.
EM_ASYNC_JS(void, varnel_yield, (), {
    await new Promise((resolve) => {
        const channel = new MessageChannel();
        channel.port1.onmessage = () => resolve();
        channel.port2.postMessage(0);
    });
});

// Sleeps until a key, a composition or a resize arrives, or ms pass.
EM_ASYNC_JS(void, varnel_wait, (int ms), {
    if (Module.varnelKeys.length || Module.varnelResized || Module.varnelComposingChanged) return;
    await new Promise(resolve => {
        const done = () => { clearTimeout(timer); Module.varnelWake = null; resolve(); };
        const timer = setTimeout(done, ms);
        Module.varnelWake = done;
    });
});

}  // namespace

namespace rt {

// ---- glyphs -----------------------------------------------------------------

// The drawing is held (Canvas::hold) until the backend shows it: the glyphs
// it draws that are not made yet are wanted, made all at once, and then the
// drawing is drawn. A glyph drawn at once (a layer's) is made at once.
class GlyphCache {
public:
    const Mask& get(char32_t ch, int cell_w, int cell_h, int full_w) {
        const GlyphKey key{ch, cell_w, cell_h, full_w};
        auto found = glyphs_.find(key);
        if (found != glyphs_.end()) return found->second;
        if (blank(ch)) return glyphs_.emplace(key, fit_glyph({}, ch, cell_w, cell_h)).first->second;
        make_now({key});
        return glyphs_.at(key);
    }

    void want(const GlyphKey& key) {
        if (blank(std::get<0>(key)) || glyphs_.contains(key)) return;
        if (std::find(wanted_.begin(), wanted_.end(), key) == wanted_.end()) wanted_.push_back(key);
    }

    // Makes the wanted glyphs: in the page's glyph worker while the page runs
    // on (off_thread), or at once. (Only a wait may let the page run: drawing
    // makes its glyphs at once, so that it never has to be able to wait.)
    void make_wanted(bool off_thread) {
        std::vector<GlyphKey> keys;
        keys.swap(wanted_);
        if (keys.empty()) return;
        if (!off_thread) return make_now(keys);
        std::vector<int> asked = asked_of(keys), out(keys.size() * 3);
        varnel_make_glyphs(asked.data(), static_cast<int>(keys.size()), out.data());
        keep(keys, out);
    }

private:
    static bool blank(char32_t ch) { return ch == 0 || ch == U' ' || ch == U'\u3000'; }

    static std::vector<int> asked_of(const std::vector<GlyphKey>& keys) {
        std::vector<int> asked;
        for (const auto& [ch, cell_w, cell_h, full_w] : keys) asked.insert(asked.end(), {static_cast<int>(ch), cell_h, full_w});
        return asked;
    }

    void make_now(const std::vector<GlyphKey>& keys) {
        std::vector<int> asked = asked_of(keys), out(keys.size() * 3);
        varnel_make_glyphs_now(asked.data(), static_cast<int>(keys.size()), out.data());
        keep(keys, out);
    }

    // Fits what the page made to the cells, and frees its buffers.
    void keep(const std::vector<GlyphKey>& keys, const std::vector<int>& out) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            auto* alpha = reinterpret_cast<unsigned char*>(static_cast<std::uintptr_t>(out[3 * i]));
            const int w = out[3 * i + 1], h = out[3 * i + 2];
            const Mask raw{w, h, std::vector<unsigned char>(alpha, alpha + static_cast<std::size_t>(w) * h)};
            std::free(alpha);
            const auto& [ch, cell_w, cell_h, full_w] = keys[i];
            glyphs_.emplace(keys[i], fit_glyph(raw, ch, cell_w, cell_h));
        }
    }

    std::unordered_map<GlyphKey, Mask, GlyphKeyHash> glyphs_;
    std::vector<GlyphKey> wanted_;
};

void GlyphCacheDeleter::operator()(GlyphCache* cache) const { delete cache; }

std::unique_ptr<GlyphCache, GlyphCacheDeleter> make_glyph_cache() {
    return std::unique_ptr<GlyphCache, GlyphCacheDeleter>(new GlyphCache());
}

void draw_glyph(GlyphCache& cache, std::uint32_t* pixels, int width, int height, int x, int y, char32_t ch,
                int cell_w, int cell_h, int full_w, Rgb c) {
    blend_mask(cache.get(ch, cell_w, cell_h, full_w), pixels, width, height, x, y, c);
}

// ---- the backend ------------------------------------------------------------

namespace {

float viewport_scale() {
    int dims[2];
    varnel_viewport(dims);
    return std::min(static_cast<float>(dims[0]) / kScreenW, static_cast<float>(dims[1]) / kScreenH);
}

class WebBackend final : public Backend {
public:
    WebBackend() : Backend(viewport_scale()) {
        canvas_.hold(true);
        fit();
    }

    void pump(std::deque<Key>& keys) override {
        if (varnel_take_resize()) fit();
        if (char* text = varnel_take_composing()) {
            composing_ = text_on_ ? text : "";
            std::free(text);
            idle_waits_ = 0;
        }
        while (char* k = varnel_next_key()) {
            Key key = key_named(k);
            std::free(k);
            if (key.fn || !key.text.empty() || key.typed) {
                keys.push_back(std::move(key));
                idle_waits_ = 0;
            }
        }
    }

    // Shows what changed, then sleeps until a key comes: briefly while the pupil
    // is typing, longer once the page has been idle for a while. The program's
    // first wait (start-up's flush of keys typed early) only lets the page run
    // once, so that start-up and the first screen are tasks of their own: the
    // drill has nothing to show yet, and its first screen is what the pupil
    // is waiting for.
    void wait(std::deque<Key>& keys) override {
        if (varnel_take_resize()) fit();   // the first screen goes out at its final size
        show();
        if (started_) varnel_wait(idle_waits_ < 60 ? 16 : 250);
        else varnel_yield();
        started_ = true;
        ++idle_waits_;
        pump(keys);
    }

    void keypad(const PadRows& rows) override {
        std::string text;
        for (const auto& row : rows) {
            if (!text.empty()) text += '\n';
            for (std::size_t i = 0; i < row.size(); ++i)
                text += (i ? "\t" : "") + row[i].label + '\x1f' + row[i].key + '\x1f' + std::to_string(row[i].span);
        }
        varnel_keypad(text.c_str());
    }

    std::string date_time() override {
        char text[20];
        varnel_date_time(text);
        return text;
    }

    void announce(const std::string& spoken, bool new_page) override { varnel_announce(spoken.c_str(), new_page); }

    void keep_row(const RecordRow& row) override { keep(row, true); }
    void keep_pending(const RecordRow& row) override { keep(row, false); }

    Pupil pupil() override {
        char* text = varnel_pupil();
        std::string fields = text;
        std::free(text);
        const auto first = fields.find('\x1f'), second = fields.find('\x1f', first + 1);
        return {fields.substr(0, first), fields.substr(first + 1, second - first - 1), fields.substr(second + 1)};
    }

    void ask_pupil() override {
        show();
        varnel_ask_pupil();
    }

    int next_practice(int /*run*/) override { return varnel_next_practice(); }

    void text_input(bool on) override {
        if (on == text_on_) return;
        Backend::text_input(on);
        varnel_text_input(on);
    }

    // The hidden field's line reaches down to the underline of a composition
    // shown in the cell: the input method's candidates open below both.
    void cursor_at(float x, float y) override {
        float s = canvas_.scale();
        varnel_input_at(static_cast<int>(x * s), static_cast<int>((y + 4) * s), static_cast<int>(16 * s));
    }

private:
    // Shows what was drawn. A screen's new glyphs are made all at once before
    // it is drawn: the first screen's in the page's glyph worker, while the
    // page (busy with its start) runs on; the others at once, the sooner to
    // answer a key.
    void show() {
        GlyphCache& glyphs = canvas_.glyphs();
        canvas_.held_glyphs([&](const GlyphKey& key) { glyphs.want(key); });
        glyphs.make_wanted(!first_shown_ && varnel_glyph_worker());
        canvas_.draw_held();
        present();
    }

    static void keep(const RecordRow& row, bool finished) {
        const auto list = [](const auto& fields) {
            std::string json = "[";
            for (const auto& f : fields) json += (json.size() > 1 ? "," : "") + json_quoted(f);
            return json + "]";
        };
        const std::string json = "{\"columns\":" + list(kRecordColumns) + ",\"row\":" + list(row) + "}";
        varnel_keep_record(json.c_str(), finished);
    }

    // Fits the dot screen into the viewport's device pixels with one scale. A
    // canvas just sized holds no pixels (kNothing): the page's black shows
    // through, which is all there is to show until something is drawn.
    void fit() {
        canvas_.set_scale(viewport_scale());
        varnel_size_canvas(canvas_.width(), canvas_.height());
        shown_.reset(canvas_.width(), canvas_.height(), kNothing);
        canvas_.take_dirty();
        pending_ = {};
        if (canvas_.op_count() > 0) pending_ = {0, 0, canvas_.width(), canvas_.height()};
    }

    void present() {
        PixelRect d = canvas_.take_dirty();
        if (!d.empty()) {
            if (pending_.empty()) pending_ = d;
            else {
                int x0 = std::min(pending_.x, d.x), y0 = std::min(pending_.y, d.y);
                int x1 = std::max(pending_.x + pending_.w, d.x + d.w), y1 = std::max(pending_.y + pending_.h, d.y + d.h);
                pending_ = {x0, y0, x1 - x0, y1 - y0};
            }
        }
        if (pending_.empty()) return;
        PixelRect r = pending_;
        pending_ = {};
        std::uint32_t* shown = shown_.make(r.y, r.y + r.h);
        // One pass over the region: each pixel as the page's RGBA bytes, into
        // shown_ where it differs, and the rectangle of the pixels that look
        // different (black over nothing looks the same).
        const int width = canvas_.width();
        const std::uint32_t* pixels = canvas_.rows(r.y, r.y + r.h);
        int x0 = width, x1 = -1, y0 = -1, y1 = -1;
        for (int y = r.y; y < r.y + r.h; ++y) {
            const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
            std::uint32_t* seen = shown + static_cast<std::size_t>(y) * width;
            int first = -1, last = -1;
            for (int x = r.x; x < r.x + r.w; ++x) {
                const std::uint32_t p = row[x];
                const std::uint32_t rgba = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
                if (rgba == seen[x]) continue;
                if (seen[x] != kNothing || rgba != kBlack) {
                    if (first < 0) first = x;
                    last = x;
                }
                seen[x] = rgba;
            }
            if (first < 0) continue;
            if (y0 < 0) y0 = y;
            y1 = y;
            x0 = std::min(x0, first);
            x1 = std::max(x1, last);
        }
        if (y0 < 0) return;
        varnel_put_pixels(shown, width, canvas_.height(), x0, y0, x1 - x0 + 1, y1 - y0 + 1,
                          static_cast<int>(canvas_.op_count()));
        first_shown_ = true;
    }

    // What the page's canvas holds, as RGBA bytes (little-endian words), each
    // row made (as nothing) when a frame first reaches it.
    static constexpr std::uint32_t kNothing = 0, kBlack = 0xFF000000u;
    LazyImage shown_;
    PixelRect pending_;
    int idle_waits_ = 0;
    bool started_ = false, first_shown_ = false;   // the first wait, the first frame
};

}  // namespace

std::unique_ptr<Backend> make_web() { return std::make_unique<WebBackend>(); }

}  // namespace rt

#endif  // __EMSCRIPTEN__
