// Helpers shared by the tests: a headless screen, the real game started on
// SDL's dummy drivers, frames of its loop, pixel reads and the heap in use.
// Every test program includes it first, with what most of them use.
#pragma once

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "flight/flight.h"
#include "flight/sound.h"
#include "shell/game.h"
#include "shell/media.h"
#include "shell/shutdown.h"
#include "view/scene.h"
#include "view/surface.h"

// SDL video with the dummy driver and the game's 640 x 480 x 32 screen in
// media.screen. Safe to call again; closeTestScreen undoes it.
void openTestScreen();
void closeTestScreen();

// The real start-up on the dummy drivers with the media of the run
// directory, seeded with seed. shutdownGame ends it.
bool startTestGame(GameLoop& loop, unsigned seed);

// Frames as the loop runs them, each with the given frame time.
void runFrames(GameLoop& loop, int frames, Uint32 frameMs);

// The colour of one pixel of a surface, as red, green and blue.
struct Rgb {
    int r;
    int g;
    int b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);
Rgb pixelAt(SDL_Surface* surface, int x, int y);
void fillSurface(SDL_Surface* surface, Rgb colour);

// The light magenta of a station's tail mark, as its pictures show it lit.
bool tailColour(Rgb c);

// A 32-bit software surface of the screen's size, filled with colour.
SDL_Surface* makeScreenCopy(Rgb colour);

// How many pixels of a rectangle of the surface (all of it by default) have
// the colour.
int pixelsOf(SDL_Surface* surface, Rgb colour, int x0 = 0, int y0 = 0, int w = 0, int h = 0);

// How many pixels of a and b (of the same size) differ, in a rectangle (all of
// them by default).
int differingPixels(SDL_Surface* a, SDL_Surface* b, int x0 = 0, int y0 = 0, int w = 0, int h = 0);

// True when blitting sprite (or clip of it) at (x, y) again changes no pixel
// of the screen. Opaque or colour-keyed sprites only.
bool shows(SDL_Surface* sprite, int x, int y, SDL_Rect clip = {0, 0, 0, 0});

// How many pixels of the viewport a test picks, and their mean place.
struct Patch {
    int count;
    double x;
    double y;
};
template <typename Picks>
Patch patchIn(SDL_Surface* surface, Picks picks) {
    Patch patch = {0, 0, 0};
    for (int y = viewportTop; y < viewportTop + viewportHeight; ++y) {
        for (int x = viewportLeft; x < viewportLeft + viewportWidth; ++x) {
            if (picks(pixelAt(surface, x, y))) {
                ++patch.count;
                patch.x += (x + 0.5 - patch.x) / patch.count;
                patch.y += (y + 0.5 - patch.y) / patch.count;
            }
        }
    }
    return patch;
}

// A key press or release as SDL delivers it; pushKey queues one, false when
// SDL's queue is full.
SDL_Event keyEvent(SDLKey key, bool down, SDLMod modifiers = KMOD_NONE);
bool pushKey(SDLKey key, bool down, SDLMod modifiers = KMOD_NONE);
void pushQuit();

// Bytes of heap in use. Only differences between two points of one run mean
// something: compare the second of two identical runs with the first.
std::size_t heapInUse();
