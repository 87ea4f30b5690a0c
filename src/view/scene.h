// The view out of the cockpit: the background and the station, in the order a frame draws them.
#pragma once

#include "view/layer.h"

// The plans of a scene's two layers, for the pictures of the media set, and
// the station's level of detail; a missing picture's plan is not drawn.
struct ScenePlans {
    StationLook look;
    LayerPlan background;
    LayerPlan station;
};
ScenePlans approachPlans(const SceneInputs& inputs);
ScenePlans dockedPlans(float approachScale);

// Draws the background turned by rollAngle and shifted by half the offset,
// and the station turned by relativeRollAngle, zoomed by approachScale, at the
// station screen point. Without a background picture the viewport is filled
// black instead; a missing station picture or a layer that cannot be drawn
// this frame (NaN, infinity, an empty crop, a surface too large) is skipped.
void drawApproachScene(float approachScale, float relativeRollAngle, float rollAngle, float offsetX,
                       float offsetY);

// The docked picture: the centres of the background and the full station,
// both upside down, the station at the last approachScale.
void drawDockedScene(float approachScale);
