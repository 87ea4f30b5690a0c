// The view out of the cockpit: the background and the station, in the order a frame draws them.
#pragma once

#include "view/layer.h"

// Draws the background turned by rollAngle and shifted by half the offset,
// and the station turned by relativeRollAngle, zoomed by approachScale, at the
// station screen point. A missing picture or a layer that cannot be drawn this
// frame (NaN, infinity, an empty crop, a surface too large) is skipped.
void drawApproachScene(float approachScale, float relativeRollAngle, float rollAngle, float offsetX,
                       float offsetY);

// The docked picture: the centres of the background and the full station,
// both upside down, the station at the last approachScale.
void drawDockedScene(float approachScale);
