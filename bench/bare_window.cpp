// The yardstick of the start-up benchmark: a bare SDL2 program that opens the
// window the programs open (maximised at the usable bounds, resizable) and
// presents one frame through the same drawing path (a pixel buffer of the dot
// screen at the window's scale, copied letterboxed into the window's own
// framebuffer, handed to the window system). With VARNEL_PRESENT_LOG naming a file
// it appends the moment of that frame (CLOCK_MONOTONIC, ns), as the programs do.
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Rect usable{0, 0, 1440, 900};
    SDL_GetDisplayUsableBounds(0, &usable);
    SDL_Window* window = SDL_CreateWindow("bare", usable.x, usable.y, usable.w, usable.h,
                                          SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_MAXIMIZED);
    if (!window) return 1;
    SDL_Surface* screen = SDL_GetWindowSurface(window);
    if (!screen) return 1;
    const int w = screen->w, h = screen->h;
    const float scale = std::min(static_cast<float>(w) / 1440, static_cast<float>(h) / 900);
    const int cw = static_cast<int>(1440 * scale + 0.5f), ch = static_cast<int>(900 * scale + 0.5f);
    // A black screen with one filled box, like the menu's title box, copied
    // letterboxed into the window's framebuffer and handed to the window system.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(cw) * ch, 0xFF000000u);
    for (int y = static_cast<int>(72 * scale); y < static_cast<int>(142 * scale); ++y)
        std::fill_n(pixels.data() + static_cast<std::size_t>(y) * cw + static_cast<int>(240 * scale),
                    static_cast<int>(256 * scale), 0xFF3A2260u);
    SDL_Surface* canvas =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), cw, ch, 32, cw * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_Rect dst{(w - cw) / 2, (h - ch) / 2, cw, ch};
    SDL_BlitSurface(canvas, nullptr, screen, &dst);
    SDL_UpdateWindowSurface(window);
    if (const char* log = std::getenv("VARNEL_PRESENT_LOG")) {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC, &t);
        if (std::FILE* f = std::fopen(log, "a")) {
            std::fprintf(f, "%lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
            std::fclose(f);
        }
    }
    SDL_FreeSurface(canvas);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
