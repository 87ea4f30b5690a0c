// States that long or odd approaches reach: offsets far off the screen,
// distances around 0 and 1 and far behind the station, huge speeds and
// angles, infinite and NaN scales, frame times up to the tick counter's wrap.
// Real frames with the real media, under the sanitizers: the arrival test, the
// Flying frame, the docked and crashed screens and now and then a restart. No
// frame may make a surface larger than the scene's bounds, and the judgement
// must stay in its range. A fixed seed makes a failure repeat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "flight/docking.h"
#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"

namespace {

constexpr float inf = INFINITY;
const auto below = [](float x) { return std::nextafter(x, 0.0f); };
const auto above = [](float x) { return std::nextafter(x, inf); };

// Edges of each kind of value, drawn with either sign.
using Specials = std::vector<float>;
const Specials offsets = {0,    0.5f, 44.9f, 45,      1e3f, 3e4f, 7e4f,
                          1e6f, 1e9f, 1e30f, FLT_MAX, inf,  NAN};
const Specials distances = {0,        FLT_MIN,  above(0), 1e-7f, 0.0016f, 0.0023f, below(1), 1,
                            above(1), above(2), below(4), 4,     20,      1e6f,    inf,      NAN};
const Specials rates = {0, 49.9f, 50, 1e4f, 1e9f, 1e30f, FLT_MAX, inf, NAN};
const Specials angles = {0, 45, 90, 180, 180.5f, 540.5f, 1.7e7f, 2.2e9f, 1e30f, FLT_MAX, inf, NAN};
const Specials scales = {0,        below(0.25f), 0.25f, below(0.5f), 0.5f,    below(1), 1,
                         above(1), 437,          618,   1e9f,        FLT_MAX, inf,      NAN};

std::mt19937 rng(8675309);
bool everyday = false;  // a case of everyday values only, so the station is often in view

int draw(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// A special, an everyday value up to usual, or a log-uniform magnitude up to largest.
float extreme(const Specials& specials, float usual, float largest) {
    const int regime = everyday ? 1 : draw(0, 2);
    const float sign = draw(0, 1) == 0 ? 1.0f : -1.0f;
    const double exponent = std::uniform_real_distribution<double>(-6, std::log10(largest))(rng);
    return regime == 0 ? sign * specials[draw(0, static_cast<int>(specials.size()) - 1)]
           : regime == 1
               ? std::uniform_real_distribution<float>(-usual, usual)(rng)
               : sign * static_cast<float>(std::min(std::pow(10.0, exponent), double{largest}));
}

Uint32 extremeFrameMs() {
    const Uint32 specials[] = {0, 1, 60, 65535, 2147483647u, 2147483648u, 4294967294u, 4294967295u};
    const int regime = everyday ? 1 : draw(0, 2);
    return regime == 0   ? specials[draw(0, 7)]
           : regime == 1 ? static_cast<Uint32>(draw(0, 100))
                         : std::uniform_int_distribution<Uint32>()(rng);
}

// The cached cosine and sine as a roll step leaves them, as before the first
// step, or anything in their range.
void cacheRoll(float angle, float& cosine, float& sine) {
    const int kind = draw(0, 3);
    const double radians = angle * 3.14159265 / 180.0;
    std::uniform_real_distribution<float> unit(-1, 1);
    cosine = kind < 2 ? static_cast<float>(std::cos(radians)) : kind == 2 ? 0 : unit(rng);
    sine = kind < 2 ? static_cast<float>(std::sin(radians)) : kind == 2 ? 0 : unit(rng);
}

FlightState extremeState() {
    everyday = draw(0, 2) == 0;
    FlightState s;
    for (int FlightState::*thrust : {&FlightState::thrustX, &FlightState::thrustY,
                                     &FlightState::thrustZ, &FlightState::thrustRoll}) {
        s.*thrust = 60 * draw(-1, 1);
    }
    for (float FlightState::*rate :
         {&FlightState::velocityX, &FlightState::velocityY, &FlightState::velocityZ,
          &FlightState::rollRate, &FlightState::relativeRollRate}) {
        s.*rate = extreme(rates, 100, FLT_MAX);
    }
    s.offsetX = extreme(offsets, 300, 1e9f);
    s.offsetY = extreme(offsets, 300, 1e9f);
    s.distance = extreme(distances, 20, 1e6f);
    s.rollAngle = extreme(angles, 720, FLT_MAX);
    s.relativeRollAngle = extreme(angles, 720, FLT_MAX);
    cacheRoll(s.rollAngle, s.rollCos, s.rollSin);
    cacheRoll(s.relativeRollAngle, s.relativeRollCos, s.relativeRollSin);
    return s;
}

bool withinTolerances(const FlightState& s) {
    return std::fabs(s.offsetX) < 45 && std::fabs(s.offsetY) < 45 &&
           rollAlignmentError(s.relativeRollAngle) < 15 && std::fabs(s.velocityX) < 50 &&
           std::fabs(s.velocityY) < 50 && std::fabs(s.velocityZ) < 50 &&
           std::fabs(s.relativeRollRate) < 50;
}

TEST(ExtremeStates, RealFrames) {
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 99));
    int arrivals = 0;
    for (int i = 0; i < 1500 && !HasFailure(); ++i) {
        setFlightState(extremeState());
        const int phase = draw(0, 99);
        loop.approachPhase = phase < 70 ? Flying : phase < 85 ? Docked : Crashed;
        loop.approachScale = extreme(scales, 5, FLT_MAX);
        loop.frameMs = extremeFrameMs();
        loop.pollResult = draw(0, 99) < 3 ? pollTryAgain : pollNothing;
        loop.points = 0;
        SCOPED_TRACE(testing::Message() << "case " << i << ", phase " << loop.approachPhase
                                        << ", scale " << loop.approachScale);
        const int score = assessDocking();
        const int alignment = rollAlignmentError(flightState().relativeRollAngle);
        EXPECT_TRUE(score >= 0 && score <= 18984 && (score == 0 || withinTolerances(flightState())))
            << score;
        EXPECT_TRUE(alignment >= 0 && alignment <= 180) << alignment;
        const bool arrives = loop.approachPhase == Flying && loop.approachScale >= 1.0f &&
                             loop.pollResult != pollTryAgain;
        resetLargestSceneSurfaces();
        runFrameWork(loop);
        SDL_Flip(media.screen);
        if (arrives) {
            ++arrivals;
            EXPECT_EQ(loop.approachPhase, score > 0 ? Docked : Crashed);
            EXPECT_EQ(loop.points, score);
        }
        const SceneSurfaces made = largestSceneSurfaces();
        EXPECT_LE(std::max(made.largestTurned.width, made.largestTurned.height), maxTurnedSide);
        EXPECT_LE(std::max(made.largestCrop.width, made.largestCrop.height), maxCropSide);
    }
    EXPECT_GT(arrivals, 0);
    shutdownGame();
}

}  // namespace
