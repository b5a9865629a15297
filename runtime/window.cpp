#include "runtime/window.hpp"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <signal.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "runtime/record_file.hpp"
#include "runtime/screen.hpp"

namespace rt {

namespace {

// Starts SDL's video on a driver that shows something. Left to itself SDL
// falls back, where there is no display, to a driver that shows nothing, and
// the program would wait at a menu nobody sees; such a driver is taken only
// when SDL_VIDEODRIVER names it.
void open_video() {
    if (const char* asked = std::getenv("SDL_VIDEODRIVER"); asked && *asked) {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) throw std::runtime_error(std::string("SDL_Init: ") + SDL_GetError());
        return;
    }
    // Without either variable a Wayland client cannot find its compositor (and
    // its library says so on stderr), so that driver is not tried.
    const bool wayland_reachable = std::getenv("WAYLAND_DISPLAY") || std::getenv("XDG_RUNTIME_DIR");
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string_view name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
        if (name == "wayland" && !wayland_reachable) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, name.data());
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return;
    }
    SDL_Quit();
    throw NoDisplay{};
}

// The character a key types while text input is off, when SDL sends no text:
// the key's character on the keyboard's layout (a capital with Shift or Caps
// Lock), and the keypad's digits and signs. 0 for any other key.
char32_t character_of(const SDL_Keysym& k) {
    if (k.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return 0;
    if (k.sym >= SDLK_KP_1 && k.sym <= SDLK_KP_9) return U'1' + (k.sym - SDLK_KP_1);
    switch (k.sym) {
    case SDLK_KP_0: return U'0';
    case SDLK_KP_PERIOD: return U'.';
    case SDLK_KP_COMMA: return U',';
    case SDLK_KP_PLUS: return U'+';
    case SDLK_KP_MINUS: return U'-';
    case SDLK_KP_MULTIPLY: return U'*';
    case SDLK_KP_DIVIDE: return U'/';
    default: break;
    }
    if ((k.sym & SDLK_SCANCODE_MASK) || k.sym < 0x20 || k.sym == 0x7F) return 0;   // not a character
    const bool capital = ((k.mod & KMOD_SHIFT) != 0) != ((k.mod & KMOD_CAPS) != 0);
    if (capital && k.sym >= 'a' && k.sym <= 'z') return static_cast<char32_t>(k.sym - 'a' + 'A');
    return static_cast<char32_t>(k.sym);
}

// A hang-up (the session ending: a pupil logging off) is taken as the close
// button: the program ends as it would then, its problem under way kept as
// its row.
volatile std::sig_atomic_t hung_up = 0;
void on_hang_up(int) { hung_up = 1; }

// The X display gone (the session ended under the program): the program can
// no longer close its window, and Xlib would end it on the spot, its
// destructors stuck on the dead display. The problem under way is kept as its
// row, and the program ends at once.
RecordFile* record_of_window = nullptr;
int on_display_gone(Display*) {
    if (record_of_window) record_of_window->leave();
    std::fputs("varnel: the display has gone; the program ends\n", stderr);
    std::_Exit(1);
}

// An X protocol error. SDL wakes its own wait for events by sending its window
// a message on a second connection to the display. When the close button ends
// the program, that message is sent as the close comes in, and the display
// may take the window's destruction on the first connection before it: the
// message then finds no window (BadWindow on X_SendEvent), and Xlib's own
// handler would end the program with status 1 as it quits. A message to a
// window that is gone is one nobody needs. Any other error ends the program
// as Xlib would, its problem under way kept as its row first. Installed
// before SDL starts, so that SDL's own handler passes errors on to this one.
int on_x_error(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    if (record_of_window) record_of_window->leave();
    char what[256] = "";
    XGetErrorText(display, error->error_code, what, sizeof what);
    std::fprintf(stderr, "varnel: X error %s (request %d, resource 0x%lx); the program ends\n", what,
                 error->request_code, error->resourceid);
    std::_Exit(1);
}

// A window of the dot screen's shape at four fifths of the usable area, centred:
// what "window" opens, and what leaving fullscreen comes back to.
SDL_Rect framed_rect(const SDL_Rect& usable) {
    float s = 0.8f * std::min(static_cast<float>(usable.w) / kScreenW, static_cast<float>(usable.h) / kScreenH);
    int w = static_cast<int>(kScreenW * s), h = static_cast<int>(kScreenH * s);
    return {usable.x + (usable.w - w) / 2, usable.y + (usable.h - h) / 2, w, h};
}

class WindowBackend final : public Backend {
public:
    // The canvas gets its pixels when the window's size is known (fit).
    WindowBackend(const std::string& title, WindowMode mode)
        : Backend(0.0f), title_(title), mode_(mode), pad_(0.0f, kScreenW, kScreenH - kKeypadTop),
          record_(default_record_path(), title) {
        struct sigaction hang_up {};
        hang_up.sa_handler = on_hang_up;
        sigemptyset(&hang_up.sa_mask);
        sigaction(SIGHUP, &hang_up, nullptr);
        // A composition of any length comes whole (SDL_TEXTEDITING_EXT).
        SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
        XSetErrorHandler(on_x_error);
        open_video();
        // The canvas is copied straight into the window's own framebuffer. Left
        // to itself SDL would put an OpenGL texture under that framebuffer, and
        // where OpenGL is emulated in software (a virtual display, a school
        // machine without a graphics driver) that loads a compiler of a hundred
        // megabytes and more.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SDL_Rect usable{0, 0, kScreenW, kScreenH};
        SDL_GetDisplayUsableBounds(0, &usable);
        framed_ = framed_rect(usable);
        // Without a window manager the maximised and fullscreen flags alone are
        // ignored: open at the usable bounds or the whole display too.
        SDL_Rect at = framed_;
        Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        if (mode == WindowMode::maximised) {
            flags |= SDL_WINDOW_MAXIMIZED;
            at = usable;
        } else if (mode == WindowMode::fullscreen) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
            SDL_GetDisplayBounds(0, &at);
        }
        window_ = SDL_CreateWindow(title.c_str(), at.x, at.y, at.w, at.h, flags);
        if (!window_) throw std::runtime_error(std::string("SDL_CreateWindow: ") + SDL_GetError());
        SDL_DisplayMode shown;
        if (SDL_GetCurrentDisplayMode(0, &shown) == 0 && shown.refresh_rate > 0) frame_ms_ = 1000 / shown.refresh_rate;
        SDL_StopTextInput();   // until the drill takes text (SDL starts with it on)
        if (const char* log = std::getenv("VARNEL_PRESENT_LOG")) present_log_ = std::fopen(log, "a");
        if (const char* log = std::getenv("VARNEL_WAIT_LOG")) wait_log_ = std::fopen(log, "a");
        if (const char* pad = std::getenv("VARNEL_KEYPAD")) pad_shown_ = std::string_view(pad) == "1";
        fit();
        if (!screen_) throw std::runtime_error(std::string("SDL_GetWindowSurface: ") + SDL_GetError());
        record_.ready();   // (which turns the problems of programs that ended unasked into their rows)
        say_trouble();
        record_of_window = &record_;
        XSetIOErrorHandler(on_display_gone);
    }

    ~WindowBackend() override {
        record_of_window = nullptr;
        if (present_log_) std::fclose(present_log_);
        if (wait_log_) std::fclose(wait_log_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // The drill maximises its window at start-up; the teacher's choice of a
    // smaller window or fullscreen stands.
    void maximize() override {
        if (mode_ == WindowMode::maximised && !fullscreen()) SDL_MaximizeWindow(window_);
    }

    void keypad(const PadRows& rows) override {
        pad_rows_ = rows;
        draw_pad();
    }

    void keep_row(const RecordRow& row) override {
        record_.append(row);
        say_trouble();
    }
    void keep_pending(const RecordRow& row) override {
        record_.under_way(row);
        say_trouble();
    }
    int next_practice(int run) override {
        const int n = record_.next_practice();
        return n > 0 ? n : run;
    }

    // On, SDL sends typed text and what the input method composes; off, keys
    // pass the input method by and their characters are read from the keys.
    void text_input(bool on) override {
        if (on == text_on_) return;
        Backend::text_input(on);
        if (on) {
            SDL_StartTextInput();
            if (input_rect_.w > 0) SDL_SetTextInputRect(&input_rect_);
        } else {
            SDL_StopTextInput();
        }
    }

    void cursor_at(float x, float y) override {
        // The cell and the underline of a composition shown there: the input
        // method's candidates go below both.
        SDL_Rect r{offset_x_ + static_cast<int>(x * canvas_.scale()), offset_y_ + static_cast<int>(y * canvas_.scale()),
                   static_cast<int>(16 * canvas_.scale()), static_cast<int>(20 * canvas_.scale())};
        if (r.x == input_rect_.x && r.y == input_rect_.y && r.w == input_rect_.w) return;
        input_rect_ = r;
        SDL_SetTextInputRect(&r);
    }

    void pump(std::deque<Key>& keys) override {
        if (hung_up) throw ProgramEnd{};
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e, keys);
    }

    // The drill polls in a loop. While it is busy (a key came, or the screen
    // changed, in the last two polls) a poll returns at once; a frame held back
    // for the display's next frame waits only for that; otherwise the program
    // is idle and sleeps until the window has something for it.
    void wait(std::deque<Key>& keys) override {
        const int frame_in = present();
        quiet_polls_ = busy_ ? 0 : quiet_polls_ + 1;
        busy_ = false;
        if (quiet_polls_ >= 2 && frame_in < 0 && shown_anything_) log_wait();
        int timeout = quiet_polls_ < 2 ? 0 : kIdleWaitMs;
        if (frame_in >= 0) timeout = std::min(timeout, frame_in);
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, timeout)) {
            handle(e, keys);
            pump(keys);
        }
        if (hung_up) throw ProgramEnd{};
    }

