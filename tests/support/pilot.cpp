// The scripted pilot's decisions: which thruster keys to hold, from the last frame's flight state.
#include "pilot.h"

#include <algorithm>
#include <cmath>

#include "flight/flight.h"
#include "flight/motion.h"
#include "shell/game.h"
#include "test_support.h"

namespace {

constexpr SDLKey keySymbols[pilotKeyCount] = {SDLK_a,  SDLK_d,    SDLK_w,     SDLK_s,
                                              SDLK_UP, SDLK_DOWN, SDLK_RIGHT, SDLK_LEFT};

void setKey(Pilot& pilot, PilotKey key, bool down) {
    if (pilot.held[key] != down) {
        pilot.held[key] = down;
        pilot.send(keySymbols[key], down);
    }
}

// Holds the key of a pair that pushes the right way, or neither.
void steer(Pilot& pilot, PilotKey plus, PilotKey minus, int direction) {
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

}  // namespace

void applyKeyNow(SDLKey key, bool down) {
    inputEvent = keyEvent(key, down);
    applyThrusterKey();
}

void queueKey(SDLKey key, bool down) {
    pushKey(key, down);
}

float advanceMotion(Uint32 frameMs) {
    const float scale = advanceDistance(frameMs);
    advanceRelativeRoll(frameMs);
    advanceRoll(frameMs);
    advanceOffsetX(frameMs);
    advanceOffsetY(frameMs);
    return scale;
}

void flyPilot(Pilot& pilot) {
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

void releasePilotKeys(Pilot& pilot) {
    for (int key = 0; key < pilotKeyCount; ++key) {
        setKey(pilot, static_cast<PilotKey>(key), false);
    }
}
