#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "flight/flight.h"
#include "shell/media.h"

namespace {

bool isWhole(float value) {
    return std::trunc(value) == value;
}

// What one reset must make of eleven rand values, in the order they are drawn.
struct ExpectedStart {
    float velocityX, velocityY, velocityZ, rollRate, angle, offsetX, offsetY;
};

ExpectedStart expectedStart(const int (&r)[11]) {
    auto signedDraw = [](int sign, int magnitude, int n) {
        return static_cast<float>(sign % 2 == 0 ? magnitude % n : -(magnitude % n));
    };
    return {signedDraw(r[0], r[1], 50),     signedDraw(r[2], r[3], 50),
            static_cast<float>(r[4] % 50),  static_cast<float>(r[5] % 50),
            static_cast<float>(r[6] % 360), signedDraw(r[7], r[8], 200),
            signedDraw(r[9], r[10], 200)};
}

TEST(ResetApproach, TakesElevenRandValuesInTheirFixedOrder) {
    for (int spin : {0, 100}) {
        media.stationSpin = spin;
        for (unsigned seed = 1; seed <= 300; ++seed) {
            std::srand(seed);
            resetApproach();
            const int nextAfterReset = std::rand();

            std::srand(seed);
            int r[11];
            for (int& value : r) {
                value = std::rand();
            }
            ASSERT_EQ(std::rand(), nextAfterReset) << "seed " << seed;

            const ExpectedStart want = expectedStart(r);
            const FlightState& s = flightState();
            ASSERT_EQ(s.velocityX, want.velocityX) << "seed " << seed;
            ASSERT_EQ(s.velocityY, want.velocityY) << "seed " << seed;
            ASSERT_EQ(s.velocityZ, want.velocityZ) << "seed " << seed;
            ASSERT_EQ(s.rollRate, want.rollRate) << "seed " << seed;
            ASSERT_EQ(s.relativeRollAngle, want.angle) << "seed " << seed;
            ASSERT_EQ(s.offsetX, want.offsetX) << "seed " << seed;
            ASSERT_EQ(s.offsetY, want.offsetY) << "seed " << seed;
        }
    }
}

TEST(ResetApproach, EveryFieldStaysInItsRangeAndReachesItsEnds) {
    struct Range {
        const char* name;
        float FlightState::*field;
        float low, high;
        float seenLow = 1e9f, seenHigh = -1e9f;
    };
    Range ranges[] = {
        {"velocityX", &FlightState::velocityX, -49, 49},
        {"velocityY", &FlightState::velocityY, -49, 49},
        {"velocityZ", &FlightState::velocityZ, 0, 49},
        {"rollRate", &FlightState::rollRate, 0, 49},
        {"relativeRollAngle", &FlightState::relativeRollAngle, 0, 359},
        {"offsetX", &FlightState::offsetX, -199, 199},
        {"offsetY", &FlightState::offsetY, -199, 199},
    };
    std::srand(2024);
    for (int i = 0; i < 20000; ++i) {
        media.stationSpin = (i % 2) * 100;
        resetApproach();
        const FlightState& s = flightState();
        for (Range& range : ranges) {
            const float value = s.*range.field;
            ASSERT_TRUE(isWhole(value)) << range.name << " " << value;
            ASSERT_GE(value, range.low) << range.name;
            ASSERT_LE(value, range.high) << range.name;
            range.seenLow = std::fmin(range.seenLow, value);
            range.seenHigh = std::fmax(range.seenHigh, value);
        }
        ASSERT_EQ(s.distance, 20.0f);
        ASSERT_EQ(s.rollAngle, s.relativeRollAngle);
        ASSERT_EQ(s.relativeRollRate, s.rollRate + static_cast<float>(media.stationSpin));
    }
    // A wrong modulus would never reach the ends of a range.
    for (const Range& range : ranges) {
        EXPECT_EQ(range.seenLow, range.low) << range.name;
        EXPECT_EQ(range.seenHigh, range.high) << range.name;
    }
}

TEST(ResetApproach, RelativeRollRateCarriesTheStationSpin) {
    for (int spin : {0, 100}) {
        media.stationSpin = spin;
        std::srand(99);
        resetApproach();
        const FlightState& s = flightState();
        EXPECT_EQ(s.relativeRollRate, s.rollRate + static_cast<float>(spin)) << "spin " << spin;
        EXPECT_EQ(s.rollAngle, s.relativeRollAngle);
    }
    media.stationSpin = 0;
}

TEST(ResetApproach, ClearsCommandsAndCountersButKeepsTheCachedTurns) {
    FlightState before;
    before.thrustX = -60;
    before.thrustY = 120;
    before.thrustZ = 60;
    before.thrustRoll = -60;
    before.firingCount = 5;
    before.forwardLamp = 1;
    before.reverseLamp = -1;
    before.upperLeftLamp = 2;
    before.upperRightLamp = 3;
    before.lowerLeftLamp = -2;
    before.lowerRightLamp = 4;
    before.distance = 0.5f;
    before.rollCos = 0.25f;
    before.rollSin = -0.5f;
    before.relativeRollCos = 0.75f;
    before.relativeRollSin = -1.0f;
    setFlightState(before);
    std::srand(5);
    resetApproach();
    const FlightState& s = flightState();
    EXPECT_EQ(s.thrustX, 0);
    EXPECT_EQ(s.thrustY, 0);
    EXPECT_EQ(s.thrustZ, 0);
    EXPECT_EQ(s.thrustRoll, 0);
    EXPECT_EQ(s.firingCount, 0);
    EXPECT_EQ(s.forwardLamp, 0);
    EXPECT_EQ(s.reverseLamp, 0);
    EXPECT_EQ(s.upperLeftLamp, 0);
    EXPECT_EQ(s.upperRightLamp, 0);
    EXPECT_EQ(s.lowerLeftLamp, 0);
    EXPECT_EQ(s.lowerRightLamp, 0);
    EXPECT_EQ(s.distance, 20.0f);
    // The first motion step of the new approach refreshes these.
    EXPECT_EQ(s.rollCos, 0.25f);
    EXPECT_EQ(s.rollSin, -0.5f);
    EXPECT_EQ(s.relativeRollCos, 0.75f);
    EXPECT_EQ(s.relativeRollSin, -1.0f);
}

TEST(FlightAccessors, ReadTheRecord) {
    FlightState given;
    given.thrustX = 1;
    given.thrustY = 2;
    given.thrustRoll = 3;
    given.forwardLamp = 4;
    given.reverseLamp = 5;
    given.upperLeftLamp = 6;
    given.upperRightLamp = 7;
    given.lowerLeftLamp = 8;
    given.lowerRightLamp = 9;
    given.firingCount = 10;
    given.rollCos = 0.1f;
    given.rollSin = 0.2f;
    given.relativeRollCos = 0.3f;
    given.relativeRollSin = 0.4f;
    given.velocityZ = 0.5f;
    given.rollRate = 0.6f;
    given.offsetX = 0.7f;
    given.offsetY = 0.8f;
    setFlightState(given);
    const int ints[] = {thrustX(),        thrustY(),       thrustRoll(),     forwardLamp(),
                        reverseLamp(),    upperLeftLamp(), upperRightLamp(), lowerLeftLamp(),
                        lowerRightLamp(), firingCount()};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ints[i], i + 1) << "accessor " << i;
    }
    const float floats[] = {rollCos(),   rollSin(),  relativeRollCos(), relativeRollSin(),
                            velocityZ(), rollRate(), offsetX(),         offsetY()};
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(floats[i], 0.1f * static_cast<float>(i + 1)) << "accessor " << i;
    }
}

}  // namespace
