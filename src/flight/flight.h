// The craft's flight state and its units, its random start and the thruster keys.
#pragma once

// The one record of the craft. Thrusts are in lateral units per second
// squared (X, Y), thousandths of a distance unit per second squared (Z) and
// tenths of a degree per second squared (roll); angles in degrees, never
// wrapped.
struct FlightState {
    int thrustX = 0;
    int thrustY = 0;
    int thrustZ = 0;
    int thrustRoll = 0;
    int firingCount = 0;  // thruster keys held
    int forwardLamp = 0;
    int reverseLamp = 0;
    int upperLeftLamp = 0;
    int upperRightLamp = 0;
    int lowerLeftLamp = 0;
    int lowerRightLamp = 0;
    // Its sign is opposite to the vX readout's: at roll 0 vX reads -velocityX.
    float velocityX = 0.0f;
    float velocityY = 0.0f;
    float velocityZ = 0.0f;  // closing speed, positive closes the distance
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float distance = 20.0f;
    float rollRate = 0.0f;
    float rollAngle = 0.0f;
    float relativeRollRate = 0.0f;
    float relativeRollAngle = 0.0f;
    float rollCos = 0.0f;
    float rollSin = 0.0f;
    float relativeRollCos = 0.0f;
    float relativeRollSin = 0.0f;
};

// Angles are kept in degrees; every cosine and sine of the flight and of the
// view's own geometry takes them into radians with this factor.
constexpr double degreesToRadians = 3.14159265 / 180.0;

// The spin of station 2, the winged one, added to the relative roll rate at
// every start: 10 degrees a second. Station 1 does not spin.
constexpr int spinningStationSpin = 100;

// The readouts' scale: a drift or closing speed of 50 reads 1.00, and a roll
// rate of 10 (one degree per second) reads 1.00. The docking tolerances are
// limits on these readouts.
constexpr double readoutScale = 50.0;
constexpr double rollReadoutScale = 10.0;

// Starts a new approach: thrusts and counters cleared, drift, closing speed,
// roll and offsets drawn at random (11 rand draws), distance 20.
void resetApproach();

// Applies inputEvent (the event pollInput has just taken) to the thrusts, the
// lamp counters and firingCount.
void applyThrusterKey();

// Read-only accessors for the rest of the game.
int thrustX();
int thrustY();
int thrustRoll();
int forwardLamp();
int reverseLamp();
int upperLeftLamp();
int upperRightLamp();
int lowerLeftLamp();
int lowerRightLamp();
int firingCount();
float rollCos();
float rollSin();
float relativeRollCos();
float relativeRollSin();
float velocityZ();
float rollRate();
float offsetX();
float offsetY();

// The whole record, to read it at once.
const FlightState& flightState();

// Replaces the whole record: each motion step reads the record, advances its
// part and writes it back here; tests and tools use it to set a given state.
void setFlightState(const FlightState& state);
