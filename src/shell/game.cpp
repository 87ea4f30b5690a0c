// The program and its loop: start-up, the event poll, the frame time, the order of a frame.
#include "shell/game.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "cockpit/panel.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "flight/sound.h"
#include "shell/choice.h"
#include "shell/media.h"
#include "shell/outcome.h"
#include "shell/shutdown.h"
#include "shell/systems.h"
#include "view/scene.h"

SDL_Event inputEvent;

int pollInput() {
    int result = pollNothing;
    while (SDL_PollEvent(&inputEvent) != 0) {
        // The thruster keys see every event first, even the one that quits.
        applyThrusterKey();
        if (inputEvent.type == SDL_QUIT) {
            return pollQuit;
        }
        if (inputEvent.type == SDL_KEYDOWN) {
            if (inputEvent.key.keysym.sym == SDLK_RETURN) {
                result = pollTryAgain;
            } else if (inputEvent.key.keysym.sym == SDLK_ESCAPE) {
                result = pollQuit;
            }
        }
    }
    return result;
}

bool startGame(GameLoop& loop) {
    setupClips();
    if (!initSystems()) {
        return false;
    }
    // A missing font, background or station ends the start before anything
    // loads; one that is there but cannot be decoded, once the loads are done.
    if (!requiredMediaPresent()) {
        closeSystems();
        return false;
    }
    loadMediaSet();
    chooseBackground();
    chooseStation(false);
    if (!reportUnloadedMedia(true)) {
        shutdownGame();
        return false;
    }
    if (media.musicTrack != nullptr) {
        Mix_PlayMusic(media.musicTrack, -1);
    }
    if (media.engineLoop != nullptr) {
        Mix_PlayChannelTimed(engineChannel, media.engineLoop, -1, -1);
    }
    loop.lastTicks = SDL_GetTicks();
    loop.frameMs = 0;
    startIconClock();
    resetApproach();
    return true;
}

void drawFlyingFrame(GameLoop& loop) {
    const Uint32 frameMs = loop.frameMs;
    loop.approachScale = advanceDistance(frameMs);
    const float relativeRollAngle = advanceRelativeRoll(frameMs);
    const float rollAngle = advanceRoll(frameMs);
    const float offsetX = advanceOffsetX(frameMs);
    const float offsetY = advanceOffsetY(frameMs);
    drawApproachScene(loop.approachScale, relativeRollAngle, rollAngle, offsetX, offsetY);
    drawFlightInstruments();
    updateThrusterSound(media.thrusterSound);
}

void runFrameWork(GameLoop& loop) {
    arrivalTest(loop);
    switch (loop.approachPhase) {
        case Flying:
            drawFlyingFrame(loop);
            break;
        case Docked:
            drawDockedScreen(loop);
            break;
        case Crashed:
            drawCrashedScreen(loop);
            break;
    }
}

void runFrame(GameLoop& loop) {
    loop.pollResult = pollInput();
    // Unsigned difference: right across the wrap of the tick counter. The
    // second reading starts the next frame's time, so whatever passes between
    // the two is lost to the motion: that is the loop's design, kept as it is.
    loop.frameMs = SDL_GetTicks() - loop.lastTicks;
    loop.lastTicks = SDL_GetTicks();
    runFrameWork(loop);
    SDL_Flip(media.screen);
}

int runGame(int /*argc*/, char* /*argv*/[]) {
    GameLoop loop;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    try {
        if (!startGame(loop)) {
            return 1;
        }
        while (loop.pollResult != pollQuit) {
            runFrame(loop);
        }
    } catch (const std::bad_alloc&) {
        // The last resort: our own code survives a failed allocation where it
        // makes one, but an exception that still escapes must not abort.
        std::fputs("halvanne: out of memory\n", stderr);
        shutdownGame();
        return 1;
    }
    shutdownGame();
    return 0;
}
