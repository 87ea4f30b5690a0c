// The pilot's guide (README and man page) in numbers: every limit it gives in
// the readouts' own units holds just inside and fails just outside against the
// game's own judgement, so that the manual cannot drift from the game. The
// signs of the keys and the search it teaches for a station out of view are
// flown with the game's own motion.
#include <SDL/SDL_image.h>

#include <iostream>
#include <random>
#include <vector>

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

// The worked example: the winged station, its centre 9 pixels right of the
// sight, the arrow 3 degrees off, vX 0.20, vY 0.00, vZ 0.60 and wZ -9.00.
FlightState workedExample(float velocityZ) {
    FlightState state = turning(-90, 100, arrival(0, 0.20, 0, 9, 0));
    state.relativeRollAngle = 183;
    state.velocityZ = velocityZ;
    return state;
}

TEST(PilotsGuide, EveryLimitHoldsJustInsideAndFailsJustOutside) {
    // Each limit holds, but together they leave less than a point.
    FlightState edges = turning(49, 0, arrival(180, 0, 0, 44, 44));
    edges.relativeRollAngle = 166;
    edges.velocityX = edges.velocityY = edges.velocityZ = 49;
    constexpr int docks = -1;
    // The rule, the state, the readout that shows it (or -1) and what it
    // shows, and the score (docks: any above 0).
    const std::tuple<const char*, FlightState, int, const char*, int> limits[] = {
        {"vZ 0.99", with(arrival(), &S::velocityZ, 49.7f), KindVZ, "vZ   0.99", docks},
        {"vZ 1.01", with(arrival(), &S::velocityZ, 50.3f), KindVZ, "vZ   1.01", 0},
        // Each fixed axis allows 1.00, so 1.01 along one fails, and 0.71 on
        // both fails when the craft's axes lie diagonally.
        {"vX 1.01", arrival(180, 1.01, 0), KindVX, "vX   1.01", 0},
        {"vY -1.01", arrival(180, 0, -1.01), KindVY, "vY   -1.01", 0},
        {"vX, vY 0.71 at roll 225", arrival(225, 0.71, 0.71), KindVX, "vX   0.71", 0},
        {"ring", turning(49.9f, 0), KindWZ, "wZ   4.99", docks},
        {"ring", turning(50, 0), KindWZ, "wZ   5.00", 0},
        {"ring", turning(-49.9f, 0), KindWZ, "wZ   -4.99", docks},
        {"ring", turning(-50, 0), KindWZ, "wZ   -5.00", 0},
        {"winged", turning(-50.1f, 100), KindWZ, "wZ   -5.01", docks},
        {"winged", turning(-50, 100), KindWZ, "wZ   -5.00", 0},
        {"winged", turning(-100, 100), KindWZ, "wZ   -10.00", docks},
        {"winged", turning(-149.9f, 100), KindWZ, "wZ   -14.99", docks},
        {"winged", turning(-150, 100), KindWZ, "wZ   -15.00", 0},
        {"winged", turning(0, 100), KindWZ, "wZ   0.00", 0},
        {"45 px off", with(arrival(), &S::offsetX, 45), -1, "", 0},
        {"44.9 px off", with(arrival(), &S::offsetY, -44.9f), -1, "", docks},
        {"roll 166", with(arrival(), &S::relativeRollAngle, 166), -1, "", docks},
        {"roll 165.9", with(arrival(), &S::relativeRollAngle, 165.9f), -1, "", 0},
        {"roll 194.9", with(arrival(), &S::relativeRollAngle, 194.9f), -1, "", docks},
        {"roll 195", with(arrival(), &S::relativeRollAngle, 195), -1, "", 0},
        {"roll -166", with(arrival(), &S::relativeRollAngle, -166), -1, "", docks},
        {"roll 540 + 14", with(arrival(), &S::relativeRollAngle, 554), -1, "", docks},
        {"roll 540 + 15", with(arrival(), &S::relativeRollAngle, 555), -1, "", 0},
        {"all near their edges", edges, -1, "", 0},
        {"perfect", arrival(), -1, "", 18984},
        {"example", workedExample(30), KindVX, "vX   0.20", 3110},
        {"example", workedExample(30), KindVY, "vY   0.00", 3110},
        {"example", workedExample(30), KindVZ, "vZ   0.60", 3110},
        {"example", workedExample(30), KindWZ, "wZ   -9.00", 3110},
        {"example at vZ 0.30", workedExample(15), KindVZ, "vZ   0.30", 5443}};
    for (const auto& [rule, state, kind, shown, score] : limits) {
        fly(state);
        if (kind >= 0) {
            EXPECT_EQ(readoutText(kind), shown) << rule;
        }
        EXPECT_TRUE(score == docks ? assessDocking() > 0 : assessDocking() == score)
            << rule << " " << shown << ": " << assessDocking();
    }
    fly(workedExample(30));
    EXPECT_EQ(stationPlace().x, 9);
    EXPECT_EQ(stationPlace().y, 0);
}

