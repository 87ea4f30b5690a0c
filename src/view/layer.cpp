// Drawing one layer: crop surface, fast copy into it, turn, key and the blit of its footprint.
#include "view/layer.h"

#include <SDL/SDL_rotozoom.h>

#include <algorithm>
#include <cmath>

#include "shell/media.h"
#include "view/surface.h"

namespace {

// A 32-bit crop surface: in the picture's own layout when that is 32-bit, so
// that copying into it and every later blit are plain copies.
SDL_Surface* makeCropSurface(const SDL_Surface* picture, int width, int height) {
    const SDL_PixelFormat* format = picture->format;
    if (format->BitsPerPixel == 32 && format->Amask == 0) {
        return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, format->Rmask, format->Gmask,
                                    format->Bmask, 0);
    }
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0, 0, 0, 0);
}

// Copies rect of picture into crop as a colour-keyed blit would: the
// picture's transparent pixels are not copied and keep the crop's fill. SDL's
// keyed blit goes pixel by pixel through a slow general path, so when both
// share one layout the pixels are copied through a view of the picture
// without its key, and the key-coloured ones then set back to the fill.
void copyIntoCrop(SDL_Surface* picture, const SDL_Rect& rect, SDL_Surface* crop, Uint32 fill) {
    SDL_Rect clip = rect;
    const SDL_PixelFormat* from = picture->format;
    const bool sameLayout = from->BitsPerPixel == 32 && crop->format->Rmask == from->Rmask &&
                            crop->format->Gmask == from->Gmask &&
                            crop->format->Bmask == from->Bmask && from->Amask == 0 &&
                            (picture->flags & SDL_RLEACCEL) == 0 && !SDL_MUSTLOCK(picture);
    SDL_Surface* view = sameLayout ? SDL_CreateRGBSurfaceFrom(
                                         picture->pixels, picture->w, picture->h, 32,
                                         picture->pitch, from->Rmask, from->Gmask, from->Bmask, 0)
                                   : nullptr;
    if (view == nullptr) {
        applySurface(0, 0, picture, crop, &clip);
        return;
    }
    applySurface(0, 0, view, crop, &clip);
    SDL_FreeSurface(view);
    const Uint32 key = from->colorkey;
    if ((picture->flags & SDL_SRCCOLORKEY) == 0 || key == fill) {
        return;
    }
    // Only where the picture was copied to.
    const int left = std::max(0, -rect.x);
    const int right = std::min<int>(crop->w, picture->w - rect.x);
    const int bottom = std::min<int>(crop->h, picture->h - rect.y);
    for (int y = std::max(0, -rect.y); y < bottom; ++y) {
        Uint32* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(crop->pixels) + y * crop->pitch);
        for (int x = left; x < right; ++x) {
            row[x] = row[x] == key ? fill : row[x];  // no branch: the compiler vectorises it
        }
    }
}

// The part of a turned crop where the picture's pixels can land, with two
// pixels of room for SDL_gfx's rounding. Elsewhere the crop held only its
// fill and SDL_gfx adds key-coloured corners, so for a keyed layer a blit of
// this part alone changes the same screen pixels; SDL's keyed blit is slow,
// and most of a medium level crop lies outside the picture.
SDL_Rect pictureFootprint(const LayerPlan& plan, int pictureWidth, int pictureHeight,
                          int turnedWidth, int turnedHeight) {
    const double radians = plan.angle * gfxDegreesToRadians;
    const double c = std::cos(radians) * plan.zoom;
    const double s = std::sin(radians) * plan.zoom;
    double left = HUGE_VAL;
    double right = -HUGE_VAL;
    double top = HUGE_VAL;
    double bottom = -HUGE_VAL;
    for (const int x : {0, pictureWidth}) {
        for (const int y : {0, pictureHeight}) {
            const double dx = x - plan.crop.x - plan.crop.w / 2.0;
            const double dy = y - plan.crop.y - plan.crop.h / 2.0;
            const double turnedX = turnedWidth / 2.0 + c * dx + s * dy;
            const double turnedY = turnedHeight / 2.0 - s * dx + c * dy;
            left = std::fmin(left, turnedX);
            right = std::fmax(right, turnedX);
            top = std::fmin(top, turnedY);
            bottom = std::fmax(bottom, turnedY);
        }
    }
    const int x0 = std::max(0, truncToInt(std::floor(left)) - 2);
    const int y0 = std::max(0, truncToInt(std::floor(top)) - 2);
    const int x1 = std::min(turnedWidth, truncToInt(std::ceil(right)) + 2);
    const int y1 = std::min(turnedHeight, truncToInt(std::ceil(bottom)) + 2);
    return {clampToSint16(x0), clampToSint16(y0), clampToUint16(x1 - x0), clampToUint16(y1 - y0)};
}

}  // namespace

void drawLayer(SDL_Surface* picture, const LayerPlan& plan, int keyGrey, bool fillCropWithKey) {
    if (!plan.drawn) {
        return;
    }
    SDL_Surface* crop = nullptr;
    SDL_Surface* source = picture;
    if (plan.cropped) {
        crop = makeCropSurface(picture, plan.crop.w, plan.crop.h);
        if (crop == nullptr) {
            return;
        }
        Uint32 fill = 0;  // a new surface is black
        if (fillCropWithKey) {
            const Uint8 grey = static_cast<Uint8>(keyGrey);
            fill = SDL_MapRGB(crop->format, grey, grey, grey);
            SDL_FillRect(crop, nullptr, fill);
            // SDL_gfx fills the turned corners with the source's key.
            SDL_SetColorKey(crop, SDL_SRCCOLORKEY, fill);
        }
        if (overlapsPicture(plan.crop, picture->w, picture->h)) {
            copyIntoCrop(picture, plan.crop, crop, fill);
        }
        source = crop;
    }
    SDL_Surface* turned = rotozoomSurface(source, plan.angle, plan.zoom, 0);
    if (turned != nullptr) {
        if (keyGrey < 0) {
            // SDL_gfx hands its result the source's key (black for a crop);
            // the background must stay opaque so that it repaints the view.
            SDL_SetColorKey(turned, 0, 0);
        } else {
            const Uint8 grey = static_cast<Uint8>(keyGrey);
            SDL_SetColorKey(turned, SDL_SRCCOLORKEY, SDL_MapRGB(turned->format, grey, grey, grey));
        }
        const ScreenPoint corner =
            centredPlacement(plan.centreX, plan.centreY, turned->w, turned->h);
        if (keyGrey < 0 || !plan.cropped) {
            applySurface(corner.x, corner.y, turned, media.screen);
        } else {
            SDL_Rect part = pictureFootprint(plan, picture->w, picture->h, turned->w, turned->h);
            if (part.w > 0 && part.h > 0) {
                applySurface(corner.x + part.x, corner.y + part.y, turned, media.screen, &part);
            }
        }
        SDL_FreeSurface(turned);
    }
    SDL_FreeSurface(crop);
}
