#include "runtime/window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "runtime/screen.hpp"

namespace rt {

namespace {

// A character an input method commits in full width arrives as its half-width
// key ("３" as "3", the ideographic space as the space bar).
Text key_text_of(char32_t u) {
    if (u >= 0xFF01 && u <= 0xFF5E) return Text(1, static_cast<char>(u - 0xFEE0));
    if (u == 0x3000) return " ";
    if (u == 0xFFE5) return "\\";
    std::string utf8;
    if (u < 0x80) utf8 = static_cast<char>(u);
    else if (u < 0x800) { utf8 += static_cast<char>(0xC0 | (u >> 6)); utf8 += static_cast<char>(0x80 | (u & 0x3F)); }
    else if (u < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (u >> 12)); utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        return {};
    }
    return sjis::from_utf8(utf8);
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
    WindowBackend(const std::string& title, WindowMode mode) : Backend(1.0f), mode_(mode) {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) throw std::runtime_error(std::string("SDL_Init: ") + SDL_GetError());
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
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
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) throw std::runtime_error(std::string("SDL_CreateRenderer: ") + SDL_GetError());
        SDL_DisplayMode shown;
        if (SDL_GetCurrentDisplayMode(0, &shown) == 0 && shown.refresh_rate > 0) frame_ms_ = 1000 / shown.refresh_rate;
        SDL_StartTextInput();
        fit();
    }

    ~WindowBackend() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // The drill maximises its window at start-up; the teacher's choice of a
    // smaller window or fullscreen stands.
    void maximize() override {
        if (mode_ == WindowMode::maximised && !fullscreen()) SDL_MaximizeWindow(window_);
    }

    void cursor_at(float x, float y) override {
        SDL_Rect r{offset_x_ + static_cast<int>(x * canvas_.scale()), offset_y_ + static_cast<int>(y * canvas_.scale()),
                   static_cast<int>(16 * canvas_.scale()), static_cast<int>(16 * canvas_.scale())};
        if (r.x == input_rect_.x && r.y == input_rect_.y && r.w == input_rect_.w) return;
        input_rect_ = r;
        SDL_SetTextInputRect(&r);
    }

    void pump(std::deque<Key>& keys) override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e, keys);
    }

    void wait(std::deque<Key>& keys) override {
        present();
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 10)) {
            handle(e, keys);
            pump(keys);
        }
    }

private:
    void handle(const SDL_Event& e, std::deque<Key>& keys) {
        switch (e.type) {
        case SDL_QUIT:
            throw ProgramEnd{};
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) fit();
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) whole_ = true;
            break;
        case SDL_KEYDOWN: {
            SDL_Keycode k = e.key.keysym.sym;
            bool ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
            bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            if ((k == SDLK_RETURN || k == SDLK_KP_ENTER) && alt) {
                if (e.key.repeat == 0) toggle_fullscreen();
            } else if (k == SDLK_RETURN || k == SDLK_KP_ENTER) keys.push_back({0, "\r", "Enter"});
            else if (k == SDLK_BACKSPACE) keys.push_back({0, "\b", "BS"});
            else if (k == SDLK_DELETE) keys.push_back({0, "\x7f", "Del"});
            else if (k == SDLK_l && ctrl) keys.push_back({0, "\x0c", "Ctrl+L"});
            else if (k >= SDLK_F1 && k <= SDLK_F12) {
                int n = static_cast<int>(k - SDLK_F1) + 1;
                keys.push_back({n, {}, "F" + std::to_string(n)});
            }
            break;
        }
        case SDL_TEXTINPUT: {
            std::string_view text(e.text.text);
            for (std::size_t i = 0; i < text.size();) {
                std::size_t start = i;
                char32_t u = sjis::next_utf8(text, i);
                Text t = key_text_of(u);
                if (!t.empty()) keys.push_back({0, t, std::string(text.substr(start, i - start))});
            }
            break;
        }
        default:
            break;
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
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer_, &w, &h);
        if (w <= 0 || h <= 0) return;
        float scale = std::min(static_cast<float>(w) / kScreenW, static_cast<float>(h) / kScreenH);
        canvas_.set_scale(scale);
        offset_x_ = (w - canvas_.width()) / 2;
        offset_y_ = (h - canvas_.height()) / 2;
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     canvas_.width(), canvas_.height());
        shown_.assign(static_cast<std::size_t>(canvas_.width()) * canvas_.height(), 0x00000001u);  // matches no drawn pixel
        canvas_.take_dirty();
        pending_ = {0, 0, canvas_.width(), canvas_.height()};
        whole_ = true;
    }

    // Shows what was drawn, at most once a display frame, and only when a pixel changed.
    void present() {
        PixelRect d = canvas_.take_dirty();
        if (!d.empty()) pending_ = pending_.empty() ? d : unite(pending_, d);
        if (pending_.empty() && !whole_) return;
        Uint32 now = SDL_GetTicks();
        if (now - last_present_ < static_cast<Uint32>(frame_ms_)) return;
        if (!pending_.empty() && changed(pending_)) {
            SDL_Surface* s = canvas_.surface();
            SDL_Rect r{pending_.x, pending_.y, pending_.w, pending_.h};
            const auto* pixels = static_cast<const Uint8*>(s->pixels) + r.y * s->pitch + r.x * 4;
            SDL_UpdateTexture(texture_, &r, pixels, s->pitch);
            whole_ = true;
        }
        pending_ = {};
        if (!whole_) return;
        whole_ = false;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_Rect dst{offset_x_, offset_y_, canvas_.width(), canvas_.height()};
        SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        SDL_RenderPresent(renderer_);
        last_present_ = now;
    }

    // Compares the region with what the window shows, and remembers it.
    bool changed(const PixelRect& r) {
        SDL_Surface* s = canvas_.surface();
        bool differs = false;
        for (int y = r.y; y < r.y + r.h; ++y) {
            const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch) + r.x;
            Uint32* seen = shown_.data() + static_cast<std::size_t>(y) * canvas_.width() + r.x;
            if (std::memcmp(row, seen, static_cast<std::size_t>(r.w) * 4) != 0) {
                std::memcpy(seen, row, static_cast<std::size_t>(r.w) * 4);
                differs = true;
            }
        }
        return differs;
    }

    static PixelRect unite(const PixelRect& a, const PixelRect& b) {
        int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
        int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
        return {x0, y0, x1 - x0, y1 - y0};
    }

    WindowMode mode_;
    SDL_Rect framed_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::vector<Uint32> shown_;
    SDL_Rect input_rect_{-1, -1, 0, 0};
    PixelRect pending_;
    bool whole_ = true;
    int offset_x_ = 0, offset_y_ = 0;
    int frame_ms_ = 16;
    Uint32 last_present_ = 0;
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
