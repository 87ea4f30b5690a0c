// The one flight state: the random start of an approach, the thruster keys and the accessors.
#include "flight/flight.h"

#include <cstdlib>

#include "shell/game.h"
#include "shell/media.h"

static FlightState state;

namespace {

constexpr int thrustStep = 60;

struct ThrusterKey {
    SDLKey key;
    int FlightState::*thrust;
    int step;
    int FlightState::*firstLamp;
    int FlightState::*secondLamp;  // null for the forward and reverse thrusters
};

constexpr ThrusterKey thrusterKeys[] = {
    {SDLK_a, &FlightState::thrustX, thrustStep, &FlightState::upperRightLamp,
     &FlightState::lowerRightLamp},
    {SDLK_d, &FlightState::thrustX, -thrustStep, &FlightState::upperLeftLamp,
     &FlightState::lowerLeftLamp},
    {SDLK_w, &FlightState::thrustY, thrustStep, &FlightState::lowerLeftLamp,
     &FlightState::lowerRightLamp},
    {SDLK_s, &FlightState::thrustY, -thrustStep, &FlightState::upperLeftLamp,
     &FlightState::upperRightLamp},
    {SDLK_UP, &FlightState::thrustZ, thrustStep, &FlightState::forwardLamp, nullptr},
    {SDLK_DOWN, &FlightState::thrustZ, -thrustStep, &FlightState::reverseLamp, nullptr},
    {SDLK_RIGHT, &FlightState::thrustRoll, thrustStep, &FlightState::upperLeftLamp,
     &FlightState::lowerRightLamp},
    {SDLK_LEFT, &FlightState::thrustRoll, -thrustStep, &FlightState::upperRightLamp,
     &FlightState::lowerLeftLamp},
};
constexpr int thrusterKeyCount = sizeof(thrusterKeys) / sizeof(thrusterKeys[0]);

// Whether each key's press has been counted since the last reset: a key held
// across a reset must not take its step away again when it is released.
bool keyCounted[thrusterKeyCount] = {};

// One call for the sign (only its parity counts), one for the size.
float signedDraw(int n) {
    const int sign = std::rand();
    const int magnitude = std::rand() % n;
    return static_cast<float>(sign % 2 == 0 ? magnitude : -magnitude);
}

float plainDraw(int n) {
    return static_cast<float>(std::rand() % n);
}

void applyKey(const ThrusterKey& key, int direction) {
    state.*key.thrust += direction * key.step;
    state.firingCount += direction;
    state.*key.firstLamp += direction;
    if (key.secondLamp != nullptr) {
        state.*key.secondLamp += direction;
    }
}

}  // namespace

void resetApproach() {
    state.firingCount = 0;
    state.forwardLamp = 0;
    state.reverseLamp = 0;
    state.upperLeftLamp = 0;
    state.upperRightLamp = 0;
    state.lowerLeftLamp = 0;
    state.lowerRightLamp = 0;
    state.thrustX = 0;
    state.thrustY = 0;
    state.thrustZ = 0;
    state.thrustRoll = 0;
    for (bool& counted : keyCounted) {
        counted = false;
    }
    // Separate statements keep the rand calls in their fixed order.
    state.velocityX = signedDraw(50);
    state.velocityY = signedDraw(50);
    state.velocityZ = plainDraw(50);
    state.rollRate = plainDraw(50);
    state.relativeRollRate = static_cast<float>(media.stationSpin) + state.rollRate;
    state.distance = 20.0f;
    state.relativeRollAngle = plainDraw(360);
    state.rollAngle = state.relativeRollAngle;
    state.offsetX = signedDraw(200);
    state.offsetY = signedDraw(200);
    // The cached cosines and sines wait for the first motion step.
}

void applyThrusterKey() {
    const bool down = inputEvent.type == SDL_KEYDOWN;
    if (!down && inputEvent.type != SDL_KEYUP) {
        return;
    }
    for (int i = 0; i < thrusterKeyCount; ++i) {
        if (thrusterKeys[i].key != inputEvent.key.keysym.sym) {
            continue;
        }
        // A press already counted or a release of an uncounted press changes
        // nothing, so the counters can neither run away nor go negative.
        if (down != keyCounted[i]) {
            keyCounted[i] = down;
            applyKey(thrusterKeys[i], down ? 1 : -1);
        }
        return;
    }
}

int thrustX() {
    return state.thrustX;
}
int thrustY() {
    return state.thrustY;
}
int thrustRoll() {
    return state.thrustRoll;
}
int forwardLamp() {
    return state.forwardLamp;
}
int reverseLamp() {
    return state.reverseLamp;
}
int upperLeftLamp() {
    return state.upperLeftLamp;
}
int upperRightLamp() {
    return state.upperRightLamp;
}
int lowerLeftLamp() {
    return state.lowerLeftLamp;
}
int lowerRightLamp() {
    return state.lowerRightLamp;
}
int firingCount() {
    return state.firingCount;
}
float rollCos() {
    return state.rollCos;
}
float rollSin() {
    return state.rollSin;
}
float relativeRollCos() {
    return state.relativeRollCos;
}
float relativeRollSin() {
    return state.relativeRollSin;
}
float velocityZ() {
    return state.velocityZ;
}
float rollRate() {
    return state.rollRate;
}
float offsetX() {
    return state.offsetX;
}
float offsetY() {
    return state.offsetY;
}
const FlightState& flightState() {
    return state;
}
void setFlightState(const FlightState& newState) {
    state = newState;
}
