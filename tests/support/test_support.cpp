#include "test_support.h"

#include <malloc.h>

#include <cstdlib>

#include "shell/media.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALVANNE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HALVANNE_ASAN 1
#endif
#ifdef HALVANNE_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

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

Rgb pixelAt(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 pixel = 0;
    switch (surface->format->BytesPerPixel) {
        case 4:
            pixel = reinterpret_cast<const Uint32*>(row)[x];
            break;
        case 3:  // pictures as SDL_image loads them, little-endian here
            pixel = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
            break;
        case 2:
            pixel = reinterpret_cast<const Uint16*>(row)[x];
            break;
        default:
            pixel = row[x];
            break;
    }
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

bool pushKey(SDLKey key, bool down, SDLMod modifiers) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    return SDL_PushEvent(&event) == 0;
}

void pushQuit() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

std::size_t heapInUse() {
#ifdef HALVANNE_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}
