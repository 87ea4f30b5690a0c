// The plans of the view's layers: how each is cut, turned, zoomed and placed this frame.
// No plan cuts a crop beyond maxCropSide nor turns a surface beyond
// maxTurnedSide, whatever the flight state (the caps and their reasons: caps.h).
#pragma once

#include <SDL/SDL.h>

#include "view/caps.h"
#include "view/geometry.h"

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
// crop never exceeds maxCropSide, nor its turned surface maxTurnedSide, on
// either side.
LayerPlan backgroundPlan(const SceneInputs& inputs, int pictureWidth, int pictureHeight);
LayerPlan stationPlan(const SceneInputs& inputs, const StationLook& look, int pictureWidth,
                      int pictureHeight);
LayerPlan dockedBackgroundPlan(int pictureWidth, int pictureHeight);
LayerPlan dockedStationPlan(float approachScale, int pictureWidth, int pictureHeight);
