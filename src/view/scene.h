// The view out of the cockpit: the background and the station.
#pragma once

#include <SDL/SDL.h>

// Draws the background turned by rollAngle and shifted by half the offset,
// and the station turned by relativeRollAngle, zoomed by approachScale, at the
// station screen point. A missing picture or a layer that cannot be drawn this
// frame (NaN, infinity, an empty crop, a surface too large) is skipped.
void drawApproachScene(float approachScale, float relativeRollAngle, float rollAngle, float offsetX,
                       float offsetY);

// The docked picture: the centres of the background and the full station,
// both upside down, the station at the last approachScale.
void drawDockedScene(float approachScale);

// The viewport: 540 x 300 with its top-left corner at (50, 50).
constexpr int viewportLeft = 50;
constexpr int viewportTop = 50;
constexpr int viewportWidth = 540;
constexpr int viewportHeight = 300;
constexpr int viewportCentreX = 320;
constexpr int viewportCentreY = 200;

// No surface that the scene turns is wider or taller than this: a 617 x 617
// crop turned by 45 degrees is 872 x 872, plus room for SDL_gfx's rounding.
constexpr int maxTurnedSide = 880;
// No crop is wider or taller than the medium level's at its smallest zoom,
// 2R / 0.5, or than the low station picture, whichever is larger.
constexpr int maxCropSide = 1236;

struct HalfExtents {
    float halfWidth;
    float halfHeight;
};

// The half size of a crop that, turned by angle (degrees, with its cached
// cosine and sine), still covers the whole viewport.
HalfExtents viewportHalfExtents(float angle, float angleCos, float angleSin);

struct ScreenPoint {
    int x;
    int y;
};

// Where the view shows the station's centre, truncated toward zero; defined
// for any value (NaN gives 0, values beyond int the nearest end).
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

// How one layer is drawn this frame: cut crop out of the picture (or take the
// whole picture when cropped is false), turn it by angle and zoom it, put the
// result's centre on (centreX, centreY), which places it at (x, y).
struct LayerPlan {
    bool drawn;
    bool cropped;
    SDL_Rect crop;
    double angle;
    double zoom;
    double centreX;
    double centreY;
    int turnedWidth;
    int turnedHeight;
    int x;
    int y;
};

// The inputs of one frame: the five values of the motion steps and the
// cached cosines and sines of both rolls.
struct SceneInputs {
    float approachScale;
    float relativeRollAngle;
    float rollAngle;
    float offsetX;
    float offsetY;
    float relativeRollCos;
    float relativeRollSin;
    float rollCos;
    float rollSin;
};

// The plans of the four layers, for pictures of the given sizes. A plan's
// turned surface never exceeds maxTurnedSide on either side.
LayerPlan backgroundPlan(const SceneInputs& inputs, int pictureWidth, int pictureHeight);
LayerPlan stationPlan(const SceneInputs& inputs, const StationLook& look, int pictureWidth,
                      int pictureHeight);
LayerPlan dockedBackgroundPlan(int pictureWidth, int pictureHeight);
LayerPlan dockedStationPlan(float approachScale, int pictureWidth, int pictureHeight);

// The largest width and height of the crops and of the turned surfaces that
// the scene has made since the last reset, to check that no frame makes a
// huge one.
struct SurfaceSize {
    int width;
    int height;
};
struct SceneSurfaces {
    SurfaceSize largestCrop;
    SurfaceSize largestTurned;
};
SceneSurfaces largestSceneSurfaces();
void resetLargestSceneSurfaces();
