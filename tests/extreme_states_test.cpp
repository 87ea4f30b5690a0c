// States that long or odd approaches reach: offsets far off the screen,
// distances around 0 and 1 and far behind the station, huge speeds and
// angles, infinite and NaN scales, frame times up to the tick counter's wrap.
// From any of them the motion, the judgement, the readouts, the scene and the
// outcome screens must stay defined (the sanitizers watch every step) and no
// frame may make a surface larger than the scene's bounds. The cases are drawn
// from a fixed seed, so a failure repeats.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "cockpit/readouts.h"
#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"

namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

// Edges and specials of each kind of value; the rest are drawn log-uniform.
const std::vector<float> offsetSpecials = {0,     -0.0f, 0.5f,   -0.5f,   44.9f, -45,   1e3f,
                                           -1e3f, 3e4f,  -4e4f,  7e4f,    1e6f,  -1e6f, 1e9f,
                                           -1e9f, 1e30f, -1e30f, FLT_MAX, inf,   -inf,  nan};
const std::vector<float> distanceSpecials = {0,
                                             -0.0f,
                                             FLT_MIN,
                                             -FLT_MIN,
                                             std::nextafter(0.0f, 1.0f),
                                             std::nextafter(0.0f, -1.0f),
                                             1e-7f,
                                             -1e-7f,
                                             std::nextafter(1.0f, 0.0f),
                                             1,
                                             std::nextafter(1.0f, 2.0f),
                                             std::nextafter(2.0f, 3.0f),
                                             std::nextafter(4.0f, 3.0f),
                                             4,
                                             0.0016f,
                                             0.0023f,
                                             20,
                                             -1,
                                             1e6f,
                                             -1e6f,
                                             inf,
                                             -inf,
                                             nan};
const std::vector<float> speedSpecials = {0,        49.9f, -49.9f, 50,    -50,    1e4f,
                                          -1e4f,    1e9f,  -1e9f,  1e30f, -1e30f, FLT_MAX,
                                          -FLT_MAX, inf,   -inf,   nan};
const std::vector<float> angleSpecials = {0,      180,     180.5f,   -180.5f, 45,     90,
                                          -90,    540.5f,  2.2e9f,   -2.2e9f, 1.7e7f, 1e30f,
                                          -1e30f, FLT_MAX, -FLT_MAX, inf,     -inf,   nan};
const std::vector<float> scaleSpecials = {0,
                                          -0.0f,
                                          std::nextafter(0.25f, 0.0f),
                                          0.25f,
                                          std::nextafter(0.5f, 0.0f),
                                          0.5f,
                                          std::nextafter(1.0f, 0.0f),
                                          1,
                                          std::nextafter(1.0f, 2.0f),
                                          437,
                                          618,
                                          1e9f,
                                          -1e9f,
                                          FLT_MAX,
                                          -FLT_MAX,
                                          inf,
                                          -inf,
                                          nan};
const std::vector<Uint32> frameSpecials = {0,     1,          10,         60,         1000,
                                           65535, 2147483647, 2147483648, 4294967294, 4294967295};

// A special value, a value of an everyday approach (up to usual, either
// sign), or a log-uniform magnitude up to largest, either sign. An everyday
// case draws only everyday values.
bool everyday = false;

float extremeValue(std::mt19937& rng, const std::vector<float>& specials, float usual,
                   float largest) {
    const int regime = everyday ? 3 : std::uniform_int_distribution<int>(0, 9)(rng);
    if (regime < 3) {
        return specials[std::uniform_int_distribution<std::size_t>(0, specials.size() - 1)(rng)];
    }
    if (regime < 6) {
        return std::uniform_real_distribution<float>(-usual, usual)(rng);
    }
    const double exponent = std::uniform_real_distribution<double>(-6.0, std::log10(largest))(rng);
    const double magnitude = std::min(std::pow(10.0, exponent), static_cast<double>(largest));
    return static_cast<float>(std::uniform_int_distribution<int>(0, 1)(rng) == 0 ? magnitude
                                                                                 : -magnitude);
}

