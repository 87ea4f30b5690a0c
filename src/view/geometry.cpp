// The view's geometry: extents, station point, placements, crops and levels, without a window.
#include "view/geometry.h"

#include <algorithm>
#include <cmath>

#include "flight/flight.h"
#include "view/caps.h"
#include "view/surface.h"

namespace {

// The docked crops are the viewport's size.
constexpr int dockedHalfWidth = viewportWidth / 2;
constexpr int dockedHalfHeight = viewportHeight / 2;

// The viewport's half-diagonal: a crop with this half size covers the viewport
// whatever the turn.
const float sceneRadius = std::sqrt(
    static_cast<float>(dockedHalfWidth * dockedHalfWidth + dockedHalfHeight * dockedHalfHeight));

constexpr float lowLevelBelow = 0.25f;
constexpr float mediumLevelBelow = 0.5f;
constexpr double backgroundParallax = 0.5;
constexpr int rectSideLimit = 65535;  // SDL_Rect's w and h are 16 bits
constexpr int whiteGrey = 255;

}  // namespace

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

HalfExtents viewportHalfExtents(float angle, float angleCos, float angleSin) {
    // cos·sin is positive in the first and third quadrants, where angle - 45
    // is the angle's distance from the nearest diagonal, and angle + 45 is
    // elsewhere (up to whole half turns). k then grows from 1/√2 on an axis to
    // 1 on a diagonal, and R·k stays beyond the turned viewport's reach.
    const double sign = static_cast<double>(angleCos) * angleSin;
    const double phi = sign > 0.0 ? angle - 45.0 : angle + 45.0;
    const double k = std::fabs(std::cos(phi * degreesToRadians));
    const float shorter = static_cast<float>(sceneRadius * k);
    if (std::fabs(angleSin) < std::fabs(angleCos)) {
        return {sceneRadius, shorter};
    }
    return {shorter, sceneRadius};
}

ScenePoint stationPoint(float offsetX, float offsetY, float rollCos, float rollSin) {
    return {viewportCentreX + static_cast<double>(offsetX) * rollCos +
                static_cast<double>(offsetY) * rollSin,
            viewportCentreY - static_cast<double>(offsetX) * rollSin +
                static_cast<double>(offsetY) * rollCos};
}

ScreenPoint stationScreenPoint(float offsetX, float offsetY, float rollCos, float rollSin) {
    const ScenePoint point = stationPoint(offsetX, offsetY, rollCos, rollSin);
    return {truncToInt(point.x), truncToInt(point.y)};
}

ScreenPoint centredPlacement(double centreX, double centreY, int width, int height) {
    return {truncToInt(centreX - width / 2), truncToInt(centreY - height / 2)};
}

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
        // is larger than the surface caps allow once zoomed.
        const double largest = largestUnturnedHalf(magnitude);
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
