// The five motion steps: constant acceleration over frameMs, the lateral thrust turned by the roll.
#include "flight/motion.h"

#include <cmath>

#include "flight/flight.h"

namespace {

// A roll rate of one turns its angle by 0.1 degree a second; a closing speed
// of one shrinks the distance by 0.001 units a second.
constexpr double degreesPerRollRate = 0.1;
constexpr double distancePerClosingSpeed = 0.001;

// From the unsigned count, so that a frame of over 2^31 ms stays positive.
double seconds(Uint32 frameMs) {
    return static_cast<double>(frameMs) / 1000.0;
}

float narrow(double value) {
    return static_cast<float>(value);
}

// One roll step on an angle, its rate and its cached cosine and sine. Both
// rolls share the roll thrust; only their angles and rates differ.
float advanceAngle(double t, int thrustRoll, float& angle, float& rate, float& cosine,
                   float& sine) {
    const float step =
        narrow(t * rate * degreesPerRollRate + thrustRoll * t * t * degreesPerRollRate / 2.0);
    angle = narrow(static_cast<double>(step) + angle);
    rate = narrow(thrustRoll * t + rate);
    const float radians = narrow(angle * degreesToRadians);
    cosine = narrow(std::cos(static_cast<double>(radians)));
    sine = narrow(std::sin(static_cast<double>(radians)));
    return angle;
}

}  // namespace

float advanceDistance(Uint32 frameMs) {
    FlightState s = flightState();
    const double t = seconds(frameMs);
    const float step = narrow(t * s.velocityZ * distancePerClosingSpeed +
                              s.thrustZ * t * t * distancePerClosingSpeed / 2.0);
    s.distance = narrow(static_cast<double>(s.distance) - step);
    s.velocityZ = narrow(s.thrustZ * t + s.velocityZ);
    setFlightState(s);
    // A distance of 0 gives an infinite scale and one below 0 a negative
    // scale; IEEE division keeps both defined.
    return narrow(1.0 / s.distance);
}

float advanceRelativeRoll(Uint32 frameMs) {
    FlightState s = flightState();
    const float angle = advanceAngle(seconds(frameMs), s.thrustRoll, s.relativeRollAngle,
                                     s.relativeRollRate, s.relativeRollCos, s.relativeRollSin);
    setFlightState(s);
    return angle;
}

float advanceRoll(Uint32 frameMs) {
    FlightState s = flightState();
    const float angle =
        advanceAngle(seconds(frameMs), s.thrustRoll, s.rollAngle, s.rollRate, s.rollCos, s.rollSin);
    setFlightState(s);
    return angle;
}

// The lateral thrust acts in the craft's frame, turned by this frame's roll.
float advanceOffsetX(Uint32 frameMs) {
    FlightState s = flightState();
    const double t = seconds(frameMs);
    s.offsetX = narrow(t * s.velocityX + (s.thrustX * t * t / 2.0) * s.rollCos -
                       (s.thrustY * t * t / 2.0) * s.rollSin + s.offsetX);
    s.velocityX = narrow(s.thrustX * t * s.rollCos - s.thrustY * t * s.rollSin + s.velocityX);
    setFlightState(s);
    return s.offsetX;
}

float advanceOffsetY(Uint32 frameMs) {
    FlightState s = flightState();
    const double t = seconds(frameMs);
    s.offsetY = narrow(t * s.velocityY + (s.thrustY * t * t / 2.0) * s.rollCos +
                       (s.thrustX * t * t / 2.0) * s.rollSin + s.offsetY);
    s.velocityY = narrow(s.thrustY * t * s.rollCos + s.thrustX * t * s.rollSin + s.velocityY);
    setFlightState(s);
    return s.offsetY;
}
