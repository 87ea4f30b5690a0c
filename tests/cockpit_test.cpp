// The cockpit: the clip tables, the handle, lamps, controls and ship icon, the
// readouts' texts and places, and both drawn on the dummy screen with the run
// directory's pictures and font.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cockpit/panel.h"
#include "cockpit/readouts.h"
#include "flight/flight.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"
#include "view/surface.h"

namespace {

TEST(Cockpit, ClipsHandleLampsAndControls) {
    setupClips();
    const std::pair<const SDL_Rect&, std::array<int, 4>> clips[] = {
        {controlsClips[0], {0, 0, 80, 80}},    {controlsClips[5], {160, 80, 80, 80}},
        {controlsClips[7], {80, 160, 80, 80}}, {shipClips[4], {100, 100, 100, 100}},
        {shipClips[8], {200, 200, 100, 100}},  {handleClips[2], {0, 40, 50, 20}}};
    for (const auto& [clip, rect] : clips) {
        EXPECT_EQ((std::array<int, 4>{clip.x, clip.y, clip.w, clip.h}), rect);
    }
    // Forward and reverse counters, the handle's height and the lit lamps: Up
    // and Down held together, counters adding to zero, no overflow in the sum.
    const std::array<int, 4> handles[] = {{0, 0, 410, 0},  {1, 0, 390, 1},
                                          {0, 1, 430, 1},  {1, 1, 390, 2},
                                          {1, -1, 410, 1}, {INT_MAX, INT_MAX, 390, 2}};
    for (const auto& [forward, reverse, height, lit] : handles) {
        EXPECT_EQ(handleHeight(forward, reverse), height) << forward << " " << reverse;
        EXPECT_EQ(litLamps({forward, reverse, 0, 0, 0, 0}).count, lit) << forward << " " << reverse;
    }
    const LampList lateral = litLamps({0, 0, 1, -1, 1, 2});
    ASSERT_EQ(lateral.count, 3);
    EXPECT_EQ(std::make_tuple(lateral.places[1].x, lateral.places[1].y, lateral.places[2].x),
              std::make_tuple(180, 450, 200));
    EXPECT_EQ(std::make_tuple(handlePicture(0), handlePicture(-30), handlePicture(30)),
              std::make_tuple(0, 1, 2));
    // Rows by thrustY, columns by thrustX: positive, zero, negative.
    const int signs[3] = {40, 0, -40};
    for (int cell = 0; cell < 9; ++cell) {
        EXPECT_EQ(controlsIndex(signs[cell % 3], signs[cell / 3]), cell);
    }
    EXPECT_EQ(controlsIndex(INT_MIN, INT_MAX), 2);
}

TEST(Cockpit, IconStepsOnceAfterMoreThanTwoSeconds) {
    // now, step, time of the last step; then the frame's step, time, stepped.
    const std::tuple<Uint32, int, Uint32, int, Uint32, bool> cases[] = {
        {5000, 2, 3000, 2, 3000, false},                // exactly 2000 ms
        {5001, 2, 3000, 3, 5001, true},                 // 2001 ms
        {2501, 8, 500, 0, 2501, true},                  // after the last picture, the first
        {1745, 5, 0xFFFFFF00u, 6, 1745, true},          // 2001 ms across the tick wrap
        {1744, 5, 0xFFFFFF00u, 5, 0xFFFFFF00u, false},  // 2000 ms across it
        {100, 12, 100, 0, 100, false}};                 // a step outside the sheet
    for (const auto& [now, step, time, nextStep, nextTime, stepped] : cases) {
        const IconFrame frame = nextIconFrame(now, step, time);
        EXPECT_EQ(std::make_tuple(frame.step, frame.picture, frame.time, frame.stepped),
                  std::make_tuple(nextStep, nextStep, nextTime, stepped))
            << now << " step " << step;
    }
}

// A quotient of -0.001 keeps its sign; 0.005 rounds down as the float it is.
TEST(Cockpit, ReadoutTexts) {
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
    // The label follows the station: offsets turned by the roll's cosine and sine.
    const std::tuple<float, float, float, float, int, int> places[] = {
        {0, 0, 1, 0, 320, 200},     {0, 0, 0.5f, 0.866f, 320, 200}, {0, 0, -1, 0, 320, 200},
        {10, 20, 1, 0, 330, 220},   {10, 0, 0, 1, 320, 190},        {0, 10, 0, 1, 330, 200},
        {-320.7f, 0, 1, 0, 0, 200}, {-321.5f, 0, 1, 0, -1, 200}};
    for (const auto& [offsetX, offsetY, rollCos, rollSin, x, y] : places) {
        const ScreenPoint point = stationScreenPoint(offsetX, offsetY, rollCos, rollSin);
        EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(x, y))
            << offsetX << ", " << offsetY << " roll " << rollCos << ", " << rollSin;
    }
}

