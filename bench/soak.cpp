// Long play: the real game loop on SDL's dummy drivers, with the real media,
// SDL_gfx, SDL_mixer and SDL_ttf, flown by a scripted pilot for a given number
// of frames. It prints the approaches flown, how they ended, and the resident
// memory after warm-up and at the end. Run it in the run directory:
//   cd build-X/run && ../bench/soak [frames] [seed] [longest frame ms]
// Each frame lasts 10 ms to the longest frame time (60 ms by default) of
// simulated time. The run fails unless it has flown, docked, crashed and
// restarted: a few thousand frames are enough, and CI runs such a short soak.
//
// The pilot presses and releases the thruster keys at random through SDL's
// event queue, as a player would, and presses Enter on the outcome screens.
// Random flying nearly always crashes, so every third approach (the second, the fifth, ...) is set
// up for a docking: once it comes within 0.3 units of the station, the pilot lets go of the keys
// and setFlightState puts the craft a few frames from arrival, centred, turned to the docked pose
// and slow, with a little random error.
#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

constexpr int keyCount = 8;
constexpr SDLKey thrusterKeys[keyCount] = {SDLK_a,  SDLK_d,    SDLK_w,     SDLK_s,
                                           SDLK_UP, SDLK_DOWN, SDLK_RIGHT, SDLK_LEFT};
constexpr int upKey = 4;
constexpr int downKey = 5;

// After this many frames of one approach the pilot only closes in, so that
// no approach drifts away for ever.
constexpr int approachFrameLimit = 4000;

struct Pilot {
    bool held[keyCount] = {};
    bool guided = false;  // this approach ends in a docking
    bool placed = false;  // the docking state has been set
    int approachFrames = 0;
    int outcomeFrames = 0;
    int enterAfter = 0;
};

struct Tally {
    long long approaches = 0;
    long long dockings = 0;
    long long crashes = 0;
    long long points = 0;
    long long restarts = 0;
    long long eventsPushed = 0;
};

void pushKeyEvent(SDLKey key, bool down, Tally& tally) {
    if (pushKey(key, down)) {
        ++tally.eventsPushed;
    }
}

void setKey(Pilot& pilot, int key, bool down, Tally& tally) {
    pilot.held[key] = down;
    pushKeyEvent(thrusterKeys[key], down, tally);
}

void releaseAll(Pilot& pilot, Tally& tally) {
    for (int key = 0; key < keyCount; ++key) {
        if (pilot.held[key]) {
            setKey(pilot, key, false, tally);
        }
    }
}

// Any thruster key but forward, which the pilot handles on its own.
int randomKey(std::mt19937& rng) {
    constexpr int others[] = {0, 1, 2, 3, downKey, 6, 7};
    return others[std::uniform_int_distribution<int>(0, 6)(rng)];
}

// A state a few frames from arrival within every tolerance, with some error.
void placeForDocking(std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    FlightState s = flightState();
    s.distance = 1.004f;
    s.velocityZ = 30.0f + 10.0f * unit(rng);
    s.offsetX = 20.0f * unit(rng);
    s.offsetY = 20.0f * unit(rng);
    s.velocityX = 25.0f * unit(rng);
    s.velocityY = 25.0f * unit(rng);
    s.relativeRollAngle =
        180.5f + 360.0f * std::uniform_int_distribution<int>(-3, 3)(rng) + 8.0f * unit(rng);
    s.relativeRollRate = 25.0f * unit(rng);
    setFlightState(s);
}

void flyingStep(Pilot& pilot, std::mt19937& rng, Tally& tally) {
    ++pilot.approachFrames;
    std::uniform_int_distribution<int> permille(0, 999);
    if (pilot.guided && !pilot.placed && flightState().distance < 1.3f) {
        releaseAll(pilot, tally);
        placeForDocking(rng);
        pilot.placed = true;
    }
    if (pilot.placed) {
        return;
    }
    if (pilot.approachFrames > approachFrameLimit) {
        if (!pilot.held[upKey]) {
            setKey(pilot, upKey, true, tally);
        }
        if (pilot.held[downKey]) {
            setKey(pilot, downKey, false, tally);
        }
        return;
    }
    // Forward thrust is held most of the time and reverse only tapped, so
    // that an approach ends within a few hundred frames.
    const int forward = permille(rng);
    if (pilot.held[upKey] ? forward < 5 : forward < 50) {
        setKey(pilot, upKey, !pilot.held[upKey], tally);
    }
    if (pilot.held[downKey] && permille(rng) < 100) {
        setKey(pilot, downKey, false, tally);
    }
    const int draw = permille(rng);
    if (draw < 30) {
        const int key = randomKey(rng);
        setKey(pilot, key, !pilot.held[key], tally);
    } else if (draw < 34) {
        // A release of a key that is not held, and a second press of one
        // that is: both must leave the thrusts as they are.
        const int key = randomKey(rng);
        pushKeyEvent(thrusterKeys[key], pilot.held[key], tally);
    } else if (draw < 35) {
        // Enter while flying does nothing.
        pushKeyEvent(SDLK_RETURN, true, tally);
        pushKeyEvent(SDLK_RETURN, false, tally);
    } else if (draw < 37) {
        // A burst of presses and releases in one frame, within SDL's queue.
        const int pairs = std::uniform_int_distribution<int>(10, 50)(rng);
        for (int i = 0; i < pairs; ++i) {
            const int key = randomKey(rng);
            pushKeyEvent(thrusterKeys[key], true, tally);
            pushKeyEvent(thrusterKeys[key], false, tally);
            pilot.held[key] = false;
        }
    }
}

