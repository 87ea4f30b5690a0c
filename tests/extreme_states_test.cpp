// States that long or odd approaches reach: offsets far off the screen,
// distances around 0 and 1 and far behind the station, huge speeds and
// angles, infinite and NaN scales, frame times up to the tick counter's wrap.
// The sanitizers watch every step; no plan or frame may make a surface larger
// than the scene's bounds. A fixed seed makes a failure repeat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"

namespace {

constexpr float inf = INFINITY;
constexpr float nan = NAN;
const auto below = [](float x) { return std::nextafter(x, 0.0f); };
const auto above = [](float x) { return std::nextafter(x, inf); };

// Edges of each kind of value, drawn with either sign.
using Specials = std::vector<float>;
const Specials offsets = {0,    0.5f, 44.9f, 45,      1e3f, 3e4f, 7e4f,
                          1e6f, 1e9f, 1e30f, FLT_MAX, inf,  nan};
const Specials distances = {0,        FLT_MIN,  above(0), 1e-7f, 0.0016f, 0.0023f, below(1), 1,
                            above(1), above(2), below(4), 4,     20,      1e6f,    inf,      nan};
const Specials rates = {0, 49.9f, 50, 1e4f, 1e9f, 1e30f, FLT_MAX, inf, nan};
const Specials angles = {0, 45, 90, 180, 180.5f, 540.5f, 1.7e7f, 2.2e9f, 1e30f, FLT_MAX, inf, nan};
const Specials scales = {0,        below(0.25f), 0.25f, below(0.5f), 0.5f,    below(1), 1,
                         above(1), 437,          618,   1e9f,        FLT_MAX, inf,      nan};

std::mt19937 rng;
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

// A drawn layer's turned surface and crop fit their bounds (a low level crop
// may be the whole picture) and it reaches the screen.
void expectBounded(const LayerPlan& p, int pictureWidth, int pictureHeight) {
    const int cropWidth = p.cropped ? std::max(maxCropSide, pictureWidth) : pictureWidth;
    const int cropHeight = p.cropped ? std::max(maxCropSide, pictureHeight) : pictureHeight;
    EXPECT_TRUE(!p.drawn || (std::min({p.turnedWidth, p.turnedHeight, +p.crop.w, +p.crop.h}) >= 1 &&
                             std::max(p.turnedWidth, p.turnedHeight) <= maxTurnedSide &&
                             p.crop.w <= cropWidth && p.crop.h <= cropHeight && p.x < 640 &&
                             p.y < 480 && p.x + p.turnedWidth > 0 && p.y + p.turnedHeight > 0))
        << "crop " << p.crop.w << "x" << p.crop.h << " of " << pictureWidth << "x" << pictureHeight
        << ", turned " << p.turnedWidth << "x" << p.turnedHeight << " at " << p.x << "," << p.y;
}

TEST(ExtremeStates, MotionJudgementAndScenePlans) {
    // The game's own sizes, a tiny picture and ones far larger than the view.
    const int sizes[][4] = {
        {1600, 1200, 800, 800}, {1, 1, 1, 1}, {640, 480, 2000, 300}, {5000, 4000, 6000, 6000}};
    constexpr int cases = 20000;
    rng.seed(5318008);
    int drawnStations = 0;
    for (int i = 0; i < cases && !HasFailure(); ++i) {
        setFlightState(extremeState());
        const Uint32 frameMs = extremeFrameMs();
        SCOPED_TRACE(testing::Message() << "case " << i << ", frameMs " << frameMs);
        const float approachScale = advanceDistance(frameMs);
        const float relativeRollAngle = advanceRelativeRoll(frameMs);
        const float rollAngle = advanceRoll(frameMs);
        const float offsetX = advanceOffsetX(frameMs);
        const float offsetY = advanceOffsetY(frameMs);
        const FlightState& s = flightState();
        const int score = assessDocking();
        EXPECT_TRUE(score >= 0 && score <= 18984 && (score == 0 || withinTolerances(s))) << score;
        const int alignment = rollAlignmentError(s.relativeRollAngle);
        EXPECT_TRUE(alignment >= 0 && alignment <= 180) << alignment;

        const SceneInputs in = {approachScale,     relativeRollAngle, rollAngle, offsetX,  offsetY,
                                s.relativeRollCos, s.relativeRollSin, s.rollCos, s.rollSin};
        const int* size = sizes[i % 4];
        expectBounded(backgroundPlan(in, size[0], size[1]), size[0], size[1]);
        const StationLook look = stationLook(approachScale, nullptr, nullptr, nullptr);
        const int divisor = look.level == LevelLow ? 4 : look.level == LevelMedium ? 2 : 1;
        const int width = std::max(1, size[2] / divisor);
        const int height = std::max(1, size[3] / divisor);
        const LayerPlan station = stationPlan(in, look, width, height);
        expectBounded(station, width, height);
        drawnStations += station.drawn ? 1 : 0;
        expectBounded(dockedStationPlan(extreme(scales, 5, FLT_MAX), size[2], size[3]), size[2],
                      size[3]);
    }
    EXPECT_GT(drawnStations, cases / 20);
}

// Real frames with the real media: the arrival test, the Flying frame, the
// docked and crashed screens and now and then a restart.
TEST(ExtremeStates, RealFrames) {
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 99));
    rng.seed(8675309);
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
        const bool arrives = loop.approachPhase == Flying && loop.approachScale >= 1.0f;
        const ApproachPhase judged = assessDocking() > 0 ? Docked : Crashed;
        resetLargestSceneSurfaces();
        runFrameWork(loop);
        SDL_Flip(media.screen);
        if (arrives && loop.pollResult != pollTryAgain) {
            ++arrivals;
            EXPECT_EQ(loop.approachPhase, judged);
            EXPECT_TRUE(judged == Crashed || (loop.points >= 1 && loop.points <= 18984));
        }
        const SceneSurfaces made = largestSceneSurfaces();
        EXPECT_LE(std::max(made.largestTurned.width, made.largestTurned.height), maxTurnedSide);
        EXPECT_LE(std::max(made.largestCrop.width, made.largestCrop.height), maxCropSide);
    }
    EXPECT_GT(arrivals, 0);
    shutdownGame();
}

}  // namespace
