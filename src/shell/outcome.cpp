// The arrival test, the docked and crashed screens with their messages, and the restart.
#include "shell/outcome.h"

#include <new>
#include <sstream>

#include "cockpit/panel.h"
#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/sound.h"
#include "shell/choice.h"
#include "shell/media.h"
#include "view/scene.h"
#include "view/surface.h"

namespace {

void drawMessage(const std::stringstream& text, int x, int y) {
    if (media.messageFont == nullptr) {
        return;
    }
    SDL_Surface* message = nullptr;
    try {
        message = TTF_RenderText_Solid(media.messageFont, text.str().c_str(), textRed);
    } catch (const std::bad_alloc&) {
        // Short of memory for the copy of the text: this frame goes without it.
        return;
    }
    applySurface(x, y, message, media.screen);
    SDL_FreeSurface(message);
}

}  // namespace

void arrivalTest(GameLoop& loop) {
    // Written so that a NaN scale never ends the approach.
    if (!(loop.approachScale >= 1.0f) || loop.approachPhase != Flying) {
        return;
    }
    const int score = assessDocking();
    if (score == 0) {
        loop.approachPhase = Crashed;
    } else {
        loop.points += score;
        loop.approachPhase = Docked;
    }
}

void drawDockedScreen(GameLoop& loop) {
    drawDockedScene(loop.approachScale);
    drawIdlePanel(true);
    std::stringstream display;
    std::stringstream display2;
    std::stringstream display3;
    display << "You docked successfully!";
    display2 << "You got " << loop.points << " points!";
    display3 << "Press Enter to try again.";
    drawMessage(display, 100, 80);
    drawMessage(display2, 100, 120);
    drawMessage(display3, 100, 160);
    fadeThrusterSound();
    if (loop.pollResult == pollTryAgain) {
        restartApproach(loop, Docked);
    }
}

void drawCrashedScreen(GameLoop& loop) {
    // Nothing is cleared: the last Flying picture stays behind the panel.
    drawIdlePanel(false);
    std::stringstream display;
    std::stringstream display2;
    display << "You crashed!";
    display2 << "Press Enter to try again.";
    drawMessage(display, 100, 100);
    drawMessage(display2, 100, 140);
    fadeThrusterSound();
    if (loop.pollResult == pollTryAgain) {
        restartApproach(loop, Crashed);
    }
}

void restartApproach(GameLoop& loop, ApproachPhase ended) {
    loop.approachPhase = Flying;
    loop.points = 0;
    chooseBackground();
    chooseStation(ended == Docked);
    reportUnloadedMedia(false);
    resetApproach();
    // The arrival test must wait for the new approach's first distance step.
    loop.approachScale = 0.0f;
}