Uint32 extremeFrameMs(std::mt19937& rng) {
    switch (everyday ? 1 : std::uniform_int_distribution<int>(0, 2)(rng)) {
        case 0:
            return frameSpecials[std::uniform_int_distribution<std::size_t>(
                0, frameSpecials.size() - 1)(rng)];
        case 1:
            return std::uniform_int_distribution<Uint32>(0, 100)(rng);
        default:
            return std::uniform_int_distribution<Uint32>(0, 4294967295u)(rng);
    }
}

// The cached cosine and sine as a roll step leaves them, as they are before
// the first step of an approach, or anything in their range.
void cacheRoll(std::mt19937& rng, float angle, float& cosine, float& sine) {
    switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
        case 0:
        case 1:
            cosine = static_cast<float>(std::cos(angle * 3.14159265 / 180.0));
            sine = static_cast<float>(std::sin(angle * 3.14159265 / 180.0));
            break;
        case 2:
            cosine = 0;
            sine = 0;
            break;
        default:
            cosine = std::uniform_real_distribution<float>(-1, 1)(rng);
            sine = std::uniform_real_distribution<float>(-1, 1)(rng);
            break;
    }
}

// Thrusts and lamps as the keys leave them; every motion value extreme.
FlightState extremeState(std::mt19937& rng) {
    std::uniform_int_distribution<int> thrust(-1, 1);
    std::uniform_int_distribution<int> lamp(0, 2);
    FlightState s;
    s.thrustX = 60 * thrust(rng);
    s.thrustY = 60 * thrust(rng);
    s.thrustZ = 60 * thrust(rng);
    s.thrustRoll = 60 * thrust(rng);
    s.firingCount = std::uniform_int_distribution<int>(0, 8)(rng);
    s.forwardLamp = lamp(rng);
    s.reverseLamp = lamp(rng);
    s.upperLeftLamp = lamp(rng);
    s.upperRightLamp = lamp(rng);
    s.lowerLeftLamp = lamp(rng);
    s.lowerRightLamp = lamp(rng);
    s.velocityX = extremeValue(rng, speedSpecials, 100, FLT_MAX);
    s.velocityY = extremeValue(rng, speedSpecials, 100, FLT_MAX);
    s.velocityZ = extremeValue(rng, speedSpecials, 100, FLT_MAX);
    s.offsetX = extremeValue(rng, offsetSpecials, 300, 1e9f);
    s.offsetY = extremeValue(rng, offsetSpecials, 300, 1e9f);
    s.distance = extremeValue(rng, distanceSpecials, 20, 1e6f);
    s.rollRate = extremeValue(rng, speedSpecials, 100, FLT_MAX);
    s.relativeRollRate = extremeValue(rng, speedSpecials, 100, FLT_MAX);
    s.rollAngle = extremeValue(rng, angleSpecials, 720, FLT_MAX);
    s.relativeRollAngle = extremeValue(rng, angleSpecials, 720, FLT_MAX);
    cacheRoll(rng, s.rollAngle, s.rollCos, s.rollSin);
    cacheRoll(rng, s.relativeRollAngle, s.relativeRollCos, s.relativeRollSin);
    return s;
}

// One case in three is an everyday one, so that the station is often in view.
void chooseRegime(std::mt19937& rng) {
    everyday = std::uniform_int_distribution<int>(0, 2)(rng) == 0;
}

