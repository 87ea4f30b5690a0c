// The docking judgement: seven tolerances and the score made of the margins left inside them.
#include "flight/docking.h"

#include <cmath>

#include "flight/flight.h"

namespace {

// The tolerances, every one strict: the station's centre under 45 pixels off
// along each axis, the arrow under 15 whole degrees from the half turn, each
// drift and the closing speed reading under 1.00, and the station's turn
// against the craft under 5 degrees per second.
constexpr double offsetTolerance = 45.0;
constexpr double alignmentTolerance = 15.0;
constexpr double speedTolerance = 1.0 * readoutScale;
constexpr double turnTolerance = 5.0 * rollReadoutScale;

// Turns the product of the margins, at most 45 x 45 x 15 x 50^4, into 0..18984.
constexpr double scoreDivisor = 10000000.0;

}  // namespace

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
    const double margins[] = {offsetTolerance - std::fabs(s.offsetX),
                              offsetTolerance - std::fabs(s.offsetY),
                              alignmentTolerance - rollAlignmentError(s.relativeRollAngle),
                              speedTolerance - std::fabs(s.velocityX),
                              speedTolerance - std::fabs(s.velocityY),
                              speedTolerance - std::fabs(s.velocityZ),
                              turnTolerance - std::fabs(s.relativeRollRate)};
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
    const float points = static_cast<float>(static_cast<float>(product) / scoreDivisor);
    return static_cast<int>(std::trunc(points));
}
