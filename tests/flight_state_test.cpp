#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "flight/flight.h"
#include "shell/media.h"

namespace {

float signedDraw(int sign, int magnitude, int n) {
    return static_cast<float>(sign % 2 == 0 ? magnitude % n : -(magnitude % n));
}

int FlightState::*const commands[] = {
    &FlightState::thrustX,       &FlightState::thrustY,        &FlightState::thrustZ,
    &FlightState::thrustRoll,    &FlightState::firingCount,    &FlightState::forwardLamp,
    &FlightState::reverseLamp,   &FlightState::upperLeftLamp,  &FlightState::upperRightLamp,
    &FlightState::lowerLeftLamp, &FlightState::lowerRightLamp,
};

// Each reset is replayed on a second run of the same rand sequence.
TEST(ResetApproach, DrawsElevenValuesIntoTheirRangesAndClearsTheCommands) {
    struct Field {
        float FlightState::*member;
        float low, high;
    };
    const Field fields[] = {
        {&FlightState::velocityX, -49, 49},        {&FlightState::velocityY, -49, 49},
        {&FlightState::velocityZ, 0, 49},          {&FlightState::rollRate, 0, 49},
        {&FlightState::relativeRollAngle, 0, 359}, {&FlightState::offsetX, -199, 199},
        {&FlightState::offsetY, -199, 199}};
    FlightState before;  // keys held and the last approach's turn cached
    for (int FlightState::*command : commands) {
        before.*command = 3;
    }
    before.rollCos = 0.25f;
    before.rollSin = -0.5f;
    before.relativeRollCos = 0.75f;
    before.relativeRollSin = -1.0f;
    for (int spin : {0, 100}) {
        media.stationSpin = spin;
        for (unsigned seed = 1; seed <= 2000; ++seed) {
            SCOPED_TRACE(testing::Message() << "spin " << spin << " seed " << seed);
            setFlightState(before);
            std::srand(seed);
            resetApproach();
            const int nextAfterReset = std::rand();
            std::srand(seed);
            int r[12];
            for (int& value : r) {
                value = std::rand();
            }
            ASSERT_EQ(nextAfterReset, r[11]);
            const float want[] = {signedDraw(r[0], r[1], 50),     signedDraw(r[2], r[3], 50),
                                  static_cast<float>(r[4] % 50),  static_cast<float>(r[5] % 50),
                                  static_cast<float>(r[6] % 360), signedDraw(r[7], r[8], 200),
                                  signedDraw(r[9], r[10], 200)};
            const FlightState& s = flightState();
            for (int i = 0; i < 7; ++i) {
                SCOPED_TRACE(testing::Message() << "field " << i);
                const float value = s.*fields[i].member;
                ASSERT_EQ(value, want[i]);
                ASSERT_EQ(value, std::trunc(value));
                ASSERT_GE(value, fields[i].low);
                ASSERT_LE(value, fields[i].high);
            }
            ASSERT_EQ(s.rollAngle, s.relativeRollAngle);
            ASSERT_EQ(s.relativeRollRate, s.rollRate + static_cast<float>(spin));
            ASSERT_EQ(s.distance, 20.0f);
            for (int FlightState::*command : commands) {
                ASSERT_EQ(s.*command, 0);
            }
            // The first motion step of the new approach refreshes these.
            ASSERT_EQ(s.rollCos, 0.25f);
            ASSERT_EQ(s.rollSin, -0.5f);
            ASSERT_EQ(s.relativeRollCos, 0.75f);
            ASSERT_EQ(s.relativeRollSin, -1.0f);
        }
    }
}

}  // namespace
