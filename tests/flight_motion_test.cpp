#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "flight/flight.h"
#include "flight/motion.h"

namespace {

void advanceAll(Uint32 frameMs) {
    advanceDistance(frameMs);
    advanceRelativeRoll(frameMs);
    advanceRoll(frameMs);
    advanceOffsetX(frameMs);
    advanceOffsetY(frameMs);
}

// A state at a given roll with its turn cached, as after a real roll step.
FlightState atRoll(float angle) {
    FlightState s;
    s.rollAngle = angle;
    s.relativeRollAngle = angle;
    setFlightState(s);
    advanceRelativeRoll(0);
    advanceRoll(0);
    return flightState();
}

TEST(Motion, ZeroFrameMovesNothing) {
    FlightState s = atRoll(33.0f);
    s.thrustX = 60;
    s.thrustY = -60;
    s.thrustZ = 60;
    s.thrustRoll = -60;
    s.velocityX = 12.0f;
    s.velocityY = -7.0f;
    s.velocityZ = 30.0f;
    s.rollRate = 44.0f;
    s.relativeRollRate = 144.0f;
    s.offsetX = -3.0f;
    s.offsetY = 9.0f;
    setFlightState(s);
    advanceAll(0);
    const FlightState& after = flightState();
    EXPECT_EQ(after.distance, s.distance);
    EXPECT_EQ(after.velocityZ, s.velocityZ);
    EXPECT_EQ(after.rollAngle, s.rollAngle);
    EXPECT_EQ(after.rollRate, s.rollRate);
    EXPECT_EQ(after.relativeRollAngle, s.relativeRollAngle);
    EXPECT_EQ(after.relativeRollRate, s.relativeRollRate);
    EXPECT_EQ(after.offsetX, s.offsetX);
    EXPECT_EQ(after.offsetY, s.offsetY);
    EXPECT_EQ(after.velocityX, s.velocityX);
    EXPECT_EQ(after.velocityY, s.velocityY);
}

TEST(Motion, DistanceStep) {
    struct Row {
        float velocityZ;
        int thrustZ;
        Uint32 frameMs;
        float distance, velocityZAfter;
    };
    const Row rows[] = {
        {10, 0, 1000, 19.99f, 10},     // drift alone: 0.01 per second at 10
        {10, 0, 500, 19.995f, 10},     // half a second
        {0, 60, 1000, 19.97f, 60},     // thrust from rest
        {40, -60, 1000, 19.99f, -20},  // reverse thrust turns the closing speed round
        {-30, 0, 2000, 20.06f, -30},   // opening again
    };
    for (const Row& row : rows) {
        FlightState s;
        s.velocityZ = row.velocityZ;
        s.thrustZ = row.thrustZ;
        setFlightState(s);
        const float scale = advanceDistance(row.frameMs);
        EXPECT_FLOAT_EQ(flightState().distance, row.distance)
            << row.velocityZ << " " << row.thrustZ;
        EXPECT_FLOAT_EQ(flightState().velocityZ, row.velocityZAfter);
        EXPECT_FLOAT_EQ(scale, 1.0f / row.distance);
    }
}

TEST(Motion, ApproachScaleAtAndBeyondTheStation) {
    FlightState s;
    s.distance = 0.0f;
    setFlightState(s);
    EXPECT_EQ(advanceDistance(0), std::numeric_limits<float>::infinity());

    // Closing at one distance unit per second from 0.5 ends half a unit past.
    s.distance = 0.5f;
    s.velocityZ = 1000.0f;
    setFlightState(s);
    EXPECT_FLOAT_EQ(advanceDistance(1000), -2.0f);
    float scale = 0.0f;
    for (int frame = 0; frame < 100; ++frame) {
        scale = advanceDistance(20);
        ASSERT_LT(scale, 1.0f);
    }
    EXPECT_LT(scale, 0.0f);
}

TEST(Motion, FrameTimeIsUnsigned) {
    // A tick counter that wrapped gives a huge frame, never a negative one.
    FlightState s;
    s.velocityZ = 10.0f;
    setFlightState(s);
    advanceDistance(0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(flightState().distance, 20.0f - 42949.67295f);
}

TEST(Motion, RollSteps) {
    struct Row {
        float angle, rate;
        int thrustRoll;
        Uint32 frameMs;
        float angleAfter, rateAfter;
    };
    const Row rows[] = {
        {0, 0, 60, 1000, 3, 60},         // 6 degrees per second squared
        {10, 100, 0, 1000, 20, 100},     // rate 100 turns 10 degrees per second
        {359, 100, 0, 1000, 369, 100},   // past 360, not wrapped
        {-5, -100, 0, 1000, -15, -100},  // below 0, not wrapped
        {90, 20, -60, 500, 90.25f, -10},
    };
    for (const Row& row : rows) {
        FlightState s;
        s.rollAngle = row.angle;
        s.rollRate = row.rate;
        s.relativeRollAngle = row.angle;
        s.relativeRollRate = row.rate;
        s.thrustRoll = row.thrustRoll;
        setFlightState(s);
        EXPECT_FLOAT_EQ(advanceRelativeRoll(row.frameMs), row.angleAfter) << row.angle;
        EXPECT_FLOAT_EQ(advanceRoll(row.frameMs), row.angleAfter) << row.angle;
        const FlightState& after = flightState();
        EXPECT_FLOAT_EQ(after.rollRate, row.rateAfter);
        EXPECT_FLOAT_EQ(after.relativeRollRate, row.rateAfter);
        const double radians = row.angleAfter * 3.14159265 / 180.0;
        EXPECT_NEAR(after.rollCos, std::cos(radians), 1e-6) << row.angle;
        EXPECT_NEAR(after.rollSin, std::sin(radians), 1e-6) << row.angle;
        EXPECT_EQ(after.relativeRollCos, after.rollCos);
        EXPECT_EQ(after.relativeRollSin, after.rollSin);
    }
}

TEST(Motion, SpinningStationTurnsTheRelativeRollTenDegreesPerSecondFaster) {
    FlightState s;
    s.relativeRollRate = 100.0f;
    setFlightState(s);
    for (int frame = 0; frame < 40; ++frame) {
        advanceAll(25);
    }
    EXPECT_EQ(flightState().rollAngle, 0.0f);
    EXPECT_NEAR(flightState().relativeRollAngle, 10.0f, 1e-4);
}

TEST(Motion, RollTurnIsTakenOnTheNarrowedRadians) {
    // 90 degrees in single precision lies just past a quarter turn, so its
    // cosine is small but not zero; the double argument would give 1.8e-9.
    atRoll(90.0f);
    EXPECT_FLOAT_EQ(flightState().rollCos, -4.371139e-8f);
    EXPECT_EQ(flightState().rollSin, 1.0f);
}

TEST(Motion, LateralSteps) {
    struct Row {
        const char* name;
        float roll;
        int thrustX, thrustY;
        float velocityX, velocityY;
        Uint32 frameMs;
        float offsetX, offsetY, velocityXAfter, velocityYAfter;
    };
    const Row rows[] = {
        {"drift", 0, 0, 0, 10, -4, 500, 5, -2, 10, -4},
        {"thrust X at roll 0", 0, 60, 0, 0, 0, 1000, 30, 0, 60, 0},
        {"thrust Y at roll 0", 0, 0, 60, 0, 0, 1000, 0, 30, 0, 60},
        {"thrust X at roll 90", 90, 60, 0, 0, 0, 1000, 0, 30, 0, 60},
        {"thrust Y at roll 90", 90, 0, 60, 0, 0, 1000, -30, 0, -60, 0},
        {"thrust X at roll 180", 180, 60, 0, 5, 0, 1000, -25, 0, -55, 0},
        {"both at roll -90", -90, 60, 60, 0, 0, 1000, 30, -30, 60, -60},
    };
    for (const Row& row : rows) {
        FlightState s = atRoll(row.roll);
        s.thrustX = row.thrustX;
        s.thrustY = row.thrustY;
        s.velocityX = row.velocityX;
        s.velocityY = row.velocityY;
        setFlightState(s);
        EXPECT_NEAR(advanceOffsetX(row.frameMs), row.offsetX, 1e-4) << row.name;
        EXPECT_NEAR(advanceOffsetY(row.frameMs), row.offsetY, 1e-4) << row.name;
        EXPECT_NEAR(flightState().velocityX, row.velocityXAfter, 1e-4) << row.name;
        EXPECT_NEAR(flightState().velocityY, row.velocityYAfter, 1e-4) << row.name;
    }
    // At roll 0 the turn is exact; at 90 a trace of thrust X reaches X.
    FlightState s = atRoll(0.0f);
    s.thrustX = 60;
    setFlightState(s);
    EXPECT_EQ(advanceOffsetX(1000), 30.0f);
    EXPECT_EQ(advanceOffsetY(1000), 0.0f);
    s = atRoll(90.0f);
    s.thrustX = 60;
    setFlightState(s);
    EXPECT_NE(advanceOffsetX(1000), 0.0f);
}

TEST(Motion, Readouts) {
    struct Row {
        float distance, offsetX, offsetY;
        float readout;
    };
    const Row rows[] = {
        {20, 0, 0, 950},
        {1, 0, 0, 0},
        {1, 150, -200, 5},  // 3, 4, 5 in fiftieths
        {0, 0, 0, 50},      // the station's centre lies one unit inside
    };
    for (const Row& row : rows) {
        FlightState s;
        s.distance = row.distance;
        s.offsetX = row.offsetX;
        s.offsetY = row.offsetY;
        setFlightState(s);
        EXPECT_FLOAT_EQ(readoutDistance(), row.readout) << row.distance;
    }

    FlightState s = atRoll(0.0f);
    s.velocityX = 12.0f;
    s.velocityY = -7.0f;
    setFlightState(s);
    EXPECT_EQ(readoutVelocityX(), -12.0f);
    EXPECT_EQ(readoutVelocityY(), -7.0f);

    // Turned a quarter: the craft's own axes have swapped round.
    s = atRoll(90.0f);
    s.velocityX = 12.0f;
    s.velocityY = -7.0f;
    setFlightState(s);
    EXPECT_NEAR(readoutVelocityX(), 7.0f, 1e-5);
    EXPECT_NEAR(readoutVelocityY(), -12.0f, 1e-5);
}

}  // namespace
