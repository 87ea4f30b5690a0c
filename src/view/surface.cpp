// Loading and drawing pictures (loadImage, applySurface) and float-to-int that never overflows.
#include "view/surface.h"

#include <SDL/SDL_image.h>

#include <cmath>
#include <limits>

SDL_Surface* loadImage(std::string fileName) {
    SDL_Surface* loaded = IMG_Load(fileName.c_str());
    if (loaded == nullptr) {
        return nullptr;
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    if (converted != nullptr) {
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY, SDL_MapRGB(converted->format, 255, 255, 255));
    }
    SDL_FreeSurface(loaded);
    return converted;
}

void applySurface(int x, int y, SDL_Surface* source, SDL_Surface* destination, SDL_Rect* clip) {
    if (source == nullptr || destination == nullptr) {
        return;
    }
    SDL_Rect offset;
    offset.x = clampToSint16(x);
    offset.y = clampToSint16(y);
    offset.w = 0;
    offset.h = 0;
    // A per-surface alpha of 255 on a surface without an alpha channel (SDL_gfx
    // gives every turned surface one) draws nothing but copies: the classic
    // library copies it, SDL 2 under sdl12-compat blends it pixel by pixel,
    // many times slower. Without the flag both libraries copy.
    if ((source->flags & SDL_SRCALPHA) != 0 && source->format->alpha == SDL_ALPHA_OPAQUE &&
        source->format->Amask == 0) {
        SDL_SetAlpha(source, 0, SDL_ALPHA_OPAQUE);
    }
    SDL_UpperBlit(source, clip, destination, &offset);
}

namespace {

double clampTruncated(double value, double low, double high) {
    if (std::isnan(value)) {
        return 0.0;
    }
    return std::trunc(std::fmax(low, std::fmin(high, value)));
}

}  // namespace

int truncToInt(double value) {
    return static_cast<int>(
        clampTruncated(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

Sint16 clampToSint16(double value) {
    return static_cast<Sint16>(clampTruncated(value, -32768.0, 32767.0));
}

Uint16 clampToUint16(double value) {
    return static_cast<Uint16>(clampTruncated(value, 0.0, 65535.0));
}
