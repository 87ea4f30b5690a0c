// The tests' shared helpers: headless screen, the real game on dummy drivers, pixels and heap.
#include "test_support.h"

#include <malloc.h>

#include <cstdlib>

#include "shell/media.h"

// Defined when AddressSanitizer is linked in.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

void openTestScreen() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    media.screen = SDL_SetVideoMode(640, 480, 32, 0);
}

void closeTestScreen() {
    SDL_Quit();
    media.screen = nullptr;
}

bool startTestGame(GameLoop& loop, unsigned seed) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    loop = GameLoop();
    std::srand(seed);
    return startGame(loop);
}

void runFrames(GameLoop& loop, int frames, Uint32 frameMs) {
    for (int i = 0; i < frames; ++i) {
        loop.pollResult = pollInput();
        loop.frameMs = frameMs;
        runFrameWork(loop);
        SDL_Flip(media.screen);
    }
}

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

Rgb pixelAt(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    // The screen and made-up pictures are 32-bit, pictures as SDL_image loads
    // them 24-bit, little-endian here.
    const Uint32 pixel = surface->format->BytesPerPixel == 4
                             ? reinterpret_cast<const Uint32*>(row)[x]
                             : row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    SDL_UnlockSurface(surface);
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return {r, g, b};
}

void fillSurface(SDL_Surface* surface, Rgb colour) {
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGB(surface->format, static_cast<Uint8>(colour.r),
                            static_cast<Uint8>(colour.g), static_cast<Uint8>(colour.b)));
}

// Far from the backgrounds' pink and violet stars, whose green is higher.
bool tailColour(Rgb c) {
    return c.r >= 170 && c.b >= 170 && c.g <= 115;
}

SDL_Surface* makeScreenCopy(Rgb colour) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0, 0, 0, 0);
    fillSurface(surface, colour);
    return surface;
}

int pixelsOf(SDL_Surface* surface, Rgb colour, int x0, int y0, int w, int h) {
    int count = 0;
    for (int y = y0; y < y0 + (h > 0 ? h : surface->h); ++y) {
        for (int x = x0; x < x0 + (w > 0 ? w : surface->w); ++x) {
            count += pixelAt(surface, x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

int differingPixels(SDL_Surface* a, SDL_Surface* b, int x0, int y0, int w, int h) {
    int count = 0;
    for (int y = y0; y < y0 + (h > 0 ? h : a->h); ++y) {
        for (int x = x0; x < x0 + (w > 0 ? w : a->w); ++x) {
            count += pixelAt(a, x, y) == pixelAt(b, x, y) ? 0 : 1;
        }
    }
    return count;
}

bool shows(SDL_Surface* sprite, int x, int y, SDL_Rect clip) {
    SDL_Surface* copy = SDL_ConvertSurface(media.screen, media.screen->format, SDL_SWSURFACE);
    applySurface(x, y, sprite, copy, clip.w == 0 ? nullptr : &clip);
    const bool same = differingPixels(media.screen, copy) == 0;
    SDL_FreeSurface(copy);
    return same;
}

SDL_Event keyEvent(SDLKey key, bool down, SDLMod modifiers) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    return event;
}

bool pushKey(SDLKey key, bool down, SDLMod modifiers) {
    SDL_Event event = keyEvent(key, down, modifiers);
    return SDL_PushEvent(&event) == 0;
}

void pushQuit() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

std::size_t heapInUse() {
    if (__sanitizer_get_current_allocated_bytes != nullptr) {
        return __sanitizer_get_current_allocated_bytes();
    }
    // Large blocks are mapped apart from the heap proper.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
