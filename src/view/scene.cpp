#include "view/scene.h"

#include <SDL/SDL_rotozoom.h>

#include <algorithm>
#include <cmath>

#include "flight/flight.h"
#include "shell/media.h"
#include "view/surface.h"

namespace {

// The viewport's half-diagonal: a crop with this half size covers the viewport
// whatever the turn.
const float sceneRadius = std::sqrt(95400.0f);

constexpr double degreesToRadians = 3.14159265 / 180.0;
constexpr float lowLevelBelow = 0.25f;
constexpr float mediumLevelBelow = 0.5f;
constexpr double backgroundParallax = 0.5;
constexpr double dockedTurn = 180.0;
constexpr int dockedHalfWidth = viewportWidth / 2;
constexpr int dockedHalfHeight = viewportHeight / 2;
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int rectSideLimit = 65535;  // SDL_Rect's w and h are 16 bits

SceneSurfaces largestMade = {};

void noteSurface(SurfaceSize& largest, const SDL_Surface* surface) {
    largest.width = std::max(largest.width, surface->w);
    largest.height = std::max(largest.height, surface->h);
}

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// A crop from unrounded values: the position is clamped into SDL's 16-bit
// fields (a crop that far out shows none of the picture either way), the size
// must fit them.
SceneCrop makeCrop(double x, double y, double width, double height) {
    SceneCrop crop = {false, {0, 0, 0, 0}};
    if (!allFinite(x, y, width, height)) {
        return crop;
    }
    const double w = std::trunc(width);
    const double h = std::trunc(height);
    if (w < 1.0 || h < 1.0 || w > rectSideLimit || h > rectSideLimit) {
        return crop;
    }
    crop.rect.x = clampToSint16(x);
    crop.rect.y = clampToSint16(y);
    crop.rect.w = clampToUint16(w);
    crop.rect.h = clampToUint16(h);
    crop.drawable = true;
    return crop;
}

bool overlapsPicture(const SDL_Rect& rect, int width, int height) {
    return rect.x < width && rect.x + rect.w > 0 && rect.y < height && rect.y + rect.h > 0;
}

SDL_Rect insidePicture(const SDL_Rect& rect, int width, int height) {
    const int left = std::max<int>(rect.x, 0);
    const int top = std::max<int>(rect.y, 0);
    const int right = std::min(rect.x + rect.w, width);
    const int bottom = std::min(rect.y + rect.h, height);
    return {clampToSint16(left), clampToSint16(top), clampToUint16(right - left),
            clampToUint16(bottom - top)};
}

// The size rotozoomSurface will make, unless it would exceed maxTurnedSide.
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

LayerPlan planTurn(bool cropped, const SDL_Rect& crop, int sourceWidth, int sourceHeight,
                   double angle, double zoom, double centreX, double centreY) {
    LayerPlan plan = {};
    plan.cropped = cropped;
    plan.crop = crop;
    plan.angle = angle;
    plan.zoom = zoom;
    plan.centreX = centreX;
    plan.centreY = centreY;
    if (!allFinite(angle, zoom, centreX, centreY) ||
        !turnedSizeWithin(sourceWidth, sourceHeight, angle, zoom, plan.turnedWidth,
                          plan.turnedHeight)) {
        return plan;
    }
    const ScreenPoint corner =
        centredPlacement(centreX, centreY, plan.turnedWidth, plan.turnedHeight);
    plan.x = corner.x;
    plan.y = corner.y;
    plan.drawn = plan.x < screenWidth && plan.x + plan.turnedWidth > 0 && plan.y < screenHeight &&
                 plan.y + plan.turnedHeight > 0;
    return plan;
}

double stationPointX(const SceneInputs& in) {
    return viewportCentreX + static_cast<double>(in.offsetX) * in.rollCos +
           static_cast<double>(in.offsetY) * in.rollSin;
}

double stationPointY(const SceneInputs& in) {
    return viewportCentreY - static_cast<double>(in.offsetX) * in.rollSin +
           static_cast<double>(in.offsetY) * in.rollCos;
}

// A crop of the low station picture, turned and zoomed like the whole picture
// would be: its turned centre goes where the station's turn and zoom carry the
// crop's centre from the whole picture's turned centre (anchorX, anchorY).
// Outside the picture a crop would only hold the key colour, so it is cut to
// the picture.
LayerPlan lowCropPlan(SDL_Rect crop, int width, int height, double angle, double zoom,
                      double anchorX, double anchorY) {
    if (!overlapsPicture(crop, width, height)) {
        return LayerPlan{};
    }
    const SDL_Rect inside = insidePicture(crop, width, height);
    const double shiftX = inside.x + inside.w / 2.0 - width / 2.0;
    const double shiftY = inside.y + inside.h / 2.0 - height / 2.0;
    const double radians = angle * M_PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    // Rounded, not truncated: the crop's pixels then land within half a
    // pixel of where the whole picture's would.
    const double centreX = std::round(anchorX + zoom * (c * shiftX + s * shiftY));
    const double centreY = std::round(anchorY + zoom * (-s * shiftX + c * shiftY));
    return planTurn(true, inside, inside.w, inside.h, angle, zoom, centreX, centreY);
}

// The box of the picture pixels that the viewport shows when the picture's
// centre is on the station screen point, one pixel wider on each side for
// SDL_gfx's fixed-point rounding.
SceneCrop viewportPreimage(int width, int height, double angle, double zoom, double pointX,
                           double pointY) {
    const double radians = angle * M_PI / 180.0;
    const double c = std::cos(radians) / zoom;
    const double s = std::sin(radians) / zoom;
    double left = HUGE_VAL;
    double right = -HUGE_VAL;
    double top = HUGE_VAL;
    double bottom = -HUGE_VAL;
    for (const int x : {viewportLeft, viewportLeft + viewportWidth}) {
        for (const int y : {viewportTop, viewportTop + viewportHeight}) {
            const double pictureX = width / 2.0 + c * (x - pointX) - s * (y - pointY);
            const double pictureY = height / 2.0 + s * (x - pointX) + c * (y - pointY);
            left = std::fmin(left, pictureX);
            right = std::fmax(right, pictureX);
            top = std::fmin(top, pictureY);
            bottom = std::fmax(bottom, pictureY);
        }
    }
    left = std::floor(left) - 1.0;
    top = std::floor(top) - 1.0;
    return makeCrop(left, top, std::ceil(right) + 1.0 - left, std::ceil(bottom) + 1.0 - top);
}

// The low level turns its whole picture while, zoomed, it fits in the box
// that covers the viewport. Beyond that the turn would mostly make pixels
// that never reach the viewport, without limit as the zoom grows (a station
// just passed has a huge negative zoom): it turns only the part under the
// viewport. Close up at a slant even that can turn out too large; it then
// shrinks around its centre, a picture pixel a side at a time, giving up the
// viewport's outermost pixels.
LayerPlan lowStationPlan(const SceneInputs& in, const StationLook& look, HalfExtents extents,
                         int width, int height) {
    const double angle = in.relativeRollAngle;
    const double zoom = look.zoom;
    const double magnitude = std::fabs(zoom);
    const double pointX = stationPointX(in);
    const double pointY = stationPointY(in);
    if (magnitude * width <= 2.0 * extents.halfWidth &&
        magnitude * height <= 2.0 * extents.halfHeight) {
        const SDL_Rect whole = {0, 0, clampToUint16(width), clampToUint16(height)};
        return planTurn(false, whole, width, height, angle, zoom, pointX, pointY);
    }
    if (!allFinite(angle, zoom, pointX, pointY)) {
        return LayerPlan{};
    }
    const SceneCrop under = viewportPreimage(width, height, angle, zoom, pointX, pointY);
    if (!under.drawable || !overlapsPicture(under.rect, width, height)) {
        return LayerPlan{};
    }
    // The whole picture's placement truncates toward zero, which puts its
    // turned centre up to a pixel off the station screen point; the crop
    // follows it. Beyond int sizes the half size only needs to be huge.
    int wholeWidth = 2000000000;
    int wholeHeight = 2000000000;
    if (magnitude * (width + height) < 1e8) {
        rotozoomSurfaceSize(width, height, angle, magnitude, &wholeWidth, &wholeHeight);
    }
    const double anchorX = std::trunc(pointX - wholeWidth / 2) + wholeWidth / 2;
    const double anchorY = std::trunc(pointY - wholeHeight / 2) + wholeHeight / 2;
    SDL_Rect crop = under.rect;
    for (;;) {
        const LayerPlan plan = lowCropPlan(crop, width, height, angle, zoom, anchorX, anchorY);
        if (plan.drawn || crop.w <= 2 || crop.h <= 2) {
            return plan;
        }
        crop = {static_cast<Sint16>(crop.x + 1), static_cast<Sint16>(crop.y + 1),
                static_cast<Uint16>(crop.w - 2), static_cast<Uint16>(crop.h - 2)};
    }
}

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
    const double radians = plan.angle * M_PI / 180.0;
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

// Cuts the plan's crop out of picture (or takes the whole picture), turns and
// zooms it, keys it and blits it onto the screen. keyGrey < 0: no colour key,
// the layer repaints everything it covers. A crop filled with the key colour
// keeps the picture's transparent pixels transparent.
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
        noteSurface(largestMade.largestCrop, crop);
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
        noteSurface(largestMade.largestTurned, turned);
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

constexpr int noKey = -1;
constexpr int whiteGrey = 255;

}  // namespace

