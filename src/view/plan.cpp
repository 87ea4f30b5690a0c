// The plans of the view's layers: crop, turn, zoom and place, the low station cut to the viewport.
#include "view/plan.h"

#include <SDL/SDL_rotozoom.h>

#include <algorithm>
#include <cmath>

#include "flight/flight.h"
#include "view/caps.h"
#include "view/surface.h"

namespace {

constexpr double dockedTurn = 180.0;

SDL_Rect insidePicture(const SDL_Rect& rect, int width, int height) {
    const int left = std::max<int>(rect.x, 0);
    const int top = std::max<int>(rect.y, 0);
    const int right = std::min(rect.x + rect.w, width);
    const int bottom = std::min(rect.y + rect.h, height);
    return {clampToSint16(left), clampToSint16(top), clampToUint16(right - left),
            clampToUint16(bottom - top)};
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
    if (!allFinite(angle, zoom, centreX, centreY) || !cropSizeWithin(cropped, crop) ||
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
    const double radians = angle * gfxDegreesToRadians;
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
    const double radians = angle * gfxDegreesToRadians;
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
    const ScenePoint point = stationPoint(in.offsetX, in.offsetY, in.rollCos, in.rollSin);
    const double pointX = point.x;
    const double pointY = point.y;
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
        if (plan.drawn || !shrinkCrop(crop)) {
            return plan;
        }
    }
}

}  // namespace

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
