#include "flight/docking.h"

#include <cmath>

#include "flight/flight.h"

int rollAlignmentError(float relativeRollAngle) {
    if (!std::isfinite(relativeRollAngle)) {
        return 180;
    }
    // fmod is exact and keeps the sign of the truncated angle, like the
    // integer remainder, but also serves angles beyond the range of int.
    const double turn = std::fmod(std::trunc(static_cast<double>(relativeRollAngle)), 360.0);
    return static_cast<int>(std::fabs(180.0 - std::fabs(turn)));
}

int assessDocking() {
    const FlightState& s = flightState();
    // Every guard is written so that NaN fails it.
    const double offsetXMargin = 45.0 - std::fabs(s.offsetX);
    if (!(offsetXMargin > 0)) {
        return 0;
    }
    const double offsetYMargin = 45.0 - std::fabs(s.offsetY);
    if (!(offsetYMargin > 0)) {
        return 0;
    }
    const int alignmentError = rollAlignmentError(s.relativeRollAngle);
    if (alignmentError >= 15) {
        return 0;
    }
    const double velocityXMargin = 50.0 - std::fabs(s.velocityX);
    if (!(velocityXMargin > 0)) {
        return 0;
    }
    const double velocityYMargin = 50.0 - std::fabs(s.velocityY);
    if (!(velocityYMargin > 0)) {
        return 0;
    }
    const double velocityZMargin = 50.0 - std::fabs(s.velocityZ);
    if (!(velocityZMargin > 0)) {
        return 0;
    }
    const double rollRateMargin = 50.0 - std::fabs(s.relativeRollRate);
    if (!(rollRateMargin > 0)) {
        return 0;
    }
    const double product = offsetXMargin * offsetYMargin * (15 - alignmentError) * velocityXMargin *
                           velocityYMargin * velocityZMargin * rollRateMargin;
    // Every margin is positive and capped, so the quotient lies in 0..18984.375
    // and the conversion to int is always defined.
    const float points = static_cast<float>(static_cast<float>(product) / 10000000.0);
    return static_cast<int>(std::trunc(points));
}
