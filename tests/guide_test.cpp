// The pilot's guide (README and man page) in numbers: every limit it gives in
// the readouts' own units, checked just inside and just outside against the
// game's own judgement, so that the manual cannot drift from the game.
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "cockpit/readouts.h"
#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "pilot.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"

namespace {

constexpr double radiansPerDegree = 3.14159265 / 180.0;

// The docked pose at the station, perfect in every margin: the ring station
// (no spin), the craft upside down against it, centred and still.
FlightState perfectArrival() {
    FlightState s;
    s.distance = 1.0f;
    s.rollAngle = 180.0f;
    s.relativeRollAngle = 180.0f;
    return s;
}

// Sets the state and refreshes the cached cosines and sines as the roll steps
// of a frame would (a step of 0 ms moves nothing).
void fly(const FlightState& state) {
    setFlightState(state);
    advanceRelativeRoll(0);
    advanceRoll(0);
}

// Drift velocities along the fixed axes that make the readouts show vX and vY
// at the craft's roll: the readouts turn the drift into the craft's frame.
void setDriftReadouts(FlightState& s, double vX, double vY) {
    const double c = std::cos(s.rollAngle * radiansPerDegree);
    const double n = std::sin(s.rollAngle * radiansPerDegree);
    const double a = vX * 50.0;
    const double b = vY * 50.0;
    s.velocityX = static_cast<float>(-a * c - b * n);
    s.velocityY = static_cast<float>(-a * n + b * c);
}

// Offsets along the fixed axes that put the station's centre dx, dy pixels
// from the sight at the craft's roll: the view turns them by the roll.
void setStationOnScreen(FlightState& s, double dx, double dy) {
    const double c = std::cos(s.rollAngle * radiansPerDegree);
    const double n = std::sin(s.rollAngle * radiansPerDegree);
    s.offsetX = static_cast<float>(dx * c - dy * n);
    s.offsetY = static_cast<float>(dx * n + dy * c);
}

// Own roll rate (what wZ shows, in tenths of a degree per second) on a station
// of the given spin: the relative rate is the own rate plus the spin.
void setRollRate(FlightState& s, float rollRate, int spin) {
    s.rollRate = rollRate;
    s.relativeRollRate = rollRate + static_cast<float>(spin);
}

struct Limit {
    const char* rule;
    std::function<void(FlightState&)> set;
    int kind;           // the readout that shows it, or -1
    const char* shown;  // what that readout shows
    bool docks;
};

TEST(PilotsGuide, EveryLimitHoldsJustInsideAndFailsJustOutside) {
    const Limit limits[] = {
        // vZ: the closing speed / 50, 0.99 or less.
        {"vZ 0.99", [](FlightState& s) { s.velocityZ = 49.7f; }, KindVZ, "vZ   0.99", true},
        {"vZ 1.01", [](FlightState& s) { s.velocityZ = 50.3f; }, KindVZ, "vZ   1.01", false},
        // vX and vY: each fixed axis allows 1.00, so 1.01 along one fails.
        {"vX 1.01 at roll 180", [](FlightState& s) { setDriftReadouts(s, 1.01, 0); }, KindVX,
         "vX   1.01", false},
        {"vY -1.01 at roll 180", [](FlightState& s) { setDriftReadouts(s, 0, -1.01); }, KindVY,
         "vY   -1.01", false},
        // ...and 0.71 on both fails when the craft's axes lie diagonally.
        {"vX, vY 0.71 at roll 225",
         [](FlightState& s) {
             s.rollAngle = 225.0f;
             setDriftReadouts(s, 0.71, 0.71);
         },
         KindVX, "vX   0.71", false},
        // wZ on the ring station (no spin): between -5 and 5.
        {"ring, wZ 4.99", [](FlightState& s) { setRollRate(s, 49.9f, 0); }, KindWZ, "wZ   4.99",
         true},
        {"ring, wZ 5.00", [](FlightState& s) { setRollRate(s, 50.0f, 0); }, KindWZ, "wZ   5.00",
         false},
        {"ring, wZ -4.99", [](FlightState& s) { setRollRate(s, -49.9f, 0); }, KindWZ, "wZ   -4.99",
         true},
        {"ring, wZ -5.00", [](FlightState& s) { setRollRate(s, -50.0f, 0); }, KindWZ, "wZ   -5.00",
         false},
        // wZ on the spinning station (spin 100): between -15 and -5, about -10.
        {"spinning, wZ -5.01", [](FlightState& s) { setRollRate(s, -50.1f, 100); }, KindWZ,
         "wZ   -5.01", true},
        {"spinning, wZ -5.00", [](FlightState& s) { setRollRate(s, -50.0f, 100); }, KindWZ,
         "wZ   -5.00", false},
        {"spinning, wZ -10.00", [](FlightState& s) { setRollRate(s, -100.0f, 100); }, KindWZ,
         "wZ   -10.00", true},
        {"spinning, wZ -14.99", [](FlightState& s) { setRollRate(s, -149.9f, 100); }, KindWZ,
         "wZ   -14.99", true},
        {"spinning, wZ -15.00", [](FlightState& s) { setRollRate(s, -150.0f, 100); }, KindWZ,
         "wZ   -15.00", false},
        {"spinning, wZ 0.00", [](FlightState& s) { setRollRate(s, 0.0f, 100); }, KindWZ,
         "wZ   0.00", false},
        // Centring: 45 pixels off along one of the fixed axes fails.
        {"45 px off", [](FlightState& s) { s.offsetX = 45.0f; }, -1, "", false},
        {"44.9 px off", [](FlightState& s) { s.offsetY = -44.9f; }, -1, "", true},
        // Upside down: 166 to 194 whole degrees of relative roll.
        {"roll 166", [](FlightState& s) { s.relativeRollAngle = 166.0f; }, -1, "", true},
        {"roll 165.9", [](FlightState& s) { s.relativeRollAngle = 165.9f; }, -1, "", false},
        {"roll 194.9", [](FlightState& s) { s.relativeRollAngle = 194.9f; }, -1, "", true},
        {"roll 195", [](FlightState& s) { s.relativeRollAngle = 195.0f; }, -1, "", false},
        {"roll -166", [](FlightState& s) { s.relativeRollAngle = -166.0f; }, -1, "", true},
        {"roll 540 + 14", [](FlightState& s) { s.relativeRollAngle = 554.0f; }, -1, "", true},
        {"roll 540 + 15", [](FlightState& s) { s.relativeRollAngle = 555.0f; }, -1, "", false},
    };
    for (const Limit& limit : limits) {
        FlightState state = perfectArrival();
        limit.set(state);
        fly(state);
        if (limit.kind >= 0) {
            EXPECT_EQ(readoutText(limit.kind), limit.shown) << limit.rule;
        }
        EXPECT_EQ(assessDocking() > 0, limit.docks) << limit.rule;
    }
}

// Both drift readouts 0.70 or less in size dock at any roll: the readouts turn
// the drift without changing its length, and 0.705 x sqrt(2) is under 1.00.
TEST(PilotsGuide, DriftReadoutsOfSevenTenthsAlwaysDock) {
    for (int roll = -360; roll <= 720; roll += 15) {
        for (const double vX : {-0.70499, 0.70499}) {
            for (const double vY : {-0.70499, 0.70499}) {
                FlightState state = perfectArrival();
                state.rollAngle = static_cast<float>(roll);
                setDriftReadouts(state, vX, vY);
                fly(state);
                EXPECT_EQ(readoutText(KindVX), vX > 0 ? "vX   0.70" : "vX   -0.70") << roll;
                EXPECT_EQ(readoutText(KindVY), vY > 0 ? "vY   0.70" : "vY   -0.70") << roll;
                EXPECT_GT(assessDocking(), 0) << "roll " << roll << " vX " << vX << " vY " << vY;
            }
        }
    }
}

// The station's centre within 45 pixels of the sight docks at any roll and in
// any direction: the view turns the offsets without changing their length.
TEST(PilotsGuide, StationWithinFortyFivePixelsOfTheSightAlwaysDocks) {
    for (int roll = -360; roll <= 720; roll += 15) {
        for (int direction = 0; direction < 360; direction += 15) {
            FlightState state = perfectArrival();
            state.rollAngle = static_cast<float>(roll);
            setStationOnScreen(state, 44.9 * std::cos(direction * radiansPerDegree),
                               44.9 * std::sin(direction * radiansPerDegree));
            fly(state);
            const ScreenPoint point =
                stationScreenPoint(state.offsetX, state.offsetY, rollCos(), rollSin());
            // The window shows it there, truncated to whole pixels.
            EXPECT_LT(std::hypot(point.x - viewportCentreX, point.y - viewportCentreY), 46.0);
            EXPECT_GT(assessDocking(), 0) << "roll " << roll << " direction " << direction;
        }
    }
    // Straight off to one side with the craft upright, 45 pixels fail.
    FlightState state = perfectArrival();
    state.rollAngle = 0.0f;
    setStationOnScreen(state, 0, 45.0);
    fly(state);
    const ScreenPoint point = stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
    EXPECT_EQ(point.y, viewportCentreY + 45);
    EXPECT_EQ(assessDocking(), 0);
}

// Within 14 degrees of upside down docks, on either side and in any turn.
TEST(PilotsGuide, FourteenDegreesOffUpsideDownAlwaysDock) {
    for (const float upsideDown : {-540.0f, -180.0f, 180.0f, 540.0f}) {
        for (float off = -14.0f; off <= 14.0f; off += 0.5f) {
            FlightState state = perfectArrival();
            state.relativeRollAngle = upsideDown + off;
            fly(state);
            EXPECT_GT(assessDocking(), 0) << upsideDown + off;
        }
    }
}

// What the spinning station asks of wZ holds in flight: the relative rate is
// the own rate plus the spin from the start of the approach on, whatever the
// roll thrust does.
TEST(PilotsGuide, TheSpinStaysBetweenTheOwnAndTheRelativeRollRate) {
    media.stationSpin = 100;
    std::srand(7);
    resetApproach();
    for (int frame = 0; frame < 400; ++frame) {
        const bool left = frame % 100 < 70;
        applyKeyNow(left ? SDLK_LEFT : SDLK_RIGHT, true);
        advanceRelativeRoll(16);
        advanceRoll(16);
        applyKeyNow(left ? SDLK_LEFT : SDLK_RIGHT, false);
        EXPECT_NEAR(flightState().relativeRollRate - flightState().rollRate, 100.0f, 0.01f);
    }
    media.stationSpin = 0;
}

// The red label: about 950 at the start, 0 at the station when centred,
// falling by 2.5 x vZ each second.
TEST(PilotsGuide, TheRedLabelCountsDownToTheStation) {
    std::srand(3);
    for (int approach = 0; approach < 20; ++approach) {
        resetApproach();
        EXPECT_EQ(readoutText(KindDistance).substr(0, 6), "`950.0");
    }
    fly(perfectArrival());
    EXPECT_EQ(readoutText(KindDistance), "`0.00");

    FlightState state = perfectArrival();
    state.distance = 20.0f;
    state.velocityZ = 40.0f;  // vZ 0.80
    fly(state);
    advanceDistance(1000);
    EXPECT_EQ(readoutText(KindDistance), "`948.00");

    // Braking with the Down arrow from vZ 5.00 to 0.90: 3.4 s and 25 of the
    // label.
    state.velocityZ = 250.0f;
    fly(state);
    const float start = readoutDistance();
    applyKeyNow(SDLK_DOWN, true);
    int ms = 0;
    while (velocityZ() > 0.90f * 50.0f) {
        advanceDistance(10);
        ms += 10;
    }
    applyKeyNow(SDLK_DOWN, false);
    EXPECT_NEAR(ms, 3400, 20);
    EXPECT_NEAR(start - readoutDistance(), 25.0, 0.5);
}

struct KeyEffect {
    SDLKey key;
    int kind;
    const char* shown;  // the readout after one second from rest
    int moveX, moveY;   // how far the station moved in the window meanwhile
};

// vX is positive when the craft drifts right, so that the station slides left
// in the window, 50 pixels a second at vX 1.00; vY is positive when it drifts
// up, the station sliding down.
TEST(PilotsGuide, DriftReadoutsShowWhereTheStationSlides) {
    for (const float roll : {0.0f, 90.0f, 180.0f, 250.0f}) {
        for (const bool alongX : {true, false}) {
            FlightState state = perfectArrival();
            state.rollAngle = roll;
            setDriftReadouts(state, alongX ? 1.0 : 0.0, alongX ? 0.0 : 1.0);
            fly(state);
            const ScreenPoint before =
                stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
            advanceOffsetX(1000);
            advanceOffsetY(1000);
            const ScreenPoint after =
                stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
            EXPECT_NEAR(after.x - before.x, alongX ? -50 : 0, 1) << roll;
            EXPECT_NEAR(after.y - before.y, alongX ? 0 : 50, 1) << roll;
        }
    }
}

// One second of a thruster from rest, at any roll: the lateral keys move the
// station the same way in the window (A right, D left, W down, S up) and
// change vX or vY by 1.20; Up and Down change vZ by 1.20, Right and Left wZ
// by 6.00.
TEST(PilotsGuide, WhatOneSecondOfEachThrusterDoes) {
    const KeyEffect effects[] = {
        {SDLK_a, KindVX, "vX   -1.20", 30, 0},   {SDLK_d, KindVX, "vX   1.20", -30, 0},
        {SDLK_w, KindVY, "vY   1.20", 0, 30},    {SDLK_s, KindVY, "vY   -1.20", 0, -30},
        {SDLK_UP, KindVZ, "vZ   1.20", 0, 0},    {SDLK_DOWN, KindVZ, "vZ   -1.20", 0, 0},
        {SDLK_RIGHT, KindWZ, "wZ   6.00", 0, 0}, {SDLK_LEFT, KindWZ, "wZ   -6.00", 0, 0}};
    for (const KeyEffect& effect : effects) {
        for (const float roll : {0.0f, 90.0f, 180.0f, 250.0f}) {
            FlightState state = perfectArrival();
            state.distance = 20.0f;
            state.rollAngle = roll;
            fly(state);
            const ScreenPoint before =
                stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
            applyKeyNow(effect.key, true);
            advanceDistance(1000);
            advanceRelativeRoll(1000);
            if (effect.kind == KindWZ) {
                advanceRoll(1000);
            } else {
                // One more frame of no time keeps the roll where the
                // station's motion is read.
                advanceRoll(0);
            }
            advanceOffsetX(1000);
            advanceOffsetY(1000);
            applyKeyNow(effect.key, false);
            EXPECT_EQ(readoutText(effect.kind), effect.shown) << effect.shown << " roll " << roll;
            if (effect.kind != KindWZ) {
                const ScreenPoint after =
                    stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
                EXPECT_NEAR(after.x - before.x, effect.moveX, 1) << effect.shown << " " << roll;
                EXPECT_NEAR(after.y - before.y, effect.moveY, 1) << effect.shown << " " << roll;
            }
        }
    }
}

// The guide's worked example: the spinning station, the port 9 pixels right of
// the sight, the arrow 3 degrees off, vX 0.20, vY 0.00, vZ 0.60 and wZ -9.00
// (the station turning 1 degree per second): 18984 x 0.8 x 0.8 x 0.8 x 0.4 x
// 0.8 = 3110 points; at vZ 0.30, 5443.
TEST(PilotsGuide, TheWorkedExample) {
    FlightState state = perfectArrival();
    state.rollAngle = 0.0f;
    state.relativeRollAngle = 183.0f;
    setStationOnScreen(state, 9.0, 0.0);
    setDriftReadouts(state, 0.20, 0.0);
    state.velocityZ = 30.0f;
    setRollRate(state, -90.0f, 100);
    fly(state);
    const ScreenPoint point = stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
    EXPECT_EQ(point.x, viewportCentreX + 9);
    EXPECT_EQ(point.y, viewportCentreY);
    EXPECT_EQ(readoutText(KindVX), "vX   0.20");
    EXPECT_EQ(readoutText(KindVY), "vY   0.00");
    EXPECT_EQ(readoutText(KindVZ), "vZ   0.60");
    EXPECT_EQ(readoutText(KindWZ), "wZ   -9.00");
    EXPECT_EQ(rollAlignmentError(state.relativeRollAngle), 3);
    EXPECT_EQ(assessDocking(), 3110);

    state.velocityZ = 15.0f;
    fly(state);
    EXPECT_EQ(readoutText(KindVZ), "vZ   0.30");
    EXPECT_EQ(assessDocking(), 5443);

    fly(perfectArrival());
    EXPECT_EQ(assessDocking(), 18984);
}

// The sight's cross reaches 46 pixels out from its centre, along each arm.
// The centre lies between four pixels: the pixel k whole pixels out on a
// side is centre + k, or centre - 1 - k.
TEST(PilotsGuide, TheSightsCrossReachesFortySixPixels) {
    SDL_Surface* sight = IMG_Load("crosshairs.png");
    ASSERT_NE(sight, nullptr);
    const auto out = [](int centre, int side, int k) {
        return side > 0 ? centre + k : centre - 1 - k;
    };
    const Rgb white = {255, 255, 255};
    for (const int side : {-1, 1}) {
        EXPECT_FALSE(pixelAt(sight, out(sight->w / 2, side, 45), sight->h / 2) == white) << side;
        EXPECT_TRUE(pixelAt(sight, out(sight->w / 2, side, 47), sight->h / 2) == white) << side;
        EXPECT_FALSE(pixelAt(sight, sight->w / 2, out(sight->h / 2, side, 45)) == white) << side;
        EXPECT_TRUE(pixelAt(sight, sight->w / 2, out(sight->h / 2, side, 47)) == white) << side;
    }
    SDL_FreeSurface(sight);
}

}  // namespace
