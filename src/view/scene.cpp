// The two scenes: the order of a Flying frame's view and of the docked picture, layer by layer.
#include "view/scene.h"

#include "flight/flight.h"
#include "shell/media.h"

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
