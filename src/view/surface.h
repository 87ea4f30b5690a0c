// Loading and drawing pictures: every image through loadImage, every blit through applySurface.
#pragma once

#include <SDL/SDL.h>

#include <string>

// Loads an image file (PNG, JPEG, ...) converted to the display format, with
// pure white as its transparent colour key. Null when the file cannot be read
// or converted; it prints nothing of its own (libpng may complain of a damaged
// PNG). Needs the video mode to be set.
SDL_Surface* loadImage(std::string fileName);

// Blits source, or the clip rectangle of it, onto destination with its
// top-left corner at (x, y). A null source or destination draws nothing. A
// source without an alpha channel whose surface alpha is opaque loses
// SDL_SRCALPHA, which changes no pixel it draws, only how fast it is drawn.
void applySurface(int x, int y, SDL_Surface* source, SDL_Surface* destination,
                  SDL_Rect* clip = nullptr);

// Float-to-int conversions that are defined for every value: truncation
// toward zero, NaN gives 0 and values beyond the range give its nearest end.
int truncToInt(double value);
Sint16 clampToSint16(double value);
Uint16 clampToUint16(double value);
