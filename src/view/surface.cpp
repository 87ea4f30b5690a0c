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
