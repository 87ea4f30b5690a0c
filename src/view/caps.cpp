// The surface caps: the checks that keep every crop and turned surface of a frame within them.
#include "view/caps.h"

#include <SDL/SDL_rotozoom.h>

bool cropSizeWithin(bool cropped, const SDL_Rect& crop) {
    return !cropped || (crop.w <= maxCropSide && crop.h <= maxCropSide);
}

// The first test keeps SDL_gfx's own size arithmetic away from overflow; it
// never refuses a size that fits, since a turn keeps at least half of w + h.
bool turnedSizeWithin(int width, int height, double angle, double zoom, int& turnedWidth,
                      int& turnedHeight) {
    const double magnitude = std::fabs(zoom);
    if (!std::isfinite(angle) || !(magnitude * (width + height) <= 4.0 * maxTurnedSide)) {
        return false;
    }
    rotozoomSurfaceSize(width, height, angle, magnitude, &turnedWidth, &turnedHeight);
    return turnedWidth <= maxTurnedSide && turnedHeight <= maxTurnedSide;
}

double largestUnturnedHalf(double zoom) {
    return std::floor((maxTurnedSide / 2 - 1) / std::fabs(zoom));
}

bool shrinkCrop(SDL_Rect& crop) {
    if (crop.w <= 2 || crop.h <= 2) {
        return false;
    }
    crop = {static_cast<Sint16>(crop.x + 1), static_cast<Sint16>(crop.y + 1),
            static_cast<Uint16>(crop.w - 2), static_cast<Uint16>(crop.h - 2)};
    return true;
}
