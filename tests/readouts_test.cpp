#include "cockpit/readouts.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "flight/flight.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"
#include "view/surface.h"

namespace {

// A quotient of -0.001 keeps its sign; 0.005 rounds down as the float it is.
TEST(ReadoutText, FixedNotationWithTwoDecimals) {
    const std::tuple<int, float, const char*> cases[] = {{KindVX, 0.0f, "vX   0.00"},
                                                         {KindVY, -0.05f, "vY   -0.00"},
                                                         {KindVZ, 61725.0f, "vZ   1234.50"},
                                                         {KindWZ, -7.0f, "wZ   -0.70"},
                                                         {KindVZ, 0.25f, "vZ   0.00"},
                                                         {KindDistance, 1234.5f, "`1234.50"},
                                                         {5, 12.0f, ""},
                                                         {-1, 12.0f, ""}};
    for (const auto& [kind, value, text] : cases) {
        EXPECT_EQ(formatReadout(kind, value), text) << kind << " " << value;
    }
    FlightState state;
    state.rollRate = 45.0f;
    state.velocityZ = 25.0f;
    setFlightState(state);
    EXPECT_EQ(readoutText(KindWZ), "wZ   4.50");
    EXPECT_EQ(readoutText(KindVZ), "vZ   0.50");
    setFlightState(FlightState());
}

TEST(ReadoutLabel, FollowsTheStationTurnedByTheRoll) {
    // Offsets and the roll's cosine and sine; the label's place.
    const std::tuple<float, float, float, float, int, int> cases[] = {
        {0, 0, 1, 0, 320, 200},     {0, 0, 0.5f, 0.866f, 320, 200}, {0, 0, -1, 0, 320, 200},
        {10, 20, 1, 0, 330, 220},   {10, 0, 0, 1, 320, 190},        {0, 10, 0, 1, 330, 200},
        {-320.7f, 0, 1, 0, 0, 200}, {-321.5f, 0, 1, 0, -1, 200}};
    for (const auto& [offsetX, offsetY, rollCos, rollSin, x, y] : cases) {
        const ScreenPoint point = stationScreenPoint(offsetX, offsetY, rollCos, rollSin);
        EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(x, y))
            << offsetX << ", " << offsetY << " roll " << rollCos << ", " << rollSin;
    }
}

// Real SDL_ttf with the run directory's font, drawing on the dummy screen.
class ReadoutScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        openTestScreen();
        TTF_Init();
        media.readoutFont = TTF_OpenFont("00_Starmap_Truetype.ttf", 14);
    }

    static void TearDownTestSuite() {
        TTF_CloseFont(media.readoutFont);
        media.readoutFont = nullptr;
        TTF_Quit();
        closeTestScreen();
    }

    void SetUp() override {
        ASSERT_NE(media.readoutFont, nullptr);
        FlightState state;
        state.velocityZ = 61725.0f;
        state.rollCos = 0.5f;
        state.rollSin = 0.866f;
        state.offsetX = 40.0f;
        state.offsetY = -25.0f;
        setFlightState(state);
    }

    void TearDown() override { setFlightState(FlightState()); }
};

// Each drawing matches its readouts rendered in its colour at their places on
// a black screen, and shows that colour.
TEST_F(ReadoutScreen, ReadoutsAreGreenAndTheLabelRedAtTheirPlaces) {
    const ScreenPoint label = stationScreenPoint(40, -25, 0.5f, 0.866f);
    const std::tuple<void (*)(), SDL_Color, Rgb, std::vector<std::pair<int, ScreenPoint>>> cases[] =
        {{drawReadouts,
          textGreen,
          {40, 100, 50},
          {{KindVX, {415, 395}}, {KindVY, {415, 410}}, {KindVZ, {415, 425}}, {KindWZ, {415, 440}}}},
         {drawDistanceLabel, textRed, {255, 0, 0}, {{KindDistance, label}}}};
    for (const auto& [draw, colour, rgb, readouts] : cases) {
        SCOPED_TRACE(readouts.size());
        SDL_Surface* expected = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0, 0, 0, 0);
        for (const auto& [kind, place] : readouts) {
            SDL_Surface* text = renderReadout(kind, media.readoutFont, colour);
            applySurface(place.x, place.y, text, expected);
            SDL_FreeSurface(text);
        }
        fillSurface(media.screen, {0, 0, 0});
        draw();
        int differences = 0;
        int inColour = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const Rgb shown = pixelAt(media.screen, x, y);
                differences += shown == pixelAt(expected, x, y) ? 0 : 1;
                inColour += shown == rgb ? 1 : 0;
            }
        }
        EXPECT_EQ(differences, 0);
        EXPECT_GT(inColour, 0);
        SDL_FreeSurface(expected);
    }
}

TEST_F(ReadoutScreen, NoSurfaceOutlivesAFrame) {
    std::size_t before = 0;
    for (int frame = 0; frame < 200; ++frame) {
        // The first frames fill SDL_ttf's glyph cache.
        before = frame == 5 ? heapInUse() : before;
        drawDistanceLabel();
        drawReadouts();
    }
    EXPECT_LE(heapInUse(), before);
}

}  // namespace