HalfExtents viewportHalfExtents(float angle, float angleCos, float angleSin) {
    const double sign = static_cast<double>(angleCos) * angleSin;
    const double phi = sign > 0.0 ? angle - 45.0 : angle + 45.0;
    const double k = std::fabs(std::cos(phi * degreesToRadians));
    const float shorter = static_cast<float>(sceneRadius * k);
    if (std::fabs(angleSin) < std::fabs(angleCos)) {
        return {sceneRadius, shorter};
    }
    return {shorter, sceneRadius};
}

ScreenPoint stationScreenPoint(float offsetX, float offsetY, float rollCos, float rollSin) {
    const SceneInputs in = {0, 0, 0, offsetX, offsetY, 0, 0, rollCos, rollSin};
    return {truncToInt(stationPointX(in)), truncToInt(stationPointY(in))};
}

ScreenPoint centredPlacement(double centreX, double centreY, int width, int height) {
    return {truncToInt(centreX - width / 2), truncToInt(centreY - height / 2)};
}

SceneCrop backgroundCrop(int pictureWidth, int pictureHeight, HalfExtents extents, float offsetX,
                         float offsetY) {
    const double halfWidth = extents.halfWidth;
    const double halfHeight = extents.halfHeight;
    return makeCrop(pictureWidth / 2 - (halfWidth + backgroundParallax * offsetX),
                    pictureHeight / 2 - (halfHeight + backgroundParallax * offsetY),
                    2.0 * halfWidth, 2.0 * halfHeight);
}

