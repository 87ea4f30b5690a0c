// A scripted pilot flies the real flight model with nothing but the eight
// thruster keys, from many random starts of both stations, and must dock
// every time: the controls, the motion and the tolerances fit together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>

#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "shell/game.h"
#include "shell/media.h"

namespace {

enum Key { keyA, keyD, keyW, keyS, keyUp, keyDown, keyRight, keyLeft, keyCount };
constexpr SDLKey keySymbols[keyCount] = {SDLK_a,  SDLK_d,    SDLK_w,     SDLK_s,
                                         SDLK_UP, SDLK_DOWN, SDLK_RIGHT, SDLK_LEFT};

struct Pilot {
    bool held[keyCount] = {};
};

void setKey(Pilot& pilot, Key key, bool down) {
    if (pilot.held[key] == down) {
        return;
    }
    pilot.held[key] = down;
    inputEvent = SDL_Event();
    inputEvent.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    inputEvent.key.type = inputEvent.type;
    inputEvent.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    inputEvent.key.keysym.sym = keySymbols[key];
    applyThrusterKey();
}

// Holds the key of a pair that pushes the right way, or neither.
void steer(Pilot& pilot, Key plus, Key minus, int direction) {
    setKey(pilot, plus, direction > 0);
    setKey(pilot, minus, direction < 0);
}

// Bang-bang with a dead band wider than half of one frame's kick (60 x 40 ms),
// so that a single frame of thrust cannot throw the error past the other edge.
int push(double error, double band) {
    if (error > band) {
        return 1;
    }
    return error < -band ? -1 : 0;
}

// The speed at which to close a gap and still stop on it with the given
// braking, linear near the goal so that the pilot does not chatter there.
double closingSpeed(double gap, double braking, double gain, double cap) {
    const double size =
        std::min({std::sqrt(2.0 * braking * std::fabs(gap)), gain * std::fabs(gap), cap});
    return gap > 0 ? size : -size;
}

// The nearest relative roll whose alignment error is 0: a half turn, half a
// degree on, since the error is taken on the truncated angle.
double rollTarget(double angle) {
    const double mirror = angle < 0 ? -1.0 : 1.0;
    const double turns = std::max(0.0, std::round((mirror * angle - 180.5) / 360.0));
    return mirror * (360.0 * turns + 180.5);
}

constexpr double cruiseClosing = 45.0;  // thousandths of a unit per second
constexpr double finalClosing = 4.0;
constexpr double finalGap = 0.06;  // distance units before the station

void fly(Pilot& pilot) {
    const FlightState& s = flightState();

    // Roll: bring the relative roll to a half turn and stop there.
    const double rollGap = rollTarget(s.relativeRollAngle) - s.relativeRollAngle;
    const double wantedRollRate = 10.0 * closingSpeed(rollGap, 3.0, 0.5, 15.0);
    steer(pilot, keyRight, keyLeft, push(wantedRollRate - s.relativeRollRate, 1.3));

    // Lateral: the velocity change wanted on the station's axes, turned into
    // the craft's own axes, where the keys push.
    const double wantedX = closingSpeed(-s.offsetX, 20.0, 0.5, 40.0) - s.velocityX;
    const double wantedY = closingSpeed(-s.offsetY, 20.0, 0.5, 40.0) - s.velocityY;
    const double craftX = wantedX * s.rollCos + wantedY * s.rollSin;
    const double craftY = -wantedX * s.rollSin + wantedY * s.rollCos;
    steer(pilot, keyA, keyD, push(craftX, 1.3));
    steer(pilot, keyW, keyS, push(craftY, 1.3));

    // Closing: cruise, then creep the last stretch.
    const double wantedClosing = s.distance - 1.0 > finalGap ? cruiseClosing : finalClosing;
    steer(pilot, keyUp, keyDown, push(wantedClosing - s.velocityZ, 1.5));
}

void releaseAll(Pilot& pilot) {
    for (int key = 0; key < keyCount; ++key) {
        setKey(pilot, static_cast<Key>(key), false);
    }
}

struct Flight {
    int score = 0;
    double seconds = 0.0;
    bool arrived = false;
};

constexpr Uint32 timeLimitMs = 20 * 60 * 1000;

Flight flyApproach(unsigned seed, int spin, std::mt19937& frameClock) {
    media.stationSpin = spin;
    std::srand(seed);
    resetApproach();
    Pilot pilot;
    std::uniform_int_distribution<Uint32> frameLength(10, 40);
    Flight flight;
    Uint32 elapsedMs = 0;
    while (elapsedMs < timeLimitMs) {
        fly(pilot);
        const Uint32 frameMs = frameLength(frameClock);
        const float approachScale = advanceDistance(frameMs);
        advanceRelativeRoll(frameMs);
        advanceRoll(frameMs);
        advanceOffsetX(frameMs);
        advanceOffsetY(frameMs);
        elapsedMs += frameMs;
        if (approachScale >= 1.0f) {
            flight.arrived = true;
            flight.score = assessDocking();
            break;
        }
    }
    releaseAll(pilot);
    flight.seconds = elapsedMs / 1000.0;
    return flight;
}

TEST(ScriptedPilot, DocksFromEveryStartOfBothStations) {
    constexpr int runs = 1000;
    std::mt19937 frameClock(20240601);
    double scoreSum = 0.0;
    double secondsSum = 0.0;
    int lowest = 18984;
    double longest = 0.0;
    for (int run = 0; run < runs; ++run) {
        const int spin = run % 2 == 0 ? 0 : 100;
        const unsigned seed = 1000u + static_cast<unsigned>(run);
        const Flight flight = flyApproach(seed, spin, frameClock);
        ASSERT_TRUE(flight.arrived) << "seed " << seed << " spin " << spin;
        ASSERT_GT(flight.score, 0) << "seed " << seed << " spin " << spin;
        scoreSum += flight.score;
        secondsSum += flight.seconds;
        lowest = std::min(lowest, flight.score);
        longest = std::max(longest, flight.seconds);
    }
    const double meanScore = scoreSum / runs;
    const double meanSeconds = secondsSum / runs;
    std::cout << "scripted pilot over " << runs << " approaches: mean score " << meanScore
              << ", lowest " << lowest << ", mean flight " << meanSeconds << " s, longest "
              << longest << " s\n";
    RecordProperty("meanScore", std::to_string(meanScore));
    RecordProperty("meanFlightSeconds", std::to_string(meanSeconds));
    media.stationSpin = 0;
}

}  // namespace
