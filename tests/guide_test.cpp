// The pilot's guide (README and man page) in numbers: every limit it gives in
// the readouts' own units holds just inside and fails just outside against the
// game's own judgement, the label counts down to 0, and what each key and each
// short tap does is what the guide says. How the guide flies as a whole is measured by
// bench/guide_study.
#include <SDL/SDL_image.h>

#include "cockpit/readouts.h"
#include "flight/docking.h"
#include "flight/motion.h"
#include "pilot.h"
#include "test_support.h"

namespace {

using S = FlightState;

// At the ring station, the craft at roll and the station upside down against
// it, with the drift that the readouts show as vX and vY and the station's
// centre dx, dy pixels from the sight: both turn by the roll.
FlightState arrival(float roll = 180, double vX = 0, double vY = 0, double dx = 0, double dy = 0) {
    const double c = std::cos(roll * M_PI / 180);
    const double n = std::sin(roll * M_PI / 180);
    FlightState s;
    s.distance = 1;
    s.rollAngle = roll;
    s.relativeRollAngle = 180;
    s.velocityX = static_cast<float>(-50 * (vX * c + vY * n));
    s.velocityY = static_cast<float>(50 * (vY * c - vX * n));
    s.offsetX = static_cast<float>(dx * c - dy * n);
    s.offsetY = static_cast<float>(dx * n + dy * c);
    return s;
}

FlightState with(FlightState s, float S::*field, float value) {
    s.*field = value;
    return s;
}

// wZ shows the own roll rate; the station's spin adds to the relative one.
FlightState turning(float tenths, int spin, FlightState s = arrival()) {
    s.rollRate = tenths;
    s.relativeRollRate = tenths + static_cast<float>(spin);
    return s;
}

// Sets the state with the cosines and sines that a frame's roll steps cache.
void fly(const FlightState& state) {
    setFlightState(state);
    advanceRelativeRoll(0);
    advanceRoll(0);
}

// Where the station's centre shows, from the sight's centre.
ScreenPoint stationPlace() {
    const ScreenPoint p = stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
    return {p.x - viewportCentreX, p.y - viewportCentreY};
}

double shown(int kind) {
    return std::stod(readoutText(kind).substr(5));
}

TEST(PilotsGuide, EveryLimitHoldsJustInsideAndFailsJustOutside) {
    // Each limit holds, but together they leave less than a point.
    FlightState edges = turning(49, 0, arrival(180, 0, 0, 44, 44));
    edges.relativeRollAngle = 166;
    edges.velocityX = edges.velocityY = edges.velocityZ = 49;
    // The worked example: the winged station 9 pixels right of the sight, the
    // arrow 3 degrees off, vX 0.20, vY 0.00, vZ 0.60 and wZ -9.00.
    FlightState example = turning(-90, 100, arrival(0, 0.20, 0, 9, 0));
    example.relativeRollAngle = 183;
    example.velocityZ = 30;
    constexpr int docks = -1;
    // The rule, the state, the readout that shows it (or -1) and what it
    // shows, and the score (docks: any above 0).
    const std::tuple<const char*, FlightState, int, const char*, int> limits[] = {
        {"vZ", with(arrival(), &S::velocityZ, 49.7f), KindVZ, "vZ   0.99", docks},
        {"vZ", with(arrival(), &S::velocityZ, 50.3f), KindVZ, "vZ   1.01", 0},
        {"vX", arrival(180, 1.01, 0), KindVX, "vX   1.01", 0},
        {"vY", arrival(180, 0, -1.01), KindVY, "vY   -1.01", 0},
        {"0.71 on both at roll 225", arrival(225, 0.71, 0.71), KindVX, "vX   0.71", 0},
        {"0.70 on both at roll 225", arrival(225, 0.704, -0.704), KindVY, "vY   -0.70", docks},
        {"ring", turning(49.9f, 0), KindWZ, "wZ   4.99", docks},
        {"ring", turning(-50, 0), KindWZ, "wZ   -5.00", 0},
        {"winged", turning(-50.1f, 100), KindWZ, "wZ   -5.01", docks},
        {"winged", turning(-50, 100), KindWZ, "wZ   -5.00", 0},
        {"winged", turning(-149.9f, 100), KindWZ, "wZ   -14.99", docks},
        {"winged", turning(-150, 100), KindWZ, "wZ   -15.00", 0},
        {"44.9 px off at roll 40", arrival(40, 0, 0, 31.7, -31.7), -1, "", docks},
        {"45 px off", with(arrival(), &S::offsetX, 45), -1, "", 0},
        {"roll 166", with(arrival(), &S::relativeRollAngle, 166), -1, "", docks},
        {"roll 165.9", with(arrival(), &S::relativeRollAngle, 165.9f), -1, "", 0},
        {"roll 195", with(arrival(), &S::relativeRollAngle, 195), -1, "", 0},
        {"roll 540 + 15", with(arrival(), &S::relativeRollAngle, 555), -1, "", 0},
        {"all near their edges", edges, -1, "", 0},
        {"perfect", arrival(), KindDistance, "`0.00", 18984},
        // The label: 950 at the start, with a trace of the offset (3 and 4 in
        // fiftieths of a pixel).
        {"the start", with(arrival(), &S::distance, 20), KindDistance, "`950.00", 18984},
        {"150, -200 px off", arrival(0, 0, 0, 150, -200), KindDistance, "`5.00", 0},
        {"example", example, KindVX, "vX   0.20", 3110},
        {"example", example, KindWZ, "wZ   -9.00", 3110},
        {"example at vZ 0.30", with(example, &S::velocityZ, 15), KindVZ, "vZ   0.30", 5443}};
    for (const auto& [rule, state, kind, text, score] : limits) {
        fly(state);
        if (kind >= 0) {
            EXPECT_EQ(readoutText(kind), text) << rule;
        }
        EXPECT_TRUE(score == docks ? assessDocking() > 0 : assessDocking() == score)
            << rule << " " << text << ": " << assessDocking();
    }
    fly(example);
    EXPECT_EQ(stationPlace().x, 9);
    EXPECT_EQ(stationPlace().y, 0);
}

// One second at any roll, the station 100 pixels right of the sight: a drift
// readout of 1.00 slides it 50 pixels (vX left, vY down); from rest, A, D, W
// and S move it 30 pixels right, left, down and up and change vX or vY by
// 1.20; Up and Down change vZ by 1.20; Right and Left change wZ by 6.00 and
// turn the picture 3 degrees, counter-clockwise and clockwise.
TEST(PilotsGuide, WhatDriftAndOneSecondOfEachThrusterDo) {
    // The key (none: a drift of 1.00 on the readout instead), the readout and
    // what it shows after a second, how far the station moved and turned.
    const std::tuple<SDLKey, int, const char*, int, int, float> effects[] = {
        {SDLK_UNKNOWN, KindVX, "vX   1.00", -50, 0, 0},
        {SDLK_UNKNOWN, KindVY, "vY   1.00", 0, 50, 0},
        {SDLK_a, KindVX, "vX   -1.20", 30, 0, 0},
        {SDLK_d, KindVX, "vX   1.20", -30, 0, 0},
        {SDLK_w, KindVY, "vY   1.20", 0, 30, 0},
        {SDLK_s, KindVY, "vY   -1.20", 0, -30, 0},
        {SDLK_UP, KindVZ, "vZ   1.20", 0, 0, 0},
        {SDLK_DOWN, KindVZ, "vZ   -1.20", 0, 0, 0},
        {SDLK_RIGHT, KindWZ, "wZ   6.00", 0, -5, 3},
        {SDLK_LEFT, KindWZ, "wZ   -6.00", 0, 5, -3}};
    for (const auto& [key, kind, text, moveX, moveY, turn] : effects) {
        for (const float roll : {0.0f, 250.0f}) {
            const bool drift = key == SDLK_UNKNOWN;
            fly(with(arrival(roll, drift && kind == KindVX, drift && kind == KindVY, 100, 0),
                     &S::distance, 20));
            const ScreenPoint before = stationPlace();
            const float angle = flightState().relativeRollAngle;
            applyKeyNow(key, true);
            advanceMotion(1000);
            applyKeyNow(key, false);
            EXPECT_EQ(readoutText(kind), text) << roll;
            EXPECT_NEAR(stationPlace().x - before.x, moveX, 1) << text << roll;
            EXPECT_NEAR(stationPlace().y - before.y, moveY, 1) << text << roll;
            EXPECT_NEAR(flightState().relativeRollAngle - angle, turn, 0.001) << text << roll;
        }
    }
    // The winged station at wZ 0 turns counter-clockwise, 10 degrees a second.
    fly(turning(0, 100));
    advanceRelativeRoll(1000);
    EXPECT_NEAR(flightState().relativeRollAngle, 190, 0.001);
}

// The guide's taps, 17 to 33 ms of thrust: a lateral tap changes vX or vY by
// 0.02 to 0.04 (so the station slides 1 to 2 pixels a second), a roll tap
// changes wZ by 0.10 to 0.20, at any roll; the same tap of the opposite key
// stops it again.
TEST(PilotsGuide, AShortTapAndItsStop) {
    for (const float roll : {0.0f, 200.0f}) {
        for (const Uint32 tapMs : {17u, 33u}) {
            for (const auto& [key, back, kind, low, high] :
                 {std::make_tuple(SDLK_a, SDLK_d, KindVX, -0.04, -0.02),
                  std::make_tuple(SDLK_RIGHT, SDLK_LEFT, KindWZ, 0.10, 0.20)}) {
                fly(with(arrival(roll), &S::distance, 10));
                applyKeyNow(key, true);
                advanceMotion(tapMs);
                applyKeyNow(key, false);
                const double change = shown(kind);
                EXPECT_TRUE(change >= low && change <= high) << roll << " " << tapMs << change;
                applyKeyNow(back, true);
                advanceMotion(tapMs);
                applyKeyNow(back, false);
                EXPECT_LT(std::fabs(shown(kind)), 0.005) << roll << " " << tapMs;
            }
        }
    }
}

// The sight's cross reaches 46 pixels out from its centre, which lies between
// four pixels: the 46th pixel out is drawn, the 48th is not.
TEST(PilotsGuide, TheSightsCrossReachesFortySixPixels) {
    SDL_Surface* sight = IMG_Load("crosshairs.png");
    ASSERT_NE(sight, nullptr);
    const int x = sight->w / 2;
    const int y = sight->h / 2;
    const Rgb clear = {255, 255, 255};
    for (const int k : {45, -46, 47, -48}) {
        const bool drawn = std::abs(k) <= 46;
        EXPECT_EQ(
            std::make_pair(pixelAt(sight, x + k, y) == clear, pixelAt(sight, x, y + k) == clear),
            std::make_pair(!drawn, !drawn))
            << k;
    }
    SDL_FreeSurface(sight);
}

}  // namespace
