#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "flight/docking.h"
#include "flight/flight.h"

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

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
    struct Row {
        Arrival arrival;
        int score;
    };
    const Row rows[] = {
        {{0, 0, 180, 0, 0, 0, 0}, 18984},      {{0, 0, 540, 0, 0, 0, 0}, 18984},
        {{0, 0, -180, 0, 0, 0, 0}, 18984},     {{40, 0, 180, 0, 0, 0, 0}, 2109},
        {{40, 40, 180, 0, 0, 0, 0}, 234},      {{0, 0, 170, 0, 0, 0, 0}, 6328},
        {{0, 0, 194.9f, 0, 0, 0, 0}, 1265},    {{0, 0, -166.5f, 0, 0, 0, 0}, 1265},
        {{0, 0, 165.9f, 0, 0, 0, 0}, 0},       {{0, 0, 180, 10, -10, 20, 5}, 6561},
        {{30, -20, 190, 10, 10, 25, 30}, 150}, {{45, 0, 180, 0, 0, 0, 0}, 0},
        {{0, -45, 180, 0, 0, 0, 0}, 0},        {{0, 0, 180, 0, 0, 50, 0}, 0},
        {{0, 0, 180, 0, 0, -50, 0}, 0},        {{0, 0, 180, -50, 0, 0, 0}, 0},
        {{0, 0, 180, 0, 50, 0, 0}, 0},         {{0, 0, 180, 0, 0, 0, -50}, 0},
        {{0, 0, 180, 0, 0, -25, 0}, 9492},   // reverse speed counts by its size
        {{44, 44, 166, 49, 49, 49, 49}, 0},  // every guard passes, the product is 1
        {{44.99f, 0, 180, 0, 0, 0, 0}, 4},
    };
    for (const Row& row : rows) {
        const Arrival& a = row.arrival;
        EXPECT_EQ(scoreOf(a), row.score)
            << a.offsetX << " " << a.offsetY << " " << a.angle << " " << a.velocityX << " "
            << a.velocityY << " " << a.velocityZ << " " << a.rollRate;
        EXPECT_EQ(assessDocking(), row.score) << "second call";
    }
}

TEST(Docking, AlignmentErrorMatchesTheIntegerRemainder) {
    for (float angle = -1000.0f; angle <= 1000.0f; angle += 0.37f) {
        const int n = static_cast<int>(angle);
        const int want = std::abs(180 - std::abs(n % 360));
        ASSERT_EQ(rollAlignmentError(angle), want) << angle;
    }
    // Beyond int: the same remainder of the truncated value, taken wider.
    for (float angle : {2147483648.0f, 2147484416.0f, -2147484416.0f, 3e9f, -3e9f, 1e18f, -9e18f}) {
        const std::int64_t n = static_cast<std::int64_t>(angle);
        const std::int64_t m = n % 360;
        const int want = static_cast<int>(std::llabs(180 - std::llabs(m)));
        EXPECT_EQ(rollAlignmentError(angle), want) << angle;
    }
    EXPECT_EQ(rollAlignmentError(FLT_MAX), 180);
    EXPECT_EQ(rollAlignmentError(nan), 180);
    EXPECT_EQ(rollAlignmentError(inf), 180);
    EXPECT_EQ(rollAlignmentError(-inf), 180);
}

TEST(Docking, NonFiniteAndHugeValuesCrashWithoutFault) {
    const float bad[] = {nan, -nan, inf, -inf, FLT_MAX, -FLT_MAX, 1e30f};
    for (float value : bad) {
        EXPECT_EQ(scoreOf({value, 0, 180, 0, 0, 0, 0}), 0) << value;
        EXPECT_EQ(scoreOf({0, value, 180, 0, 0, 0, 0}), 0) << value;
        EXPECT_EQ(scoreOf({0, 0, value, 0, 0, 0, 0}), 0) << value;
        EXPECT_EQ(scoreOf({0, 0, 180, value, 0, 0, 0}), 0) << value;
        EXPECT_EQ(scoreOf({0, 0, 180, 0, value, 0, 0}), 0) << value;
        EXPECT_EQ(scoreOf({0, 0, 180, 0, 0, value, 0}), 0) << value;
        EXPECT_EQ(scoreOf({0, 0, 180, 0, 0, 0, value}), 0) << value;
    }
    // An angle past the range of int still docks when it is near a half turn:
    // 2147484416 is 176 past a whole number of turns, 4 degrees off.
    EXPECT_EQ(scoreOf({0, 0, 2147484416.0f, 0, 0, 0, 0}), 13921);
    EXPECT_EQ(scoreOf({0, 0, -2147484416.0f, 0, 0, 0, 0}), 13921);
}

TEST(Docking, ScoreNeverLeavesItsRange) {
    // Margins on a grid across and beyond every tolerance.
    const float offsets[] = {-60, -45, -44.5f, -10, -0.0f, 0, 3, 44.999f, 45, 80};
    const float speeds[] = {-70, -50, -49.99f, -1, 0, 25, 49.9f, 50, 51};
    const float angles[] = {-540, -195.5f, -181, 0, 165, 166, 180, 194.99f, 195, 900};
    for (float offset : offsets) {
        for (float speed : speeds) {
            for (float angle : angles) {
                const int score = scoreOf({offset, -offset, angle, speed, -speed, speed, speed});
                ASSERT_GE(score, 0);
                ASSERT_LE(score, 18984);
                const bool inside = std::fabs(offset) < 45 && std::fabs(speed) < 50 &&
                                    rollAlignmentError(angle) < 15;
                if (!inside) {
                    ASSERT_EQ(score, 0) << offset << " " << speed << " " << angle;
                }
            }
        }
    }
}

}  // namespace