const std::pair<SDL_Surface**, const char*> cockpitPictures[] = {
    {&media.panelImage, "uistatic3.png"},     {&media.crosshairsImage, "crosshairs.png"},
    {&media.lightImage, "light.png"},         {&media.handleImage, "handle.png"},
    {&media.controlsImage, "uicontrols.png"}, {&media.needleImage, "needle.png"},
    {&media.shipImage, "spaceshipgreen.png"}};

class CockpitScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        openTestScreen();
        setupClips();
        for (const auto& [image, file] : cockpitPictures) {
            *image = loadImage(file);
        }
        TTF_Init();
        media.readoutFont = TTF_OpenFont("00_Starmap_Truetype.ttf", 14);
    }

    static void TearDownTestSuite() {
        for (const auto& [image, file] : cockpitPictures) {
            SDL_FreeSurface(*image);
            *image = nullptr;
        }
        TTF_CloseFont(media.readoutFont);
        media.readoutFont = nullptr;
        TTF_Quit();
        closeTestScreen();
    }

    void SetUp() override {
        for (const auto& [image, file] : cockpitPictures) {
            ASSERT_NE(*image, nullptr) << file;
        }
        ASSERT_NE(media.readoutFont, nullptr);
        setIconClock(0, SDL_GetTicks());
    }

    void TearDown() override { setFlightState(FlightState()); }

    // True when blitting clip of sheet at (x, y) again changes no pixel of the
    // screen. Opaque colour-keyed sprites only.
    static bool shows(SDL_Surface* sheet, int x, int y, SDL_Rect clip = {0, 0, 0, 0}) {
        clip.w = clip.w == 0 ? static_cast<Uint16>(sheet->w) : clip.w;
        clip.h = clip.h == 0 ? static_cast<Uint16>(sheet->h) : clip.h;
        SDL_Surface* copy = SDL_ConvertSurface(media.screen, media.screen->format, SDL_SWSURFACE);
        applySurface(x, y, sheet, copy, &clip);
        const bool same = differingPixels(media.screen, copy) == 0;
        SDL_FreeSurface(copy);
        return same;
    }

    static void draw(const FlightState& state, bool flying, bool withCrosshairs = true) {
        fillSurface(media.screen, {0, 0, 255});
        setFlightState(state);
        flying ? drawFlightInstruments() : drawIdlePanel(withCrosshairs);
    }

    // The handle picture and the controls cell that the screen shows.
    static std::pair<int, int> shownHandleAndControls(int handleY) {
        std::pair<int, int> shown = {-1, -1};
        for (int cell = 0; cell < 9; ++cell) {
            if (cell < 3 && shows(media.handleImage, 220, handleY, handleClips[cell])) {
                shown.first = cell;
            }
            if (shows(media.controlsImage, 290, 380, controlsClips[cell])) {
                shown.second = shown.second == -1 ? cell : 99;
            }
        }
        return shown;
    }

    static void expectFixedParts(bool crosshairs) {
        EXPECT_EQ(pixelAt(media.screen, 10, 240), pixelAt(media.panelImage, 10, 240));
        EXPECT_TRUE(shows(media.needleImage, 170, 370));
        EXPECT_EQ(shows(media.crosshairsImage, 50, 50), crosshairs);
    }
};

