// The two scenes: the order of a Flying frame's view and of the docked picture, layer by layer.
#include "view/scene.h"

#include "flight/flight.h"
#include "shell/media.h"

ScenePlans approachPlans(const SceneInputs& inputs) {
    ScenePlans plans = {};
    plans.look =
        stationLook(inputs.approachScale, media.stationLow, media.stationMed, media.stationFull);
    if (media.backgroundImage != nullptr) {
        plans.background =
            backgroundPlan(inputs, media.backgroundImage->w, media.backgroundImage->h);
    }
    if (plans.look.picture != nullptr) {
        plans.station =
            stationPlan(inputs, plans.look, plans.look.picture->w, plans.look.picture->h);
    }
    return plans;
}

ScenePlans dockedPlans(float approachScale) {
    ScenePlans plans = {};
    if (media.backgroundImage != nullptr) {
        plans.background = dockedBackgroundPlan(media.backgroundImage->w, media.backgroundImage->h);
    }
    if (media.stationFull != nullptr) {
        plans.station =
            dockedStationPlan(approachScale, media.stationFull->w, media.stationFull->h);
    }
    return plans;
}

void drawApproachScene(float approachScale, float relativeRollAngle, float rollAngle, float offsetX,
                       float offsetY) {
    if (media.screen == nullptr) {
        return;
    }
    const SceneInputs inputs = {approachScale,     relativeRollAngle, rollAngle, offsetX,  offsetY,
                                relativeRollCos(), relativeRollSin(), rollCos(), rollSin()};
    const ScenePlans plans = approachPlans(inputs);
    if (media.backgroundImage != nullptr) {
        drawLayer(media.backgroundImage, plans.background, noKey, false);
    } else {
        // Nothing else clears the view: without its background the last
        // picture and its label would stay under the station.
        SDL_Rect viewport = {viewportLeft, viewportTop, viewportWidth, viewportHeight};
        SDL_FillRect(media.screen, &viewport, SDL_MapRGB(media.screen->format, 0, 0, 0));
    }
    if (plans.look.picture != nullptr) {
        drawLayer(plans.look.picture, plans.station, plans.look.keyGrey,
                  plans.look.level == LevelLow);
    }
}

void drawDockedScene(float approachScale) {
    if (media.screen == nullptr) {
        return;
    }
    const ScenePlans plans = dockedPlans(approachScale);
    if (media.backgroundImage != nullptr) {
        drawLayer(media.backgroundImage, plans.background, noKey, false);
    }
    if (media.stationFull != nullptr) {
        drawLayer(media.stationFull, plans.station, 0, false);
    }
}