// Whatever the roll, each safe limit docks on its own: both drift readouts at
// 0.70 (turning keeps the drift's length, and 0.705 x 1.414 is under 1.00),
// the station's centre anywhere within 45 pixels of the sight, and 14 degrees
// off upside down.
TEST(PilotsGuide, EachSafeLimitHoldsAtAnyRoll) {
    for (int roll = -360; roll <= 720; roll += 15) {
        for (int direction = 0; direction < 360; direction += 45) {
            const double c = std::cos(direction * M_PI / 180);
            const double n = std::sin(direction * M_PI / 180);
            const auto r = static_cast<float>(roll);
            const FlightState off = arrival(r, 0, 0, 44.9 * c, 44.9 * n);
            const FlightState turned =
                with(arrival(r), &S::relativeRollAngle,
                     static_cast<float>(roll / 360 * 360 + (c > 0 ? 194 : 166)));
            for (const FlightState& state :
                 {turned, off,
                  arrival(r, c > 0 ? 0.70499 : -0.70499, n > 0 ? 0.70499 : -0.70499)}) {
                fly(state);
                EXPECT_GT(assessDocking(), 0) << "roll " << roll << " direction " << direction;
            }
            EXPECT_EQ(std::fabs(std::stof(readoutText(KindVX).substr(5))), 0.70f) << roll;
            EXPECT_EQ(std::fabs(std::stof(readoutText(KindVY).substr(5))), 0.70f) << roll;
            fly(off);
            EXPECT_LT(std::hypot(stationPlace().x, stationPlace().y), 46.0);
        }
    }
}