TEST_F(CockpitScreen, FlightShowsLampsHandleAndControls) {
    // Counters, roll and lateral thrust; lamps, handle height, picture, cell.
    const std::tuple<int, int, int, int, int, bool, bool, int, int, int> cases[] = {
        {1, 1, 0, 0, 0, true, true, 390, 0, 4},         // Up and Down held
        {1, -1, -30, 40, -40, true, false, 410, 1, 6},  // counters adding to zero
        {0, 1, 30, -40, 40, false, true, 430, 2, 2}};
    for (const auto& [forward, reverse, roll, x, y, forwardLit, reverseLit, handleY, handle,
                      controls] : cases) {
        SCOPED_TRACE(std::to_string(forward) + ", " + std::to_string(reverse));
        FlightState state;
        std::tie(state.forwardLamp, state.reverseLamp, state.thrustRoll, state.thrustX,
                 state.thrustY) = std::tie(forward, reverse, roll, x, y);
        draw(state, true);
        EXPECT_EQ(shows(media.lightImage, 180, 410), forwardLit);
        EXPECT_EQ(shows(media.lightImage, 200, 410), reverseLit);
        EXPECT_FALSE(shows(media.lightImage, 180, 430));
        EXPECT_EQ(shownHandleAndControls(handleY), std::make_pair(handle, controls));
        expectFixedParts(true);
    }
}

// The outcome screens rest the panel whatever is held, and the icon steps
// once after them however long they lasted.
TEST_F(CockpitScreen, IdlePanelRestsAndTheIconStepsOnceAfterIt) {
    FlightState state;
    state.thrustX = 40;
    state.thrustRoll = -30;
    state.forwardLamp = 1;
    const Uint32 before = SDL_GetTicks();
    setIconClock(3, before - 10000);
    for (bool crosshairs : {false, true}) {
        draw(state, false, crosshairs);
        EXPECT_EQ(iconStep(), 3);
        EXPECT_FALSE(shows(media.lightImage, 180, 410));
        EXPECT_EQ(shownHandleAndControls(410), std::make_pair(0, 4));
        expectFixedParts(crosshairs);
    }
    draw(state, true);
    EXPECT_EQ(iconStep(), 4);
    EXPECT_GE(iconStepTime(), before);
    draw(state, true);
    EXPECT_EQ(iconStep(), 4);
    EXPECT_TRUE(shows(media.shipImage, 70, 370, shipClips[4]));
}

// Each drawing matches its readouts rendered in its colour at their places on
// a black screen, and shows that colour.
TEST_F(CockpitScreen, ReadoutsAreGreenAndTheLabelRedAtTheirPlaces) {
    FlightState state;
    std::tie(state.velocityZ, state.rollCos, state.rollSin, state.offsetX, state.offsetY) =
        std::make_tuple(61725.0f, 0.5f, 0.866f, 40.0f, -25.0f);
    setFlightState(state);
    const ScreenPoint label = stationScreenPoint(40, -25, 0.5f, 0.866f);
    const std::tuple<void (*)(), SDL_Color, Rgb, std::vector<std::pair<int, ScreenPoint>>> cases[] =
        {{drawReadouts,
          textGreen,
          {40, 100, 50},
          {{KindVX, {415, 395}}, {KindVY, {415, 410}}, {KindVZ, {415, 425}}, {KindWZ, {415, 440}}}},
         {drawDistanceLabel, textRed, {255, 0, 0}, {{KindDistance, label}}}};
    for (const auto& [draw, colour, rgb, readouts] : cases) {
        SCOPED_TRACE(readouts.size());
        SDL_Surface* expected = makeScreenCopy({0, 0, 0});
        for (const auto& [kind, place] : readouts) {
            SDL_Surface* text = renderReadout(kind, media.readoutFont, colour);
            applySurface(place.x, place.y, text, expected);
            SDL_FreeSurface(text);
        }
        fillSurface(media.screen, {0, 0, 0});
        draw();
        EXPECT_EQ(differingPixels(media.screen, expected), 0);
        int inColour = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                inColour += pixelAt(media.screen, x, y) == rgb ? 1 : 0;
            }
        }
        EXPECT_GT(inColour, 0);
        SDL_FreeSurface(expected);
    }
    // No text surface outlives its frame; the first frames fill SDL_ttf's cache.
    std::size_t warm = 0;
    for (int frame = 0; frame < 200; ++frame) {
        warm = frame == 5 ? heapInUse() : warm;
        drawDistanceLabel();
        drawReadouts();
    }
    EXPECT_LE(heapInUse(), warm);
}

}  // namespace
