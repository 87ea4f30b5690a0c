// Helpers shared by the tests: a headless screen, the real game started on
// SDL's dummy drivers, pixel reads and the heap in use.
#pragma once

#include <SDL/SDL.h>

#include <cstddef>

#include "shell/game.h"

// SDL video with the dummy driver and the game's 640 x 480 x 32 screen in
// media.screen. Safe to call again; closeTestScreen undoes it.
void openTestScreen();
void closeTestScreen();

// The real start-up on the dummy drivers with the media of the run
// directory, seeded with seed. shutdownGame ends it.
bool startTestGame(GameLoop& loop, unsigned seed);

// The colour of one pixel of a surface, as red, green and blue.
struct Rgb {
    int r;
    int g;
    int b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};
Rgb pixelAt(SDL_Surface* surface, int x, int y);
void fillSurface(SDL_Surface* surface, Rgb colour);

// Queues a key press or release as SDL would deliver it; false when SDL's
// queue is full.
bool pushKey(SDLKey key, bool down, SDLMod modifiers = KMOD_NONE);
void pushQuit();

// Bytes of heap in use, to show that a call gives back what it takes.
std::size_t heapInUse();