// The red label: 950 at the start, 0 at the station when centred, with a trace
// of the offset, falling by 2.5 x vZ each second; braking from vZ 5.00 to 0.90
// takes 3.4 s and 25 of it.
TEST(PilotsGuide, TheRedLabelCountsDownToTheStation) {
    resetApproach();
    EXPECT_EQ(readoutText(KindDistance).substr(0, 5), "`950.");
    fly(arrival());
    EXPECT_EQ(readoutText(KindDistance), "`0.00");
    fly(arrival(0, 0, 0, 150, -200));  // 3 and 4 in fiftieths
    EXPECT_EQ(readoutText(KindDistance), "`5.00");
    const FlightState far = with(arrival(), &S::distance, 20);
    fly(with(far, &S::velocityZ, 40));  // vZ 0.80
    advanceDistance(1000);
    EXPECT_EQ(readoutText(KindDistance), "`948.00");

    fly(with(far, &S::velocityZ, 250));
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

// One second at any roll, the station 100 pixels right of the sight: a drift
// readout of 1.00 slides it 50 pixels (vX left, vY down); from rest, A, D, W
// and S move it 30 pixels right, left, down and up and change vX or vY by
// 1.20; Up and Down change vZ by 1.20; Right and Left change wZ by 6.00 and
// turn the picture 3 degrees, counter-clockwise and clockwise: the station
// goes round the sight (5 pixels up or down here) and turns on itself.
TEST(PilotsGuide, WhatDriftAndOneSecondOfEachThrusterDo) {
    // The key (none: a drift of 1.00 on the readout instead), the readout and
    // what it shows after a second, how far the station moved and turned
    // (counter-clockwise).
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
    for (const auto& [key, kind, shown, moveX, moveY, turn] : effects) {
        for (const float roll : {0.0f, 90.0f, 180.0f, 250.0f}) {
            const bool drift = key == SDLK_UNKNOWN;
            fly(with(arrival(roll, drift && kind == KindVX, drift && kind == KindVY, 100, 0),
                     &S::distance, 20));
            const ScreenPoint before = stationPlace();
            const float angle = flightState().relativeRollAngle;
            applyKeyNow(key, true);
            advanceMotion(1000);
            applyKeyNow(key, false);
            EXPECT_EQ(readoutText(kind), shown) << shown << " roll " << roll;
            EXPECT_NEAR(stationPlace().x - before.x, moveX, 1) << shown << roll;
            EXPECT_NEAR(stationPlace().y - before.y, moveY, 1) << shown << roll;
            EXPECT_NEAR(flightState().relativeRollAngle - angle, turn, 0.001) << shown << roll;
        }
    }
    // The winged station at wZ 0 turns counter-clockwise, 10 degrees a second.
    fly(turning(0, 100));
    advanceRelativeRoll(1000);
    EXPECT_NEAR(flightState().relativeRollAngle, 190, 0.001);
}

// Whether the station's centre is in the viewport, or no more than margin
// pixels beyond an edge.
bool inView(ScreenPoint place, int margin = 0) {
    return place.x >= viewportLeft - viewportCentreX - margin &&
           place.x < viewportLeft + viewportWidth - viewportCentreX + margin &&
           place.y >= viewportTop - viewportCentreY - margin &&
           place.y < viewportTop + viewportHeight - viewportCentreY + margin;
}

double shown(int kind) {
    return std::stod(readoutText(kind).substr(5));
}

// A pilot's hand on one pair of keys: it holds the key that brings the
// readout towards the goal and lets go once the readout shows the goal or has
// passed it; an exact hand then taps back until it shows the goal.
struct Hand {
    SDLKey raise;
    SDLKey lower;
    int kind;
    double goal;
    int held = 0;  // +1 raise, -1 lower
    bool done = false;
    bool exact = false;  // taps back until the readout shows the goal
    // Holds the raising (+1) or lowering (-1) key, or neither (0).
    void hold(int want) {
        if (want != held && held != 0) {
            applyKeyNow(held > 0 ? raise : lower, false);
        }
        if (want != held && want != 0) {
            applyKeyNow(want > 0 ? raise : lower, true);
        }
        held = want;
    }
    void act() {
        if (!done || exact) {
            const double gap = goal - shown(kind);
            done = std::fabs(gap) < 0.005 || gap * held < 0;
            hold(done ? 0 : gap > 0 ? 1 : -1);
        }
    }
    // Lets go of the key held and takes the new goal.
    void aimAt(double newGoal) {
        hold(0);
        done = false;
        exact = true;
        goal = newGoal;
    }
    bool showsGoal() const { return done && std::fabs(goal - shown(kind)) < 0.005; }
};

// The start that the game draws from seed, at the ring station for even
// seeds and the winged one for odd.
void drawnStart(unsigned seed) {
    media.stationSpin = seed % 2 == 0 ? 0 : 100;
    std::srand(seed);
    resetApproach();
    fly(flightState());
}

// One frame, 5 to 20 ms long as the clock draws it; its length.
int flyFrame(std::mt19937& frameClock) {
    std::uniform_int_distribution<Uint32> frameLength(5, 20);
    const Uint32 frameMs = frameLength(frameClock);
    advanceMotion(frameMs);
    return static_cast<int>(frameMs);
}

// Re-centring while closing: one short tap of a lateral key, a frame of 17 to
// 33 ms of thrust, changes vX or vY by 0.02 to 0.04, and the station then
// slides 1 to 2 pixels a second that way, 10 to 20 pixels in ten seconds, at
// any roll; a tap of the opposite key stops it again.
TEST(PilotsGuide, AShortTapMovesTheStationOneOrTwoPixelsASecond) {
    for (const float roll : {0.0f, 90.0f, 200.0f}) {
        for (const Uint32 tapMs : {17u, 33u}) {
            fly(with(arrival(roll), &S::distance, 10));
            const ScreenPoint start = stationPlace();
            applyKeyNow(SDLK_a, true);
            advanceMotion(tapMs);
            applyKeyNow(SDLK_a, false);
            const double change = -shown(KindVX);
            EXPECT_TRUE(change >= 0.02 && change <= 0.04) << roll << " " << tapMs << ": " << change;
            for (int ms = 0; ms < 10000; ms += 10) {
                advanceMotion(10);
            }
            const int moved = stationPlace().x - start.x;
            EXPECT_NEAR(moved, 50 * 10 * change, 1) << roll << " " << tapMs;
            EXPECT_TRUE(moved >= 10 && moved <= 20) << roll << " " << tapMs << ": " << moved;
            EXPECT_NEAR(stationPlace().y, start.y, 1) << roll << " " << tapMs;
            applyKeyNow(SDLK_d, true);
            advanceMotion(tapMs);
            applyKeyNow(SDLK_d, false);
            EXPECT_LT(std::fabs(shown(KindVX)), 0.005) << roll << " " << tapMs;
        }
    }
}

// Where the station starts and the guide's search for it when it is out of
// view, flown from the readouts: stop the drift (vX and vY to 0.00), then hold
// the Left arrow until wZ reads -10.00, so that the station circles the sight
// clockwise. From every drawn start out of view it comes into view within the
// guide's 15 seconds: its centre within 10 pixels beyond an edge, where the
// ring (some 17 pixels from the centre at the start) shows at the least.
TEST(PilotsGuide, AStationOutOfViewIsFoundWithinFifteenSeconds) {
    std::mt19937 frameClock(20261208);
    int lost = 0;
    int longestMs = 0;
    for (unsigned seed = 1; seed <= 2000; ++seed) {
        drawnStart(seed);
        const ScreenPoint start = stationPlace();
        ASSERT_LE(std::hypot(start.x, start.y), 282) << seed;
        if (inView(start)) {
            continue;
        }
        // Above or below, at most 132 pixels beyond the edge, or at most 12
        // beyond the left or right edge.
        const bool aboveOrBelow = std::abs(start.y) > 150;
        EXPECT_LE(aboveOrBelow ? std::abs(start.y) - 150 : std::abs(start.x) - 270,
                  aboveOrBelow ? 132 : 12);
        ++lost;
        // The drift starts at most 0.98 along each fixed axis, so at most 1.39
        // on each readout, and wZ at 0.00 to 4.90.
        EXPECT_LE(std::fabs(shown(KindVX)), 1.39);
        EXPECT_LE(std::fabs(shown(KindVY)), 1.39);
        EXPECT_TRUE(shown(KindWZ) >= 0 && shown(KindWZ) <= 4.90);
        Hand vX = {SDLK_d, SDLK_a, KindVX, 0};
        Hand vY = {SDLK_w, SDLK_s, KindVY, 0};
        Hand wZ = {SDLK_RIGHT, SDLK_LEFT, KindWZ, -10};
        int ms = 0;
        while (ms < 60000 && !inView(stationPlace(), 10)) {
            vX.act();
            vY.act();
            if (vX.done && vY.done) {
                // Stopped at once, within 310 pixels of the sight.
                if (wZ.held == 0 && !wZ.done) {
                    EXPECT_LE(std::hypot(stationPlace().x, stationPlace().y), 310) << seed;
                }
                wZ.act();
            }
            ms += flyFrame(frameClock);
        }
        EXPECT_LT(ms, 15000) << "seed " << seed;
        longestMs = std::max(longestMs, ms);
    }
    media.stationSpin = 0;
    // The window reaches 270 pixels left and right of the sight and 150 up
    // and down; its corners lie 309 pixels from it.
    EXPECT_TRUE(inView({-270, -150}) && inView({269, 149}) && !inView({-271, 0}) &&
                !inView({270, 0}) && !inView({0, -151}) && !inView({0, 150}));
    EXPECT_EQ(std::lround(std::hypot(viewportWidth / 2, viewportHeight / 2)), 309);
    // Stopping a roll of wZ -10.00 with the Right arrow turns the picture on by
    // about 8 degrees.
    fly(turning(-100, 0));
    Hand stop = {SDLK_RIGHT, SDLK_LEFT, KindWZ, 0};
    for (int frame = 0; frame < 1000 && !stop.done; ++frame) {
        stop.act();
        advanceRoll(10);
    }
    EXPECT_NEAR(flightState().rollAngle, 180 - 8, 0.5);
    std::cout << "Found the station from " << lost << " starts out of view, within " << longestMs
              << " ms at most\n";
}

// How the guide's way back to a station lost far out went: the time until
// the station showed (or the limit), and whether it took the second reversal.
struct WayBack {
    int ms;
    bool reversedAgain;
};

// The guide's way back, flown from the readouts alone. A drift of more than
// 0.05 on vX or vY: hold the Left arrow until wZ reads -10.00 and keep it until
// vY, having read smaller than vX, reads larger (signs aside); stop the roll
// (wZ 0.00); reverse the drift (vX and vY each to the opposite of what it then
// reads) and wait. A smaller drift: stop the roll, reverse the drift, then
// roll at wZ -10.00. Two minutes after the reversal without the station,
// reverse the drift again and stop closing (vZ 0.00).
WayBack flyBackToTheStation(std::mt19937& frameClock, int limitMs) {
    const bool small = std::fabs(shown(KindVX)) <= 0.05 && std::fabs(shown(KindVY)) <= 0.05;
    Hand roll = {SDLK_RIGHT, SDLK_LEFT, KindWZ, -10};
    Hand vX = {SDLK_d, SDLK_a, KindVX, 0};
    Hand vY = {SDLK_w, SDLK_s, KindVY, 0};
    Hand vZ = {SDLK_UP, SDLK_DOWN, KindVZ, 0};
    enum { Rolling, Stopping, Reversing, Waiting, ReversingAgain } step = Rolling;
    if (small) {
        roll.aimAt(0);
        step = Stopping;
    }
    const auto reverse = [&] {
        vX.aimAt(-shown(KindVX));
        vY.aimAt(-shown(KindVY));
    };
    bool smaller = false;
    int reversedAt = 0;
    int ms = 0;
    for (; ms < limitMs && !inView(stationPlace(), 10); ms += flyFrame(frameClock)) {
        if (step < Waiting || small) {
            roll.act();
        }
        if (step == Rolling) {
            const double x = std::fabs(shown(KindVX));
            const double y = std::fabs(shown(KindVY));
            if (smaller && y > x) {
                roll.aimAt(0);
                step = Stopping;
            }
            smaller = smaller || y < x;
        } else if (step == Stopping && roll.showsGoal()) {
            reverse();
            step = Reversing;
        } else if (step == Reversing) {
            vX.act();
            vY.act();
            if (vX.showsGoal() && vY.showsGoal()) {
                roll.aimAt(-10);
                roll.exact = false;
                reversedAt = ms;
                step = Waiting;
            }
        } else if (step == Waiting && ms - reversedAt > 120000) {
            reverse();
            vZ.aimAt(0);
            step = ReversingAgain;
        } else if (step == ReversingAgain) {
            vX.act();
            vY.act();
            vZ.act();
        }
    }
    return {ms, step == ReversingAgain};
}

// From drawn starts left to drift unattended for 10 to 60 seconds, every
// station out of view comes back into view by the guide's way back, long
// before the approach ends: its path crosses the window on a slant, where the
// window is widest. The longest time and the spread go to the guide. A
// station that was still on its way in when the search began (here one above
// the window, drifting towards it at 0.11 on the readouts) is brought back by
// the second reversal, with the approach stopped.
TEST(PilotsGuide, AStationLostFarOutComesBack) {
    std::mt19937 frameClock(20261209);
    std::uniform_int_distribution<int> driftTime(10000, 60000);
    std::vector<int> times;
    float nearest = 20;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        drawnStart(seed);
        for (int ms = 0, drift = driftTime(frameClock); ms < drift;) {
            ms += flyFrame(frameClock);
        }
        if (inView(stationPlace(), 10)) {
            continue;
        }
        const WayBack back = flyBackToTheStation(frameClock, 600000);
        EXPECT_LT(back.ms, 125000) << "seed " << seed;
        times.push_back(back.ms);
        nearest = std::min(nearest, flightState().distance);
    }
    media.stationSpin = 0;
    std::sort(times.begin(), times.end());
    ASSERT_GT(times.size(), 900u);
    EXPECT_GT(50 * (nearest - 1), 500);
    std::cout << "Brought back " << times.size() << " stations lost far out: half within "
              << times[times.size() / 2] << " ms, 90% within " << times[times.size() * 9 / 10]
              << " ms, all within " << times.back() << " ms; the label at " << 50 * (nearest - 1)
              << " at the least\n";

    FlightState onItsWay = turning(0, 0, arrival(0, -0.08, 0.072, 0, -250));
    onItsWay.distance = 18;
    onItsWay.velocityZ = 49;
    fly(onItsWay);
    ASSERT_FALSE(inView(stationPlace(), 10));
    const WayBack back = flyBackToTheStation(frameClock, 600000);
    EXPECT_TRUE(back.reversedAgain);
    EXPECT_LT(back.ms, 300000);
    EXPECT_GT(flightState().distance, 1.5);
    std::cout << "From its way in, within " << back.ms << " ms\n";
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
