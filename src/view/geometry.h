// The view's geometry: plain arithmetic that tests call without a window.
// The viewport, the extents that cover it once turned, the crops, the station
// screen point and the level of detail.
#pragma once

#include <SDL/SDL.h>

// The screen, the window's one surface: 640 x 480.
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;

// The viewport: 540 x 300 with its top-left corner at (50, 50).
constexpr int viewportLeft = 50;
constexpr int viewportTop = 50;
constexpr int viewportWidth = 540;
constexpr int viewportHeight = 300;
constexpr int viewportCentreX = 320;
constexpr int viewportCentreY = 200;

bool allFinite(double a, double b, double c, double d);

struct HalfExtents {
    float halfWidth;
    float halfHeight;
};

// The half size of a crop that, turned by angle (degrees, with its cached
// cosine and sine), still covers the whole viewport.
HalfExtents viewportHalfExtents(float angle, float angleCos, float angleSin);

// Where the view shows the station's centre, before truncation.
struct ScenePoint {
    double x;
    double y;
};
ScenePoint stationPoint(float offsetX, float offsetY, float rollCos, float rollSin);

struct ScreenPoint {
    int x;
    int y;
};

// The station point truncated toward zero; defined for any value (NaN gives
// 0, values beyond int the nearest end).
ScreenPoint stationScreenPoint(float offsetX, float offsetY, float rollCos, float rollSin);

// The top-left corner that puts the centre of a width x height surface on
// (centreX, centreY), with integer halves, truncated toward zero.
ScreenPoint centredPlacement(double centreX, double centreY, int width, int height);

// A rectangle to cut out of a picture. drawable is false when the formulas
// give no finite, non-empty rectangle; rect is then meaningless.
struct SceneCrop {
    bool drawable;
    SDL_Rect rect;
};

// A crop from unrounded values: the position is clamped into SDL's 16-bit
// fields (a crop that far out shows none of the picture either way), the size
// must fit them.
SceneCrop makeCrop(double x, double y, double width, double height);

// Whether rect shares a pixel with a width x height picture.
bool overlapsPicture(const SDL_Rect& rect, int width, int height);

// The part of the background that, turned by the roll, covers the viewport;
// it moves with half the offset.
SceneCrop backgroundCrop(int pictureWidth, int pictureHeight, HalfExtents extents, float offsetX,
                         float offsetY);

// The part of the medium or full station picture that, turned by the
// relative roll and zoomed by zoom, covers the viewport. cosD and sinD are
// those of the station's angle against the background.
SceneCrop stationCrop(int pictureWidth, int pictureHeight, HalfExtents extents, double zoom,
                      float offsetX, float offsetY, double cosD, double sinD);

// The docked picture's crops: the centre 540 x 300 of the background, and of
// the full station; above zoom 1 the station crop shrinks, around the same
// centre, to what still covers the viewport once zoomed.
SceneCrop dockedBackgroundCrop(int pictureWidth, int pictureHeight);
SceneCrop dockedStationCrop(int pictureWidth, int pictureHeight, double zoom);

enum StationLevel { LevelLow = 0, LevelMedium = 1, LevelFull = 2 };

// The station's level of detail for approachScale: its picture, its zoom and
// the grey of the colour key set on the turned station (255 white, 0 black).
struct StationLook {
    StationLevel level;
    SDL_Surface* picture;
    double zoom;
    Uint8 keyGrey;
};
StationLook stationLook(float approachScale, SDL_Surface* low, SDL_Surface* medium,
                        SDL_Surface* full);
