// The pilot's guide (README and man page) in numbers: every limit it gives in
// the readouts' own units holds just inside and fails just outside against the
// game's own judgement, so that the manual cannot drift from the game.
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "cockpit/readouts.h"
#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "pilot.h"
#include "test_support.h"
#include "view/scene.h"

namespace {

constexpr double radiansPerDegree = 3.14159265 / 180.0;

// At the station in the docked pose, perfect in every margin: the ring
// station, the craft upside down against it, centred and still.
FlightState perfectArrival(float roll = 180.0f) {
    FlightState s;
    s.distance = 1.0f;
    s.rollAngle = roll;
    s.relativeRollAngle = 180.0f;
    return s;
}

// Sets the state with the cosines and sines that a frame's roll steps cache.
void fly(const FlightState& state) {
    setFlightState(state);
    advanceRelativeRoll(0);
    advanceRoll(0);
}

// The drift along the fixed axes that the readouts show as vX and vY, and the
// offsets that the view shows dx, dy pixels from the sight, at the craft's
// roll: both turn by the roll.
void setDriftReadouts(FlightState& s, double vX, double vY) {
    const double c = std::cos(s.rollAngle * radiansPerDegree);
    const double n = std::sin(s.rollAngle * radiansPerDegree);
    s.velocityX = static_cast<float>(-50.0 * (vX * c + vY * n));
    s.velocityY = static_cast<float>(50.0 * (vY * c - vX * n));
}

void setStationOnScreen(FlightState& s, double dx, double dy) {
    const double c = std::cos(s.rollAngle * radiansPerDegree);
    const double n = std::sin(s.rollAngle * radiansPerDegree);
    s.offsetX = static_cast<float>(dx * c - dy * n);
    s.offsetY = static_cast<float>(dx * n + dy * c);
}

// wZ shows the own roll rate; the station's spin adds to the relative one.
std::function<void(FlightState&)> rollRate(float tenths, int spin) {
    return [=](FlightState& s) {
        s.rollRate = tenths;
        s.relativeRollRate = tenths + static_cast<float>(spin);
    };
}

std::function<void(FlightState&)> relativeRoll(float degrees) {
    return [=](FlightState& s) { s.relativeRollAngle = degrees; };
}

ScreenPoint stationOnScreen() {
    return stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
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
        {"vZ 0.99", [](FlightState& s) { s.velocityZ = 49.7f; }, KindVZ, "vZ   0.99", true},
        {"vZ 1.01", [](FlightState& s) { s.velocityZ = 50.3f; }, KindVZ, "vZ   1.01", false},
        // Each fixed axis allows 1.00, so 1.01 along one fails, and 0.71 on
        // both fails when the craft's axes lie diagonally.
        {"vX 1.01", [](FlightState& s) { setDriftReadouts(s, 1.01, 0); }, KindVX, "vX   1.01",
         false},
        {"vY -1.01", [](FlightState& s) { setDriftReadouts(s, 0, -1.01); }, KindVY, "vY   -1.01",
         false},
        {"vX, vY 0.71 at roll 225",
         [](FlightState& s) {
             s.rollAngle = 225.0f;
             setDriftReadouts(s, 0.71, 0.71);
         },
         KindVX, "vX   0.71", false},
        {"ring, wZ 4.99", rollRate(49.9f, 0), KindWZ, "wZ   4.99", true},
        {"ring, wZ 5.00", rollRate(50.0f, 0), KindWZ, "wZ   5.00", false},
        {"ring, wZ -4.99", rollRate(-49.9f, 0), KindWZ, "wZ   -4.99", true},
        {"ring, wZ -5.00", rollRate(-50.0f, 0), KindWZ, "wZ   -5.00", false},
        {"winged, wZ -5.01", rollRate(-50.1f, 100), KindWZ, "wZ   -5.01", true},
        {"winged, wZ -5.00", rollRate(-50.0f, 100), KindWZ, "wZ   -5.00", false},
        {"winged, wZ -10.00", rollRate(-100.0f, 100), KindWZ, "wZ   -10.00", true},
        {"winged, wZ -14.99", rollRate(-149.9f, 100), KindWZ, "wZ   -14.99", true},
        {"winged, wZ -15.00", rollRate(-150.0f, 100), KindWZ, "wZ   -15.00", false},
        {"winged, wZ 0.00", rollRate(0.0f, 100), KindWZ, "wZ   0.00", false},
        {"45 px off", [](FlightState& s) { s.offsetX = 45.0f; }, -1, "", false},
        {"44.9 px off", [](FlightState& s) { s.offsetY = -44.9f; }, -1, "", true},
        {"roll 166", relativeRoll(166.0f), -1, "", true},
        {"roll 165.9", relativeRoll(165.9f), -1, "", false},
        {"roll 194.9", relativeRoll(194.9f), -1, "", true},
        {"roll 195", relativeRoll(195.0f), -1, "", false},
        {"roll -166", relativeRoll(-166.0f), -1, "", true},
        {"roll 540 + 14", relativeRoll(554.0f), -1, "", true},
        {"roll 540 + 15", relativeRoll(555.0f), -1, "", false},
        // Each limit holds, but together they leave less than a point.
        {"all near their edges",
         [](FlightState& s) {
             s = {};
             s.offsetX = s.offsetY = 44.0f;
             s.relativeRollAngle = 166.0f;
             s.velocityX = s.velocityY = s.velocityZ = s.relativeRollRate = 49.0f;
         },
         -1, "", false},
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

// Whatever the roll, each safe limit docks on its own: both drift readouts at
// 0.70 (turning keeps the drift's length, and 0.705 x 1.414 is under 1.00),
// the station's centre anywhere within 45 pixels of the sight, and 14 degrees
// off upside down.
TEST(PilotsGuide, EachSafeLimitHoldsAtAnyRoll) {
    for (int roll = -360; roll <= 720; roll += 15) {
        for (int direction = 0; direction < 360; direction += 45) {
            const double c = std::cos(direction * radiansPerDegree);
            const double n = std::sin(direction * radiansPerDegree);
            FlightState drifting = perfectArrival(static_cast<float>(roll));
            setDriftReadouts(drifting, c > 0 ? 0.70499 : -0.70499, n > 0 ? 0.70499 : -0.70499);
            FlightState off = perfectArrival(static_cast<float>(roll));
            setStationOnScreen(off, 44.9 * c, 44.9 * n);
            FlightState turned = perfectArrival(static_cast<float>(roll));
            turned.relativeRollAngle =
                static_cast<float>(roll / 360 * 360 + 180 + (c > 0 ? 14 : -14));
            for (const FlightState& state : {turned, off, drifting}) {
                fly(state);
                EXPECT_GT(assessDocking(), 0) << "roll " << roll << " direction " << direction;
            }
            EXPECT_EQ(std::fabs(std::stof(readoutText(KindVX).substr(5))), 0.70f) << roll;
            EXPECT_EQ(std::fabs(std::stof(readoutText(KindVY).substr(5))), 0.70f) << roll;
            fly(off);
            EXPECT_LT(std::hypot(stationOnScreen().x - viewportCentreX,
                                 stationOnScreen().y - viewportCentreY),
                      46.0);
        }
    }
}

// The red label: 950 at the start, 0 at the station when centred, falling by
// 2.5 x vZ each second; braking from vZ 5.00 to 0.90 takes 3.4 s and 25 of it.
TEST(PilotsGuide, TheRedLabelCountsDownToTheStation) {
    resetApproach();
    EXPECT_EQ(readoutText(KindDistance).substr(0, 5), "`950.");
    fly(perfectArrival());
    EXPECT_EQ(readoutText(KindDistance), "`0.00");
    FlightState state = perfectArrival();
    state.distance = 20.0f;
    state.velocityZ = 40.0f;  // vZ 0.80
    fly(state);
    advanceDistance(1000);
    EXPECT_EQ(readoutText(KindDistance), "`948.00");

    state.velocityZ = 250.0f;
    fly(state);
    const float start = readoutDistance();
    applyKeyNow(SDLK_DOWN, true);
    int ms = 0;
    for (; velocityZ() > 0.90f * 50.0f; ms += 10) {
        advanceDistance(10);
    }
    applyKeyNow(SDLK_DOWN, false);
    EXPECT_NEAR(ms, 3400, 20);
    EXPECT_NEAR(start - readoutDistance(), 25.0, 0.5);
}

struct KeyEffect {
    SDLKey key;  // SDLK_UNKNOWN: no key, a drift of 1.00 shown on kind instead
    int kind;
    const char* shown;  // the readout after one second
    int moveX, moveY;   // how far the station moved in the window meanwhile
};

// One second at any roll: a drift readout of 1.00 slides the station 50
// pixels (vX left, vY down); from rest, A, D, W and S move it 30 pixels
// right, left, down and up and change vX or vY by 1.20; Up and Down change vZ
// by 1.20, Right and Left wZ by 6.00.
TEST(PilotsGuide, WhatDriftAndOneSecondOfEachThrusterDo) {
    const KeyEffect effects[] = {
        {SDLK_UNKNOWN, KindVX, "vX   1.00", -50, 0}, {SDLK_UNKNOWN, KindVY, "vY   1.00", 0, 50},
        {SDLK_a, KindVX, "vX   -1.20", 30, 0},       {SDLK_d, KindVX, "vX   1.20", -30, 0},
        {SDLK_w, KindVY, "vY   1.20", 0, 30},        {SDLK_s, KindVY, "vY   -1.20", 0, -30},
        {SDLK_UP, KindVZ, "vZ   1.20", 0, 0},        {SDLK_DOWN, KindVZ, "vZ   -1.20", 0, 0},
        {SDLK_RIGHT, KindWZ, "wZ   6.00", 0, 0},     {SDLK_LEFT, KindWZ, "wZ   -6.00", 0, 0}};
    for (const KeyEffect& effect : effects) {
        for (const float roll : {0.0f, 90.0f, 180.0f, 250.0f}) {
            FlightState state = perfectArrival(roll);
            state.distance = 20.0f;
            if (effect.key == SDLK_UNKNOWN) {
                setDriftReadouts(state, effect.kind == KindVX, effect.kind == KindVY);
            }
            fly(state);
            const ScreenPoint before = stationOnScreen();
            applyKeyNow(effect.key, true);
            advanceDistance(1000);
            advanceRelativeRoll(1000);
            // The roll moves only for the roll keys, where the station's
            // motion is not read.
            advanceRoll(effect.kind == KindWZ ? 1000 : 0);
            advanceOffsetX(1000);
            advanceOffsetY(1000);
            applyKeyNow(effect.key, false);
            EXPECT_EQ(readoutText(effect.kind), effect.shown) << effect.shown << " roll " << roll;
            if (effect.kind != KindWZ) {
                EXPECT_NEAR(stationOnScreen().x - before.x, effect.moveX, 1)
                    << effect.shown << roll;
                EXPECT_NEAR(stationOnScreen().y - before.y, effect.moveY, 1)
                    << effect.shown << roll;
            }
        }
    }
}

// The worked example: the winged station, its centre 9 pixels right of the
// sight, the arrow 3 degrees off, vX 0.20, vY 0.00, vZ 0.60 and wZ -9.00 score
// 3110 points; at vZ 0.30, 5443; a perfect arrival 18984.
TEST(PilotsGuide, TheWorkedExample) {
    FlightState state = perfectArrival(0.0f);
    state.relativeRollAngle = 183.0f;
    setStationOnScreen(state, 9.0, 0.0);
    setDriftReadouts(state, 0.20, 0.0);
    state.velocityZ = 30.0f;
    rollRate(-90.0f, 100)(state);
    fly(state);
    EXPECT_EQ(stationOnScreen().x, viewportCentreX + 9);
    EXPECT_EQ(stationOnScreen().y, viewportCentreY);
    const char* const shown[] = {"vX   0.20", "vY   0.00", "vZ   0.60", "wZ   -9.00"};
    for (int kind = KindVX; kind <= KindWZ; ++kind) {
        EXPECT_EQ(readoutText(kind), shown[kind]);
    }
    EXPECT_EQ(assessDocking(), 3110);
    state.velocityZ = 15.0f;
    fly(state);
    EXPECT_EQ(assessDocking(), 5443);
    fly(perfectArrival());
    EXPECT_EQ(assessDocking(), 18984);
}

// The sight's cross reaches 46 pixels out from its centre, which lies between
// four pixels: the 46th pixel out is drawn, the 48th is not.
TEST(PilotsGuide, TheSightsCrossReachesFortySixPixels) {
    SDL_Surface* sight = IMG_Load("crosshairs.png");
    ASSERT_NE(sight, nullptr);
    const int x = sight->w / 2;
    const int y = sight->h / 2;
    const Rgb white = {255, 255, 255};
    for (const int k : {45, -46}) {
        EXPECT_FALSE(pixelAt(sight, x + k, y) == white || pixelAt(sight, x, y + k) == white) << k;
    }
    for (const int k : {47, -48}) {
        EXPECT_TRUE(pixelAt(sight, x + k, y) == white && pixelAt(sight, x, y + k) == white) << k;
    }
    SDL_FreeSurface(sight);
}

}  // namespace
