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
    // What is left inside each tolerance, in the order the product takes them.
    const double margins[] = {45.0 - std::fabs(s.offsetX),
                              45.0 - std::fabs(s.offsetY),
                              15.0 - rollAlignmentError(s.relativeRollAngle),
                              50.0 - std::fabs(s.velocityX),
                              50.0 - std::fabs(s.velocityY),
                              50.0 - std::fabs(s.velocityZ),
                              50.0 - std::fabs(s.relativeRollRate)};
    double product = 1.0;
    for (const double margin : margins) {
        // Every tolerance is strict, and NaN fails too.
        if (!(margin > 0)) {
            return 0;
        }
        product *= margin;
    }
    // Every margin is positive and capped, so the quotient lies in 0..18984.375
    // and the conversion to int is always defined.
    const float points = static_cast<float>(static_cast<float>(product) / 10000000.0);
    return static_cast<int>(std::trunc(points));
}
