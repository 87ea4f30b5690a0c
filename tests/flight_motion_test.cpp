#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "flight/flight.h"
#include "flight/motion.h"

namespace {

// A quarter turn's cosine, taken on radians narrowed to float, is not 0, so a
// trace of a lateral thrust stays on its own axis.
constexpr float quarterTurnCos = -4.37113883e-8f;

// What the five steps of one frame return, taken in the game's order.
struct Frame {
    float scale, relativeRollAngle, rollAngle, offsetX, offsetY;
};

Frame advanceAll(Uint32 frameMs) {
    return {advanceDistance(frameMs), advanceRelativeRoll(frameMs), advanceRoll(frameMs),
            advanceOffsetX(frameMs), advanceOffsetY(frameMs)};
}

// Caches the turns of s, shows that a frame of 0 ms then moves nothing, and
// runs one frame of frameMs.
Frame runFrom(const FlightState& s, Uint32 frameMs) {
    setFlightState(s);
    advanceAll(0);
    const FlightState cached = flightState();
    advanceAll(0);
    EXPECT_EQ(std::memcmp(&flightState(), &cached, sizeof cached), 0) << "0 ms moved something";
    const Frame frame = advanceAll(frameMs);
    const FlightState& after = flightState();
    EXPECT_EQ(frame.relativeRollAngle, after.relativeRollAngle);
    EXPECT_EQ(frame.rollAngle, after.rollAngle);
    EXPECT_EQ(frame.offsetX, after.offsetX);
    EXPECT_EQ(frame.offsetY, after.offsetY);
    return frame;
}

TEST(Motion, DistanceStep) {
    struct Row {
        const char* name;
        float distance, velocityZ;
        int thrustZ;
        Uint32 frameMs;
        float distanceAfter, velocityZAfter, scale;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Row rows[] = {
        {"drift", 20, 10, 0, 500, 19.995f, 10, 1 / 19.995f},
        {"thrust from rest", 20, 0, 60, 1000, 19.97f, 60, 1 / 19.97f},
        {"reverse thrust", 20, 40, -60, 500, 19.9875f, 10, 1 / 19.9875f},
        {"at the station", 0, 0, 0, 1000, 0, 0, inf},
        {"past the station", 0.5f, 1000, 0, 1000, -0.5f, 1000, -2},
        {"wrapped tick count", 20, 10, 0, 0xFFFFFFFFu, -42929.6719f, 10, 1 / -42929.6719f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FlightState s;
        s.distance = row.distance;
        s.velocityZ = row.velocityZ;
        s.thrustZ = row.thrustZ;
        EXPECT_FLOAT_EQ(runFrom(s, row.frameMs).scale, row.scale);
        EXPECT_FLOAT_EQ(flightState().distance, row.distanceAfter);
        EXPECT_FLOAT_EQ(flightState().velocityZ, row.velocityZAfter);
    }
}

TEST(Motion, RollSteps) {
    struct Row {
        const char* name;
        float angle, rate;
        int thrustRoll;
        Uint32 frameMs;
        float angleAfter, rateAfter, cosine, sine;
    };
    const Row rows[] = {
        {"thrust from rest", 0, 0, 60, 1000, 3, 60, 0.99862951f, 0.0523359589f},
        {"thrust against the rate", 90, 20, -60, 500, 90.25f, -10, -0.00436332822f, 0.999990463f},
        {"past 360", 359, 100, 0, 1000, 369, 100, 0.987688363f, 0.156434223f},
        {"below 0", -5, -100, 0, 1000, -15, -100, 0.965925813f, -0.258819044f},
        {"quarter turn", 90, 0, 0, 1000, 90, 0, quarterTurnCos, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FlightState s;
        s.rollAngle = s.relativeRollAngle = row.angle;
        s.rollRate = s.relativeRollRate = row.rate;
        s.thrustRoll = row.thrustRoll;
        runFrom(s, row.frameMs);
        const FlightState& after = flightState();
        EXPECT_FLOAT_EQ(after.rollAngle, row.angleAfter);
        EXPECT_FLOAT_EQ(after.rollRate, row.rateAfter);
        EXPECT_FLOAT_EQ(after.rollCos, row.cosine);
        EXPECT_FLOAT_EQ(after.rollSin, row.sine);
        EXPECT_EQ(after.relativeRollAngle, after.rollAngle);
        EXPECT_EQ(after.relativeRollRate, after.rollRate);
        EXPECT_EQ(after.relativeRollCos, after.rollCos);
        EXPECT_EQ(after.relativeRollSin, after.rollSin);
    }
    // A station spinning at 100 turns the relative roll 10 degrees a second faster.
    FlightState s;
    s.relativeRollRate = 100.0f;
    runFrom(s, 1000);
    EXPECT_EQ(flightState().rollAngle, 0.0f);
    EXPECT_FLOAT_EQ(flightState().relativeRollAngle, 10.0f);
    EXPECT_FLOAT_EQ(flightState().relativeRollCos, 0.98480773f);
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
    const float trace = 30 * quarterTurnCos;
    const Row rows[] = {
        {"drift", 0, 0, 0, 10, -4, 500, 5, -2, 10, -4},
        {"thrust X at roll 0", 0, 60, 0, 0, 0, 1000, 30, 0, 60, 0},
        {"thrust X at roll 90", 90, 60, 0, 0, 0, 1000, trace, 30, 2 * trace, 60},
        {"thrust Y at roll 90", 90, 0, 60, 0, 0, 1000, -30, trace, -60, 2 * trace},
        {"both, half a second", 0, 60, -60, 0, 0, 500, 7.5f, -7.5f, 30, -30},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FlightState s;
        s.rollAngle = s.relativeRollAngle = row.roll;
        s.thrustX = row.thrustX;
        s.thrustY = row.thrustY;
        s.velocityX = row.velocityX;
        s.velocityY = row.velocityY;
        const Frame frame = runFrom(s, row.frameMs);
        EXPECT_FLOAT_EQ(frame.offsetX, row.offsetX);
        EXPECT_FLOAT_EQ(frame.offsetY, row.offsetY);
        EXPECT_FLOAT_EQ(flightState().velocityX, row.velocityXAfter);
        EXPECT_FLOAT_EQ(flightState().velocityY, row.velocityYAfter);
    }
}

TEST(Motion, Readouts) {
    struct Row {
        float roll, distance, offsetX, offsetY, velocityX, velocityY;
        float readoutDistance, readoutX, readoutY;
    };
    const Row rows[] = {
        {0, 20, 0, 0, 12, -7, 950, -12, -7},
        {0, 1, 0, 0, 0, 0, 0, 0, 0},
        {0, 1, 150, -200, 0, 0, 5, 0, 0},  // 3, 4, 5 in fiftieths
        {90, 0, 0, 0, 12, -7, 50, 7, -12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "roll " << row.roll << " distance " << row.distance);
        FlightState s;
        s.rollAngle = row.roll;
        s.distance = row.distance;
        s.offsetX = row.offsetX;
        s.offsetY = row.offsetY;
        s.velocityX = row.velocityX;
        s.velocityY = row.velocityY;
        setFlightState(s);
        advanceRoll(0);
        EXPECT_FLOAT_EQ(readoutDistance(), row.readoutDistance);
        EXPECT_FLOAT_EQ(readoutVelocityX(), row.readoutX);
        EXPECT_FLOAT_EQ(readoutVelocityY(), row.readoutY);
    }
}

}  // namespace
