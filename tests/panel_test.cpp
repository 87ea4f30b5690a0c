#include "cockpit/panel.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>

#include "flight/flight.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

TEST(PanelTables, ClipsCutTheSheets) {
    setupClips();
    const std::pair<const SDL_Rect&, std::array<int, 4>> cases[] = {
        {controlsClips[0], {0, 0, 80, 80}},    {controlsClips[5], {160, 80, 80, 80}},
        {controlsClips[7], {80, 160, 80, 80}}, {shipClips[4], {100, 100, 100, 100}},
        {shipClips[8], {200, 200, 100, 100}},  {handleClips[2], {0, 40, 50, 20}}};
    for (const auto& [clip, rect] : cases) {
        EXPECT_EQ((std::array<int, 4>{clip.x, clip.y, clip.w, clip.h}), rect);
    }
}

TEST(PanelTables, HandleLampsAndControls) {
    // Forward and reverse counters, the handle's height and the lit lamps: Up
    // and Down held together, counters adding to zero, no overflow in the sum.
    const std::tuple<int, int, int, int> cases[] = {{0, 0, 410, 0},  {1, 0, 390, 1},
                                                    {0, 1, 430, 1},  {1, 1, 390, 2},
                                                    {1, -1, 410, 1}, {INT_MAX, INT_MAX, 390, 2}};
    for (const auto& [forward, reverse, height, lit] : cases) {
        SCOPED_TRACE(std::to_string(forward) + ", " + std::to_string(reverse));
        EXPECT_EQ(handleHeight(forward, reverse), height);
        EXPECT_EQ(litLamps({forward, reverse, 0, 0, 0, 0}).count, lit);
    }
    const LampList lateral = litLamps({0, 0, 1, -1, 1, 2});
    ASSERT_EQ(lateral.count, 3);
    EXPECT_EQ(lateral.places[1].x, 180);
    EXPECT_EQ(lateral.places[1].y, 450);
    EXPECT_EQ(lateral.places[2].x, 200);

    EXPECT_EQ(handlePicture(0), 0);
    EXPECT_EQ(handlePicture(-30), 1);
    EXPECT_EQ(handlePicture(30), 2);
    // Rows by thrustY, columns by thrustX: positive, zero, negative.
    const int signs[3] = {40, 0, -40};
    for (int cell = 0; cell < 9; ++cell) {
        EXPECT_EQ(controlsIndex(signs[cell % 3], signs[cell / 3]), cell);
    }
    EXPECT_EQ(controlsIndex(INT_MIN, INT_MAX), 2);
}

TEST(PanelIcon, StepsOnceAfterMoreThanTwoSeconds) {
    // now, step, time of the last step; then the frame's step, time, stepped.
    const std::tuple<Uint32, int, Uint32, int, Uint32, bool> cases[] = {
        {5000, 2, 3000, 2, 3000, false},                // exactly 2000 ms
        {5001, 2, 3000, 3, 5001, true},                 // 2001 ms
        {2501, 8, 500, 0, 2501, true},                  // after the last picture, the first
        {1745, 5, 0xFFFFFF00u, 6, 1745, true},          // 2001 ms across the tick wrap
        {1744, 5, 0xFFFFFF00u, 5, 0xFFFFFF00u, false},  // 2000 ms across it
        {100, 12, 100, 0, 100, false}};                 // a step outside the sheet
    for (const auto& [now, step, time, nextStep, nextTime, stepped] : cases) {
        SCOPED_TRACE(std::to_string(now) + " step " + std::to_string(step));
        const IconFrame frame = nextIconFrame(now, step, time);
        EXPECT_EQ(std::make_tuple(frame.step, frame.picture, frame.time, frame.stepped),
                  std::make_tuple(nextStep, nextStep, nextTime, stepped));
    }
}