void outcomeStep(Pilot& pilot, std::mt19937& rng, Tally& tally) {
    ++pilot.outcomeFrames;
    // Thruster keys still reach the flight state on an outcome screen.
    if (std::uniform_int_distribution<int>(0, 99)(rng) < 5) {
        const int key = randomKey(rng);
        setKey(pilot, key, !pilot.held[key], tally);
    }
    if (pilot.outcomeFrames >= pilot.enterAfter) {
        pushKeyEvent(SDLK_RETURN, true, tally);
        pushKeyEvent(SDLK_RETURN, false, tally);
    }
}

void startApproach(Pilot& pilot, const Tally& tally) {
    pilot.guided = tally.approaches % 3 == 1;
    pilot.placed = false;
    pilot.approachFrames = 0;
    pilot.outcomeFrames = 0;
}

long residentKiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kib = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kib;
}

long heapKiB() {
    return static_cast<long>(heapInUse() / 1024);
}

}  // namespace

int main(int argc, char* argv[]) {
    const long long frames = argc > 1 ? std::max(1LL, std::atoll(argv[1])) : 20000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
    const Uint32 longestFrameMs =
        argc > 3 ? static_cast<Uint32>(std::max(10L, std::atol(argv[3]))) : 60;
    const long long warmUp = std::min(frames / 10, 50000LL);
    std::mt19937 rng(seed);
    GameLoop loop;
    if (!startTestGame(loop, seed)) {
        std::fprintf(stderr, "soak: the game could not start here\n");
        return 1;
    }
    std::uniform_int_distribution<Uint32> frameLength(10, longestFrameMs);
    std::uniform_int_distribution<int> outcomeLength(1, 40);
    Pilot pilot;
    Tally tally;
    startApproach(pilot, tally);
    long warmRss = residentKiB();
    long warmHeap = heapKiB();
    const auto start = std::chrono::steady_clock::now();
    long long frame = 1;
    for (; frame <= frames; ++frame) {
        const ApproachPhase before = loop.approachPhase;
        if (before == Flying) {
            flyingStep(pilot, rng, tally);
        } else {
            outcomeStep(pilot, rng, tally);
        }
        loop.pollResult = pollInput();
        // SDL turns an interrupt or a termination signal into a quit.
        if (loop.pollResult == pollQuit) {
            break;
        }
        loop.frameMs = frameLength(rng);
        runFrameWork(loop);
        SDL_Flip(media.screen);

        if (before == Flying && loop.approachPhase != Flying) {
            ++tally.approaches;
            if (loop.approachPhase == Docked) {
                ++tally.dockings;
                tally.points += loop.points;
            } else {
                ++tally.crashes;
            }
            pilot.outcomeFrames = 0;
            pilot.enterAfter = outcomeLength(rng);
        } else if (before != Flying && loop.approachPhase == Flying) {
            ++tally.restarts;
            startApproach(pilot, tally);
        }
        if (frame == warmUp) {
            warmRss = residentKiB();
            warmHeap = heapKiB();
        }
        if (frames >= 200000 && frame % (frames / 10) == 0) {
            std::printf("soak: %lld frames, %lld approaches, resident %ld KiB\n", frame,
                        tally.approaches, residentKiB());
            std::fflush(stdout);
        }
    }
    const long long played = frame - 1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long endRss = residentKiB();
    const long endHeap = heapKiB();
    shutdownGame();

    std::printf("soak: %lld frames in %.1f s (%.0f frames/s), %lld key events\n", played, seconds,
                played / seconds, tally.eventsPushed);
    std::printf("soak: %lld approaches: %lld dockings (%lld points), %lld crashes, %lld restarts\n",
                tally.approaches, tally.dockings, tally.points, tally.crashes, tally.restarts);
    std::printf(
        "soak: resident memory after %lld warm-up frames %ld KiB, at the end %ld KiB, "
        "growth %ld KiB\n",
        warmUp, warmRss, endRss, endRss - warmRss);
    std::printf("soak: heap in use after warm-up %ld KiB, at the end %ld KiB\n", warmHeap, endHeap);
    // A soak that never went through every phase has not soaked them.
    if (tally.dockings == 0 || tally.crashes == 0 || tally.restarts == 0) {
        std::fprintf(stderr, "soak: expected a docking, a crash and a restart\n");
        return 1;
    }
    return 0;
}