bool sameValue(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool allFinite(std::initializer_list<float> values) {
    for (const float value : values) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}

bool withinTolerances(const FlightState& s) {
    return std::fabs(s.offsetX) < 45 && std::fabs(s.offsetY) < 45 &&
           rollAlignmentError(s.relativeRollAngle) < 15 && std::fabs(s.velocityX) < 50 &&
           std::fabs(s.velocityY) < 50 && std::fabs(s.velocityZ) < 50 &&
           std::fabs(s.relativeRollRate) < 50;
}

// A turned layer fits its bound; a crop fits its own, or lies within the
// picture (the low station level cuts a large picture to what it shows).
void expectBounded(const LayerPlan& plan, int pictureWidth, int pictureHeight) {
    if (!plan.drawn) {
        return;
    }
    EXPECT_GE(plan.turnedWidth, 1);
    EXPECT_GE(plan.turnedHeight, 1);
    EXPECT_LE(plan.turnedWidth, maxTurnedSide);
    EXPECT_LE(plan.turnedHeight, maxTurnedSide);
    EXPECT_GE(plan.crop.w, 1);
    EXPECT_GE(plan.crop.h, 1);
    if (plan.cropped) {
        EXPECT_LE(plan.crop.w, std::max(maxCropSide, pictureWidth));
        EXPECT_LE(plan.crop.h, std::max(maxCropSide, pictureHeight));
    } else {
        EXPECT_EQ(plan.crop.w, pictureWidth);
        EXPECT_EQ(plan.crop.h, pictureHeight);
    }
    // A drawn layer reaches the screen.
    EXPECT_LT(plan.x, 640);
    EXPECT_LT(plan.y, 480);
    EXPECT_GT(plan.x + plan.turnedWidth, 0);
    EXPECT_GT(plan.y + plan.turnedHeight, 0);
}

struct PictureSizes {
    int backgroundWidth, backgroundHeight, stationWidth, stationHeight;
};
// The game's own sizes, a tiny picture and one far larger than the view.
const PictureSizes pictureSizes[] = {
    {1600, 1200, 800, 800}, {1, 1, 1, 1}, {640, 480, 2000, 300}, {5000, 4000, 6000, 6000}};

// Every case moves one extreme state by one extreme frame time, judges it,
// formats its readouts and plans its scene.
TEST(ExtremeStates, MotionJudgementReadoutsAndScenePlans) {
    constexpr int cases = 40000;
    std::mt19937 rng(5318008);
    int drawnStations = 0;
    for (int i = 0; i < cases; ++i) {
        chooseRegime(rng);
        const FlightState start = extremeState(rng);
        const Uint32 frameMs = extremeFrameMs(rng);
        SCOPED_TRACE(testing::Message() << "case " << i << ", frameMs " << frameMs);
        setFlightState(start);
        const float approachScale = advanceDistance(frameMs);
        const float relativeRollAngle = advanceRelativeRoll(frameMs);
        const float rollAngle = advanceRoll(frameMs);
        const float offsetX = advanceOffsetX(frameMs);
        const float offsetY = advanceOffsetY(frameMs);
        const FlightState& s = flightState();

        EXPECT_EQ(std::isnan(approachScale), std::isnan(s.distance));
        // The cached roll is a cosine and a sine, or NaN for an angle past
        // every number.
        for (const float cached : {s.rollCos, s.rollSin, s.relativeRollCos, s.relativeRollSin}) {
            EXPECT_TRUE(std::isnan(cached) || std::fabs(cached) <= 1.0f) << cached;
        }
        if (frameMs == 0 &&
            allFinite({start.velocityX, start.velocityY, start.velocityZ, start.rollRate,
                       start.relativeRollRate, start.rollAngle, start.relativeRollAngle})) {
            // A frame shorter than a millisecond moves nothing.
            EXPECT_TRUE(sameValue(s.distance, start.distance));
            EXPECT_TRUE(sameValue(s.offsetX, start.offsetX));
            EXPECT_TRUE(sameValue(s.offsetY, start.offsetY));
            EXPECT_TRUE(sameValue(s.rollAngle, start.rollAngle));
        }

        const int score = assessDocking();
        EXPECT_GE(score, 0);
        EXPECT_LE(score, 18984);
        if (!withinTolerances(s)) {
            EXPECT_EQ(score, 0);
        }
        const int alignment = rollAlignmentError(s.relativeRollAngle);
        EXPECT_GE(alignment, 0);
        EXPECT_LE(alignment, 180);

        const std::string labels[] = {"vX   ", "vY   ", "vZ   ", "wZ   ", "`"};
        for (int kind = KindVX; kind <= KindDistance; ++kind) {
            const std::string text = readoutText(kind);
            EXPECT_EQ(text.rfind(labels[kind], 0), 0u) << text;
            // FLT_MAX in fixed notation is 39 digits, a sign and 3 decimals.
            EXPECT_LE(text.size(), labels[kind].size() + 44) << text;
        }

        const SceneInputs in = {approachScale,     relativeRollAngle, rollAngle, offsetX,  offsetY,
                                s.relativeRollCos, s.relativeRollSin, s.rollCos, s.rollSin};
        const PictureSizes& size = pictureSizes[i % 4];
        expectBounded(backgroundPlan(in, size.backgroundWidth, size.backgroundHeight),
                      size.backgroundWidth, size.backgroundHeight);
        const StationLook look = stationLook(approachScale, nullptr, nullptr, nullptr);
        const int levelDivisor = look.level == LevelLow ? 4 : look.level == LevelMedium ? 2 : 1;
        const int stationWidth = std::max(1, size.stationWidth / levelDivisor);
        const int stationHeight = std::max(1, size.stationHeight / levelDivisor);
        const LayerPlan stationLayer = stationPlan(in, look, stationWidth, stationHeight);
        expectBounded(stationLayer, stationWidth, stationHeight);
        drawnStations += stationLayer.drawn ? 1 : 0;
        expectBounded(dockedStationPlan(extremeValue(rng, scaleSpecials, 5, FLT_MAX),
                                        size.stationWidth, size.stationHeight),
                      size.stationWidth, size.stationHeight);
        if (HasFailure()) {
            break;
        }
    }
    expectBounded(dockedBackgroundPlan(1600, 1200), 1600, 1200);
    // Enough of the cases must show the station for the bounds to mean much.
    EXPECT_GT(drawnStations, cases / 20);
}

// The real frames from extreme states: the arrival test, the Flying frame
// with the real media, the docked and crashed screens and now and then a
// restart. Drawing costs far more than planning, so fewer cases run here.
TEST(ExtremeStates, RealFramesFromExtremeStates) {
    constexpr int cases = 1500;
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 99));
    std::mt19937 rng(8675309);
    std::uniform_int_distribution<int> percent(0, 99);
    int outcomes = 0;
    for (int i = 0; i < cases; ++i) {
        chooseRegime(rng);
        setFlightState(extremeState(rng));
        const int draw = percent(rng);
        loop.approachPhase = draw < 70 ? Flying : draw < 85 ? Docked : Crashed;
        loop.approachScale = extremeValue(rng, scaleSpecials, 5, FLT_MAX);
        loop.frameMs = extremeFrameMs(rng);
        loop.pollResult = percent(rng) < 3 ? pollTryAgain : pollNothing;
        loop.points = 0;
        SCOPED_TRACE(testing::Message()
                     << "case " << i << ", phase " << loop.approachPhase << ", scale "
                     << loop.approachScale << ", frameMs " << loop.frameMs);
        const bool arrives = loop.approachPhase == Flying && loop.approachScale >= 1.0f;
        const ApproachPhase judged = assessDocking() > 0 ? Docked : Crashed;
        resetLargestSceneSurfaces();
        runFrameWork(loop);
        SDL_Flip(media.screen);

        if (arrives) {
            ++outcomes;
            if (loop.pollResult != pollTryAgain) {
                EXPECT_EQ(loop.approachPhase, judged);
            }
            if (loop.approachPhase == Docked) {
                EXPECT_GE(loop.points, 1);
                EXPECT_LE(loop.points, 18984);
            }
        }
        const SceneSurfaces made = largestSceneSurfaces();
        EXPECT_LE(made.largestTurned.width, maxTurnedSide);
        EXPECT_LE(made.largestTurned.height, maxTurnedSide);
        EXPECT_LE(made.largestCrop.width, maxCropSide);
        EXPECT_LE(made.largestCrop.height, maxCropSide);
        EXPECT_EQ(media.screen->w, 640);
        if (HasFailure()) {
            break;
        }
    }
    EXPECT_GT(outcomes, 0);
    shutdownGame();
}

}  // namespace