private:
    void handle(const SDL_Event& e, std::deque<Key>& keys) {
        const std::size_t had = keys.size();
        const std::string was = composing_;
        react(e, keys);
        if (keys.size() > had) keys_given_ += static_cast<long>(keys.size() - had);
        if (keys.size() != had || composing_ != was) busy_ = true;
    }

    void react(const SDL_Event& e, std::deque<Key>& keys) {
        switch (e.type) {
        case SDL_QUIT:
            throw ProgramEnd{};
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) fit();
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) repaint_ = true;
            break;
        case SDL_KEYDOWN: {
            SDL_Keycode k = e.key.keysym.sym;
            bool ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
            bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            if ((k == SDLK_RETURN || k == SDLK_KP_ENTER) && alt) {
                if (e.key.repeat == 0) toggle_fullscreen();
            } else if (k == SDLK_RETURN || k == SDLK_KP_ENTER) keys.push_back(key_named("Enter"));
            else if (k == SDLK_BACKSPACE) keys.push_back(key_named("BS"));
            else if (k == SDLK_DELETE) keys.push_back(key_named("Del"));
            else if (k == SDLK_l && ctrl) keys.push_back(key_named("Ctrl+L"));
            else if (k >= SDLK_F1 && k <= SDLK_F12) keys.push_back(key_named("F" + std::to_string(k - SDLK_F1 + 1)));
            else if (!text_on_) {
                if (char32_t u = character_of(e.key.keysym)) keys.push_back(typed_key(u));
            }
            break;
        }
        // The keypad: a touch shows it, and then its keys are pressed by touch
        // or by the mouse (a touch's own mouse events are not a second press).
        case SDL_FINGERDOWN:
            if (!pad_shown_) {
                pad_shown_ = true;
                draw_pad();
            } else {
                press_pad(e.tfinger.x * screen_->w, e.tfinger.y * screen_->h, keys);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.which != SDL_TOUCH_MOUSEID && e.button.button == SDL_BUTTON_LEFT) {
                int w = 0, h = 0;
                SDL_GetWindowSize(window_, &w, &h);
                press_pad(e.button.x * static_cast<float>(screen_->w) / std::max(w, 1),
                          e.button.y * static_cast<float>(screen_->h) / std::max(h, 1), keys);
            }
            break;
        case SDL_FINGERUP:
        case SDL_MOUSEBUTTONUP:
            if (pad_pressed_ >= 0) {
                pad_pressed_ = -1;
                draw_pad();
            }
            break;
        // Text committed ends the composition it came from. The commit of a
        // composition the keypad has already taken is not typed again.
        case SDL_TEXTINPUT: {
            const bool taken = e.text.text == taken_ && SDL_GetTicks() - taken_at_ < kTakenMs;
            taken_.clear();
            composing_.clear();
            if (!taken) push_typed(e.text.text, keys);
            break;
        }
        case SDL_TEXTEDITING:
            compose(e.edit.text);
            break;
        case SDL_TEXTEDITING_EXT:
            compose(e.editExt.text ? e.editExt.text : "");
            SDL_free(e.editExt.text);
            break;
        default:
            break;
        }
    }

    // The keypad's keys in the band's dots: the rows share its height, and a
    // row's columns (a key may span several) share the screen's width.
    struct PadSpot {
        float x, y, w, h;
        const PadKey* key;
    };
    std::vector<PadSpot> pad_spots() const {
        std::vector<PadSpot> spots;
        int columns = 1;
        for (const auto& row : pad_rows_) {
            int n = 0;
            for (const PadKey& k : row) n += k.span;
            columns = std::max(columns, n);
        }
        const float pitch_x = static_cast<float>(kScreenW) / columns;
        const float pitch_y = static_cast<float>(kScreenH - kKeypadTop) / std::max<std::size_t>(pad_rows_.size(), 1);
        for (std::size_t r = 0; r < pad_rows_.size(); ++r) {
            int column = 0;
            for (const PadKey& k : pad_rows_[r]) {
                spots.push_back({column * pitch_x + 4, r * pitch_y + 4, k.span * pitch_x - 8, pitch_y - 8, &k});
                column += k.span;
            }
        }
        return spots;
    }

    // A record that cannot be kept is said once, in the window's title and in
    // the band under the drill (where the keypad goes), in Japanese.
    void say_trouble() {
        if (record_.trouble().empty() || !trouble_.empty()) return;
        trouble_ = record_.trouble();
        SDL_SetWindowTitle(window_, (title_ + "（練習の記録を保存できません）").c_str());
        draw_pad();
    }

    // The band's own: the keypad's keys, or the record's trouble, in the
    // drill's yellow.
    bool band_shown() const { return pad_shown_ || !trouble_.empty(); }

    void draw_pad() {
        pad_.clear();
        if (!pad_shown_) {
            float x = 16;
            for (std::size_t at = 0; at < trouble_.size();) {
                const char32_t u = sjis::next_utf8(trouble_, at);
                const float w = u < 0x80 ? 8 : 16;
                pad_.glyph(x, 16, u, w, 16, 16, 13);
                x += w;
            }
            return;
        }
        const auto spots = pad_spots();
        for (std::size_t i = 0; i < spots.size(); ++i) {
            const PadSpot& s = spots[i];
            const bool pressed = static_cast<int>(i) == pad_pressed_;
            pad_.fill(s.x, s.y, s.x + s.w - 1, s.y + s.h - 1, pressed ? 15 : 3, pressed ? 3 : 12);
            // The label centred in full-width characters, 32 dots high, or
            // smaller where a long label would not fit its key.
            std::vector<char32_t> glyphs;
            for (std::size_t at = 0; at < s.key->label.size();) {
                const char32_t u = sjis::next_utf8(s.key->label, at);
                glyphs.push_back(u > 0x20 && u < 0x7F ? u + 0xFEE0 : u);
            }
            const float size = std::min(32.0f, (s.w - 12) / static_cast<float>(std::max<std::size_t>(glyphs.size(), 1)));
            float x = s.x + (s.w - size * static_cast<float>(glyphs.size())) / 2;
            for (char32_t u : glyphs) {
                pad_.glyph(x, s.y + (s.h - size) / 2, u, size, size, size, pressed ? 0 : 15);
                x += size;
            }
        }
    }

    static void push_typed(std::string_view text, std::deque<Key>& keys) {
        for (std::size_t i = 0; i < text.size();) keys.push_back(typed_key(sjis::next_utf8(text, i)));
    }

    void compose(const char* text) {
        if (!text_on_) return;
        composing_ = text;
        if (!composing_.empty()) taken_.clear();   // a new composition: what comes next is its own
    }

    // A press at pixel (x, y) of the window: the key under it, if any, is given.
    // A composition in progress is taken first, as committed, and the input
    // method lets go of it: the key comes after what the pupil typed before it.
    void press_pad(float x, float y, std::deque<Key>& keys) {
        if (!pad_shown_ || canvas_.scale() <= 0) return;
        const float dot_x = (x - offset_x_) / canvas_.scale(), dot_y = (y - offset_y_) / canvas_.scale() - kKeypadTop;
        const auto spots = pad_spots();
        for (std::size_t i = 0; i < spots.size(); ++i) {
            const PadSpot& s = spots[i];
            if (dot_x < s.x || dot_x >= s.x + s.w || dot_y < s.y || dot_y >= s.y + s.h) continue;
            if (!composing_.empty()) {
                push_typed(composing_, keys);
                taken_ = std::move(composing_);
                taken_at_ = SDL_GetTicks();
                composing_.clear();
                SDL_StopTextInput();   // the input method lets go of it (and may commit it)
                SDL_StartTextInput();
                if (input_rect_.w > 0) SDL_SetTextInputRect(&input_rect_);
            }
            keys.push_back(key_named(s.key->key));
            pad_pressed_ = static_cast<int>(i);
            draw_pad();
            return;
        }
    }

    bool fullscreen() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0; }

    // A window opened fullscreen comes back as the smaller window, with its close button;
    // the others come back as they were.
    void toggle_fullscreen() {
        if (!fullscreen()) {
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
            return;
        }
        SDL_SetWindowFullscreen(window_, 0);
        if (mode_ == WindowMode::fullscreen) {
            SDL_SetWindowSize(window_, framed_.w, framed_.h);
            SDL_SetWindowPosition(window_, framed_.x, framed_.y);
        }
    }

    // Fits the dot screen into the window's pixels with one scale, letterboxed.
    void fit() {
        screen_ = SDL_GetWindowSurface(window_);
        if (!screen_ || screen_->w <= 0 || screen_->h <= 0) return;
        const int w = screen_->w, h = screen_->h;
        float scale = std::min(static_cast<float>(w) / kScreenW, static_cast<float>(h) / kScreenH);
        canvas_.set_scale(scale);
        pad_.set_scale(scale);
        offset_x_ = (w - canvas_.width()) / 2;
        offset_y_ = (h - canvas_.height()) / 2;
        const SDL_PixelFormat* f = screen_->format;
        same_format_ = f->BytesPerPixel == 4 && f->Rmask == 0xFF0000 && f->Gmask == 0xFF00 && f->Bmask == 0xFF;
        SDL_FillRect(screen_, nullptr, SDL_MapRGB(f, 0, 0, 0));   // the bars, and a canvas area to copy afresh
        canvas_.take_dirty();
        pad_.take_dirty();
        pending_ = {0, 0, canvas_.width(), canvas_.height()};
        repaint_ = true;
    }

    // Shows what was drawn: copies the pixels that changed into the window and
    // hands the window system that rectangle, at most once a display frame.
    // Returns -1, or the milliseconds until a frame held back may be shown.
    int present() {
        PixelRect d = canvas_.take_dirty();
        if (!d.empty()) pending_ = pending_.empty() ? d : unite(pending_, d);
        PixelRect p = pad_.take_dirty();
        if (!p.empty()) {
            p.y += band_top();
            pending_ = pending_.empty() ? p : unite(pending_, p);
        }
        // Until the program first draws, the window shows nothing rather than a
        // blank frame that would hold its first screen back by a display frame.
        if (!shown_anything_ && canvas_.op_count() == 0) return -1;
        if (pending_.empty() && !repaint_) return -1;
        const Uint32 now = SDL_GetTicks();
        if (now - last_present_ < static_cast<Uint32>(frame_ms_))
            return frame_ms_ - static_cast<int>(now - last_present_);
        const SDL_Rect changed = copy(pending_);
        pending_ = {};
        int status = 0;
        if (repaint_) status = SDL_UpdateWindowSurface(window_);
        else if (changed.w > 0) status = SDL_UpdateWindowSurfaceRects(window_, &changed, 1);
        else return -1;
        if (status != 0) {   // the window was resized under the surface: fit afresh, show at the next poll
            fit();
            return 0;
        }
        repaint_ = false;
        shown_anything_ = true;
        busy_ = true;
        last_present_ = now;
        if (present_log_) log_present();
        return -1;
    }

    // The first pixel row of the keypad's band.
    int band_top() const { return static_cast<int>(std::lround(kKeypadTop * canvas_.scale())); }

    // Row y of what the window shows: the drill's, or the keypad's in its band.
    const Uint8* source_row(int y, int x) const {
        const Canvas* c = &canvas_;
        if (band_shown() && y >= band_top()) {
            c = &pad_;
            y = std::min(y - band_top(), pad_.height() - 1);
        }
        return reinterpret_cast<const Uint8*>(c->pixels() + static_cast<std::size_t>(y) * c->width() + x);
    }

    // Blits the rectangle `from` of a canvas to (x, y) of the window, through
    // SDL's conversion (a window whose pixels are not the canvas').
    void blit(const Canvas& c, SDL_Rect from, int x, int y) {
        if (from.h <= 0 || from.w <= 0) return;
        SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(c.pixels()), c.width(),
                                                               c.height(), 32, c.width() * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!view) return;
        SDL_Rect to{x, y, from.w, from.h};
        SDL_BlitSurface(view, &from, screen_, &to);
        SDL_FreeSurface(view);
    }

    // Copies the canvas' rectangle r into the window where it differs from
    // what the window shows; returns the window's rectangle that changed.
    SDL_Rect copy(const PixelRect& r) {
        if (r.empty()) return {0, 0, 0, 0};
        if (!same_format_) {
            const int split = band_shown() ? std::clamp(band_top(), r.y, r.y + r.h) : r.y + r.h;
            blit(canvas_, {r.x, r.y, r.w, split - r.y}, offset_x_ + r.x, offset_y_ + r.y);
            blit(pad_, {r.x, split - band_top(), r.w, r.y + r.h - split}, offset_x_ + r.x, offset_y_ + split);
            return {offset_x_ + r.x, offset_y_ + r.y, r.w, r.h};
        }
        int first = -1, last = -1;
        const std::size_t bytes = static_cast<std::size_t>(r.w) * 4;
        for (int y = r.y; y < r.y + r.h; ++y) {
            const Uint8* row = source_row(y, r.x);
            auto* shown = static_cast<Uint8*>(screen_->pixels) + (offset_y_ + y) * screen_->pitch + (offset_x_ + r.x) * 4;
            if (std::memcmp(row, shown, bytes) == 0) continue;
            std::memcpy(shown, row, bytes);
            if (first < 0) first = y;
            last = y;
        }
        if (first < 0) return {0, 0, 0, 0};
        return {offset_x_ + r.x, offset_y_ + first, r.w, last - first + 1};
    }

    // Benchmarks: with VARNEL_PRESENT_LOG naming a file, every frame shown
    // appends the moment it was handed to the window system (CLOCK_MONOTONIC, ns).
    void log_present() {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC, &t);
        std::fprintf(present_log_, "%lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
        std::fflush(present_log_);
    }

    // Tests: with VARNEL_WAIT_LOG naming a file, each time the program is idle
    // having taken every key the window gave it and shown what they led to, it
    // appends how many keys that is (0 once the first screen waits), so that a
    // test sends a key when the one before has been dealt with.
    void log_wait() {
        if (!wait_log_ || keys_given_ == keys_logged_) return;
        keys_logged_ = keys_given_;
        std::fprintf(wait_log_, "%ld\n", keys_given_);
        std::fflush(wait_log_);
    }

    static PixelRect unite(const PixelRect& a, const PixelRect& b) {
        int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
        int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
        return {x0, y0, x1 - x0, y1 - y0};
    }

    std::string title_;
    WindowMode mode_;
    Canvas pad_;                      // the keypad's band, at the canvas' scale
    PadRows pad_rows_;
    bool pad_shown_ = false;
    int pad_pressed_ = -1;            // the key under the finger or the mouse
    SDL_Rect framed_;
    static constexpr int kIdleWaitMs = 100;   // an idle program wakes ten times a second
    SDL_Window* window_ = nullptr;
    SDL_Surface* screen_ = nullptr;   // the window's framebuffer (SDL's own)
    bool same_format_ = false;        // its pixels are the canvas' (xRGB, 32 bits)
    SDL_Rect input_rect_{-1, -1, 0, 0};
    std::string taken_;               // a composition the keypad took as committed,
    Uint32 taken_at_ = 0;             // and when
    static constexpr Uint32 kTakenMs = 1000;
    PixelRect pending_;               // canvas pixels drawn since the last frame
    bool repaint_ = true;             // the whole window is to be handed over again
    bool shown_anything_ = false;
    bool busy_ = false;               // a key came or the screen changed since the last poll
    int quiet_polls_ = 0;
    int offset_x_ = 0, offset_y_ = 0;
    int frame_ms_ = 16;
    std::FILE* present_log_ = nullptr;
    std::FILE* wait_log_ = nullptr;
    long keys_given_ = 0;             // keys the window gave the drill,
    long keys_logged_ = -1;           // and how many the wait log last said
    Uint32 last_present_ = 0;
    RecordFile record_;
    std::string trouble_;             // the record's trouble, once said
};

}  // namespace

std::optional<WindowMode> window_mode_named(std::string_view value) {
    if (value.empty() || value == "maximised" || value == "maximized") return WindowMode::maximised;
    if (value == "window") return WindowMode::window;
    if (value == "fullscreen") return WindowMode::fullscreen;
    return std::nullopt;
}

std::unique_ptr<Backend> make_window(const std::string& title) {
    const char* asked = std::getenv("VARNEL_WINDOW");
    std::optional<WindowMode> mode = window_mode_named(asked ? asked : "");
    if (!mode) {
        std::fprintf(stderr, "%s: VARNEL_WINDOW=%s is not maximised, window or fullscreen; opening maximised\n",
                     title.c_str(), asked);
        mode = WindowMode::maximised;
    }
    return std::make_unique<WindowBackend>(title, *mode);
}

}  // namespace rt
