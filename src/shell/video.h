// The window driver on both SDL 1.2 libraries: the one place for a platform's
// or a library's differences in how the game's window is opened.
#pragma once

#include <SDL/SDL.h>

// True for sdl12-compat, SDL 1.2's interface over SDL 2, which reports itself
// as 1.2.50 or later; the classic SDL 1.2 stays below.
bool isSdl12Compat(const SDL_version& linked);

// Whether a Wayland session can be reached: one of its variables is set.
bool waylandReachable();

// False for the video drivers that draw into memory and show nothing.
bool showsWindow(const char* driverName);

// Starts SDL's video subsystem on a driver that opens a window: the one named
// in SDL_VIDEODRIVER as it is, otherwise only a window driver, on either
// library. 0 on success, -1 as SDL_InitSubSystem reports failure.
int initVideo();