SceneCrop stationCrop(int pictureWidth, int pictureHeight, HalfExtents extents, double zoom,
                      float offsetX, float offsetY, double cosD, double sinD) {
    const double halfWidth = extents.halfWidth;
    const double halfHeight = extents.halfHeight;
    return makeCrop(pictureWidth / 2 - (offsetX * cosD + halfWidth - offsetY * sinD) / zoom,
                    pictureHeight / 2 - (offsetX * sinD + halfHeight + offsetY * cosD) / zoom,
                    2.0 * halfWidth / zoom, 2.0 * halfHeight / zoom);
}

SceneCrop dockedBackgroundCrop(int pictureWidth, int pictureHeight) {
    return makeCrop(pictureWidth / 2 - dockedHalfWidth, pictureHeight / 2 - dockedHalfHeight,
                    viewportWidth, viewportHeight);
}

SceneCrop dockedStationCrop(int pictureWidth, int pictureHeight, double zoom) {
    if (!std::isfinite(zoom)) {
        return SceneCrop{false, {0, 0, 0, 0}};
    }
    const double magnitude = std::fabs(zoom);
    double halfWidth = dockedHalfWidth;
    double halfHeight = dockedHalfHeight;
    if (magnitude > 1.0) {
        // Centred on the same point with even sides, the crop puts the same
        // pixels into the viewport as the whole 540 x 300; one picture pixel
        // more than the viewport needs keeps its edges covered, and no half
        // is larger than what stays within maxTurnedSide once zoomed.
        const double largest = std::floor((maxTurnedSide / 2 - 1) / magnitude);
        halfWidth = std::min({halfWidth, std::floor(dockedHalfWidth / magnitude) + 1.0, largest});
        halfHeight =
            std::min({halfHeight, std::floor(dockedHalfHeight / magnitude) + 1.0, largest});
    }
    return makeCrop(pictureWidth / 2 - halfWidth, pictureHeight / 2 - halfHeight, 2.0 * halfWidth,
                    2.0 * halfHeight);
}

StationLook stationLook(float approachScale, SDL_Surface* low, SDL_Surface* medium,
                        SDL_Surface* full) {
    const double scale = approachScale;
    if (approachScale < lowLevelBelow) {
        return {LevelLow, low, 4.0 * scale, whiteGrey};
    }
    if (approachScale < mediumLevelBelow) {
        return {LevelMedium, medium, 2.0 * scale, 0};
    }
    // NaN lands here too; its zoom keeps the station from being drawn.
    return {LevelFull, full, scale, 0};
}