const std::pair<SDL_Surface**, const char*> panelPictures[] = {
    {&media.panelImage, "uistatic3.png"},     {&media.crosshairsImage, "crosshairs.png"},
    {&media.lightImage, "light.png"},         {&media.handleImage, "handle.png"},
    {&media.controlsImage, "uicontrols.png"}, {&media.needleImage, "needle.png"},
    {&media.shipImage, "spaceshipgreen.png"}};

// The cockpit drawn on the dummy driver's screen with the run directory's
// pictures.
class PanelScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        openTestScreen();
        setupClips();
        for (const auto& [image, file] : panelPictures) {
            *image = loadImage(file);
        }
    }

    static void TearDownTestSuite() {
        for (const auto& [image, file] : panelPictures) {
            SDL_FreeSurface(*image);
            *image = nullptr;
        }
        closeTestScreen();
    }

    void SetUp() override {
        for (const auto& [image, file] : panelPictures) {
            ASSERT_NE(*image, nullptr) << file;
        }
        setIconClock(0, SDL_GetTicks());
    }

    void TearDown() override { setFlightState(FlightState()); }

    // True when blitting clip of sheet at (x, y) again changes no pixel of the
    // screen. Opaque colour-keyed sprites only.
    static bool showsClip(SDL_Surface* sheet, SDL_Rect clip, int x, int y) {
        SDL_Surface* screen = media.screen;
        SDL_Surface* copy = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
        applySurface(x, y, sheet, copy, &clip);
        bool same = true;
        for (int py = y; py < y + clip.h && same; ++py) {
            for (int px = x; px < x + clip.w && same; ++px) {
                same = pixelAt(screen, px, py) == pixelAt(copy, px, py);
            }
        }
        SDL_FreeSurface(copy);
        return same;
    }

    static bool lampLit(int x, int y) {
        SDL_Rect whole = {0, 0, static_cast<Uint16>(media.lightImage->w),
                          static_cast<Uint16>(media.lightImage->h)};
        return showsClip(media.lightImage, whole, x, y);
    }

    static void draw(const FlightState& state, bool flying) {
        fillSurface(media.screen, {0, 0, 255});
        setFlightState(state);
        flying ? drawFlightInstruments() : drawIdlePanel(true);
    }

    // The handle picture and the controls cell that the screen shows.
    static std::pair<int, int> shownHandleAndControls(int handleY) {
        std::pair<int, int> shown = {-1, -1};
        for (int cell = 0; cell < 9; ++cell) {
            if (cell < 3 && showsClip(media.handleImage, handleClips[cell], 220, handleY)) {
                shown.first = cell;
            }
            if (showsClip(media.controlsImage, controlsClips[cell], 290, 380)) {
                shown.second = shown.second == -1 ? cell : 99;
            }
        }
        return shown;
    }
};

TEST_F(PanelScreen, FlightShowsLampsHandleAndControls) {
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
        EXPECT_EQ(lampLit(180, 410), forwardLit);
        EXPECT_EQ(lampLit(200, 410), reverseLit);
        EXPECT_FALSE(lampLit(180, 430));
        EXPECT_EQ(shownHandleAndControls(handleY), std::make_pair(handle, controls));
    }
}

// The outcome screen rests the panel whatever is held, and the icon steps once
// after it however long it lasted.
TEST_F(PanelScreen, IdlePanelRestsAndTheIconStepsOnceAfterIt) {
    FlightState state;
    state.thrustX = 40;
    state.thrustRoll = -30;
    state.forwardLamp = 1;
    const Uint32 before = SDL_GetTicks();
    setIconClock(3, before - 10000);
    draw(state, false);
    EXPECT_EQ(iconStep(), 3);
    EXPECT_FALSE(lampLit(180, 410));
    EXPECT_EQ(shownHandleAndControls(410), std::make_pair(0, 4));
    draw(state, true);
    EXPECT_EQ(iconStep(), 4);
    EXPECT_GE(iconStepTime(), before);
    draw(state, true);
    EXPECT_EQ(iconStep(), 4);
    EXPECT_TRUE(showsClip(media.shipImage, shipClips[4], 70, 370));
}

}  // namespace
