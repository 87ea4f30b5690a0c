// Plays one docking and one crash through the game's own loop in a real
// window, with the scripted pilot on the thruster keys, and saves four
// screenshots: the start of an approach, close to the station, the docked
// screen and the crashed screen. Run it in the run directory under X:
//   xvfb-run -a -s "-screen 0 640x480x24" ../tools/screenshots ../../../docs
#include <cstdio>
#include <cstdlib>
#include <string>

#include "flight/flight.h"
#include "pilot.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

std::string outputDir;

void save(const char* name) {
    const std::string bmp = "/tmp/halvanne_" + std::string(name) + ".bmp";
    SDL_SaveBMP(media.screen, bmp.c_str());
    const std::string command = "convert " + bmp + " " + outputDir + "/" + name + ".png";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "screenshots: could not write %s.png\n", name);
    }
    std::remove(bmp.c_str());
    std::printf("saved %s.png\n", name);
}

// One pass of the loop with a steady 30 ms frame, so that a long approach
// takes seconds, not minutes, to play.
void frame(GameLoop& loop) {
    loop.pollResult = pollInput();
    loop.frameMs = 30;
    runFrameWork(loop);
    SDL_Flip(media.screen);
}

}  // namespace

int main(int argc, char* argv[]) {
    outputDir = argc > 1 ? argv[1] : ".";
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    GameLoop loop;
    std::srand(7);
    if (!startGame(loop)) {
        std::fprintf(stderr, "screenshots: the game could not start here\n");
        return 1;
    }
    for (int i = 0; i < 60; ++i) {
        frame(loop);
    }
    save("start");

    Pilot pilot;
    pilot.send = queueKey;
    bool closeSaved = false;
    while (loop.approachPhase == Flying) {
        flyPilot(pilot);
        frame(loop);
        if (!closeSaved && flightState().distance < 1.6f) {
            save("close");
            closeSaved = true;
        }
    }
    releasePilotKeys(pilot);
    frame(loop);
    save(loop.approachPhase == Docked ? "docked" : "crashed-instead-of-docked");

    pushKey(SDLK_RETURN, true);
    frame(loop);
    pushKey(SDLK_UP, true);  // full forward thrust into the station
    while (loop.approachPhase == Flying) {
        frame(loop);
    }
    pushKey(SDLK_UP, false);
    frame(loop);
    save("crashed");
    shutdownGame();
    return 0;
}