LayerPlan backgroundPlan(const SceneInputs& inputs, int pictureWidth, int pictureHeight) {
    const HalfExtents extents =
        viewportHalfExtents(inputs.rollAngle, inputs.rollCos, inputs.rollSin);
    const SceneCrop crop =
        backgroundCrop(pictureWidth, pictureHeight, extents, inputs.offsetX, inputs.offsetY);
    if (!crop.drawable) {
        return LayerPlan{};
    }
    return planTurn(true, crop.rect, crop.rect.w, crop.rect.h, inputs.rollAngle, 1.0,
                    viewportCentreX, viewportCentreY);
}

LayerPlan stationPlan(const SceneInputs& inputs, const StationLook& look, int pictureWidth,
                      int pictureHeight) {
    const HalfExtents extents = viewportHalfExtents(inputs.relativeRollAngle,
                                                    inputs.relativeRollCos, inputs.relativeRollSin);
    if (look.level == LevelLow) {
        return lowStationPlan(inputs, look, extents, pictureWidth, pictureHeight);
    }
    // The station's angle against the background.
    const double turn =
        (static_cast<double>(inputs.relativeRollAngle) - inputs.rollAngle) * degreesToRadians;
    const double cosD = std::cos(turn);
    const double sinD = std::sin(turn);
    const SceneCrop crop = stationCrop(pictureWidth, pictureHeight, extents, look.zoom,
                                       inputs.offsetX, inputs.offsetY, cosD, sinD);
    // A crop wholly outside the picture would turn into a transparent layer.
    if (!crop.drawable || !overlapsPicture(crop.rect, pictureWidth, pictureHeight)) {
        return LayerPlan{};
    }
    return planTurn(true, crop.rect, crop.rect.w, crop.rect.h, inputs.relativeRollAngle, look.zoom,
                    viewportCentreX, viewportCentreY);
}

LayerPlan dockedBackgroundPlan(int pictureWidth, int pictureHeight) {
    const SceneCrop crop = dockedBackgroundCrop(pictureWidth, pictureHeight);
    if (!crop.drawable) {
        return LayerPlan{};
    }
    return planTurn(true, crop.rect, crop.rect.w, crop.rect.h, dockedTurn, 1.0, viewportCentreX,
                    viewportCentreY);
}

LayerPlan dockedStationPlan(float approachScale, int pictureWidth, int pictureHeight) {
    const double zoom = approachScale;
    const SceneCrop crop = dockedStationCrop(pictureWidth, pictureHeight, zoom);
    if (!crop.drawable || !overlapsPicture(crop.rect, pictureWidth, pictureHeight)) {
        return LayerPlan{};
    }
    return planTurn(true, crop.rect, crop.rect.w, crop.rect.h, dockedTurn, zoom, viewportCentreX,
                    viewportCentreY);
}

void drawApproachScene(float approachScale, float relativeRollAngle, float rollAngle, float offsetX,
                       float offsetY) {
    if (media.screen == nullptr) {
        return;
    }
    const SceneInputs inputs = {approachScale,     relativeRollAngle, rollAngle, offsetX,  offsetY,
                                relativeRollCos(), relativeRollSin(), rollCos(), rollSin()};
    if (media.backgroundImage != nullptr) {
        drawLayer(media.backgroundImage,
                  backgroundPlan(inputs, media.backgroundImage->w, media.backgroundImage->h), noKey,
                  false);
    }
    const StationLook look =
        stationLook(approachScale, media.stationLow, media.stationMed, media.stationFull);
    if (look.picture != nullptr) {
        drawLayer(look.picture, stationPlan(inputs, look, look.picture->w, look.picture->h),
                  look.keyGrey, look.level == LevelLow);
    }
}

void drawDockedScene(float approachScale) {
    if (media.screen == nullptr) {
        return;
    }
    if (media.backgroundImage != nullptr) {
        drawLayer(media.backgroundImage,
                  dockedBackgroundPlan(media.backgroundImage->w, media.backgroundImage->h), noKey,
                  false);
    }
    if (media.stationFull != nullptr) {
        drawLayer(media.stationFull,
                  dockedStationPlan(approachScale, media.stationFull->w, media.stationFull->h), 0,
                  false);
    }
}

SceneSurfaces largestSceneSurfaces() {
    return largestMade;
}

void resetLargestSceneSurfaces() {
    largestMade = {};
}
