#include "flight/flight.h"

// Placeholder until the flight model lands.
static FlightState state;

void resetApproach() { state = FlightState(); }
void applyThrusterKey() {}
int thrustX() { return state.thrustX; }
int thrustY() { return state.thrustY; }
int thrustRoll() { return state.thrustRoll; }
int forwardLamp() { return state.forwardLamp; }
int reverseLamp() { return state.reverseLamp; }
int upperLeftLamp() { return state.upperLeftLamp; }
int upperRightLamp() { return state.upperRightLamp; }
int lowerLeftLamp() { return state.lowerLeftLamp; }
int lowerRightLamp() { return state.lowerRightLamp; }
int firingCount() { return state.firingCount; }
float rollCos() { return state.rollCos; }
float rollSin() { return state.rollSin; }
float relativeRollCos() { return state.relativeRollCos; }
float relativeRollSin() { return state.relativeRollSin; }
float velocityZ() { return state.velocityZ; }
float rollRate() { return state.rollRate; }
float offsetX() { return state.offsetX; }
float offsetY() { return state.offsetY; }
const FlightState& flightState() { return state; }
void setFlightState(const FlightState& newState) { state = newState; }
