#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <utility>

#include "flight/docking.h"
#include "flight/flight.h"

namespace {

struct Arrival {
    float offsetX, offsetY, angle, velocityX, velocityY, velocityZ, rollRate;
};

int scoreOf(const Arrival& a) {
    FlightState s;
    s.offsetX = a.offsetX;
    s.offsetY = a.offsetY;
    s.relativeRollAngle = a.angle;
    s.rollAngle = 12345.0f;  // the craft's own roll plays no part
    s.velocityX = a.velocityX;
    s.velocityY = a.velocityY;
    s.velocityZ = a.velocityZ;
    s.relativeRollRate = a.rollRate;
    s.rollRate = -99.0f;
    setFlightState(s);
    return assessDocking();
}

TEST(Docking, ScoresTheArrivalTable) {
    const std::pair<Arrival, int> rows[] = {
        {{0, 0, 180, 0, 0, 0, 0}, 18984},
        {{0, 0, 540, 0, 0, 0, 0}, 18984},
        {{40, 0, 180, 0, 0, 0, 0}, 2109},
        {{40, 40, 180, 0, 0, 0, 0}, 234},
        {{0, 0, 170, 0, 0, 0, 0}, 6328},
        {{0, 0, 194.9f, 0, 0, 0, 0}, 1265},
        {{0, 0, -166.5f, 0, 0, 0, 0}, 1265},
        {{0, 0, 165.9f, 0, 0, 0, 0}, 0},
        {{0, 0, 180, 10, -10, 20, 5}, 6561},
        {{30, -20, 190, 10, 10, 25, 30}, 150},
        {{45, 0, 180, 0, 0, 0, 0}, 0},
        {{0, 0, 180, 0, 0, 50, 0}, 0},
        {{44, 44, 166, 49, 49, 49, 49}, 0},
        {{0, 0, 180, 0, 0, -25, 0}, 9492},
        {{0, 0, 179, 0, 0, 10, 0}, 14174},  // the product, narrowed, falls short of 14175
        // Past the range of int, 176 beyond whole turns: 4 degrees off.
        {{0, 0, 2147484416.0f, 0, 0, 0, 0}, 13921},
        {{0, 0, -2147484416.0f, 0, 0, 0, 0}, 13921}};
    for (const auto& [arrival, score] : rows) {
        SCOPED_TRACE(testing::Message() << "angle " << arrival.angle << " score " << score);
        EXPECT_EQ(scoreOf(arrival), score);
        EXPECT_EQ(assessDocking(), score) << "second call";
    }
}

TEST(Docking, NonFiniteAndHugeValuesCrashWithoutFault) {
    float Arrival::*const fields[] = {&Arrival::offsetX,   &Arrival::offsetY,   &Arrival::angle,
                                      &Arrival::velocityX, &Arrival::velocityY, &Arrival::velocityZ,
                                      &Arrival::rollRate};
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    for (float value : {nan, -nan, inf, -inf, FLT_MAX, -FLT_MAX, 1e30f}) {
        for (int i = 0; i < 7; ++i) {
            Arrival arrival = {0, 0, 180, 0, 0, 0, 0};
            arrival.*fields[i] = value;
            EXPECT_EQ(scoreOf(arrival), 0) << value << " in field " << i;
        }
    }
}

}  // namespace
