#include "cockpit/panel.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "flight/flight.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

struct RectValues {
    int x;
    int y;
    int w;
    int h;
};

void expectTable(const SDL_Rect* table, const std::vector<RectValues>& expected, const char* name) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(std::string(name) + " entry " + std::to_string(i));
        EXPECT_EQ(table[i].x, expected[i].x);
        EXPECT_EQ(table[i].y, expected[i].y);
        EXPECT_EQ(table[i].w, expected[i].w);
        EXPECT_EQ(table[i].h, expected[i].h);
    }
}

TEST(PanelClips, TablesCutTheSheets) {
    setupClips();
    expectTable(controlsClips,
                {{0, 0, 80, 80},
                 {80, 0, 80, 80},
                 {160, 0, 80, 80},
                 {0, 80, 80, 80},
                 {80, 80, 80, 80},
                 {160, 80, 80, 80},
                 {0, 160, 80, 80},
                 {80, 160, 80, 80},
                 {160, 160, 80, 80}},
                "controlsClips");
    expectTable(shipClips,
                {{0, 0, 100, 100},
                 {100, 0, 100, 100},
                 {200, 0, 100, 100},
                 {0, 100, 100, 100},
                 {100, 100, 100, 100},
                 {200, 100, 100, 100},
                 {0, 200, 100, 100},
                 {100, 200, 100, 100},
                 {200, 200, 100, 100}},
                "shipClips");
    expectTable(handleClips, {{0, 0, 50, 20}, {0, 20, 50, 20}, {0, 40, 50, 20}}, "handleClips");
}

TEST(PanelHandle, HeightFollowsTheForwardAndReverseCounters) {
    struct Case {
        int forward;
        int reverse;
        int height;
    };
    const Case cases[] = {
        {0, 0, 410},             // no thruster
        {1, 0, 390},             // Up held
        {0, 1, 430},             // Down held
        {1, 1, 390},             // Up and Down held together
        {1, -1, 410},            // counters adding to zero
        {0, -1, 430},            // a stray release of Down
        {INT_MAX, INT_MAX, 390}  // no overflow in the sum
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.forward) + ", " + std::to_string(c.reverse));
        EXPECT_EQ(handleHeight(c.forward, c.reverse), c.height);
    }
}

TEST(PanelHandle, PictureFollowsTheSignOfRollThrust) {
    EXPECT_EQ(handlePicture(0), 0);
    EXPECT_EQ(handlePicture(-30), 1);
    EXPECT_EQ(handlePicture(INT_MIN), 1);
    EXPECT_EQ(handlePicture(30), 2);
}

TEST(PanelControls, IndexFollowsTheSignsOfLateralThrust) {
    // Rows by thrustY, columns by thrustX: positive, zero, negative.
    const int signs[3] = {40, 0, -40};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
            EXPECT_EQ(controlsIndex(signs[column], signs[row]), 3 * row + column);
        }
    }
    EXPECT_EQ(controlsIndex(1, -1), 6);
    EXPECT_EQ(controlsIndex(INT_MIN, INT_MAX), 2);
}

TEST(PanelIcon, StepsOnceAfterMoreThanTwoSeconds) {
    struct Case {
        Uint32 now;
        int step;
        Uint32 time;
        IconFrame expected;
    };
    const Case cases[] = {
        {5000, 2, 3000, {2, 2, 3000, false}},                // exactly 2000 ms: no step
        {5001, 2, 3000, {3, 3, 5001, true}},                 // one more: one step
        {13001, 2, 3000, {3, 3, 13001, true}},               // a 10 s gap still steps once
        {3000, 2, 3000, {2, 2, 3000, false}},                // no time at all
        {2500, 8, 500, {8, 8, 500, false}},                  // the last picture shown
        {2501, 8, 500, {0, 0, 2501, true}},                  // after it comes the first
        {1745, 5, 0xFFFFFF00u, {6, 6, 1745, true}},          // 2001 ms across the wrap
        {1744, 5, 0xFFFFFF00u, {5, 5, 0xFFFFFF00u, false}},  // 2000 ms across it
        {100, 12, 100, {0, 0, 100, false}},                  // a step outside the sheet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("now " + std::to_string(c.now) + " step " + std::to_string(c.step));
        const IconFrame frame = nextIconFrame(c.now, c.step, c.time);
        EXPECT_EQ(frame.step, c.expected.step);
        EXPECT_EQ(frame.picture, c.expected.picture);
        EXPECT_EQ(frame.time, c.expected.time);
        EXPECT_EQ(frame.stepped, c.expected.stepped);
    }
}

TEST(PanelLamps, OnlyCountersAboveZeroLight) {
    struct Case {
        LampCounters counters;
        std::vector<std::pair<int, int>> places;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0}, {}},
        {{1, 1, 0, 0, 0, 0}, {{180, 410}, {200, 410}}},
        {{1, -1, 0, 0, 0, 0}, {{180, 410}}},
        {{0, 0, 1, 2, 1, 1}, {{180, 430}, {200, 430}, {180, 450}, {200, 450}}},
        {{1, 1, 1, 1, 1, 1},
         {{180, 410}, {200, 410}, {180, 430}, {200, 430}, {180, 450}, {200, 450}}},
        {{-1, -1, -1, -1, -1, -1}, {}},
    };
    for (const Case& c : cases) {
        const LampList lamps = litLamps(c.counters);
        ASSERT_EQ(lamps.count, static_cast<int>(c.places.size()));
        for (int i = 0; i < lamps.count; ++i) {
            const PanelPoint place = lamps.places[static_cast<std::size_t>(i)];
            EXPECT_EQ(std::make_pair(place.x, place.y), c.places[static_cast<std::size_t>(i)]);
        }
    }
}

// The cockpit drawn on the dummy driver's screen with the run directory's
// pictures.
class PanelScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        openTestScreen();
        setupClips();
        media.panelImage = loadImage("uistatic3.png");
        media.crosshairsImage = loadImage("crosshairs.png");
        if (media.crosshairsImage != nullptr) {
            SDL_SetAlpha(media.crosshairsImage, SDL_SRCALPHA, 128);
        }
        media.lightImage = loadImage("light.png");
        media.handleImage = loadImage("handle.png");
        media.controlsImage = loadImage("uicontrols.png");
        media.needleImage = loadImage("needle.png");
        media.shipImage = loadImage("spaceshipgreen.png");
    }

    static void TearDownTestSuite() {
        for (SDL_Surface** image : pictures()) {
            SDL_FreeSurface(*image);
            *image = nullptr;
        }
        closeTestScreen();
    }

    static std::vector<SDL_Surface**> pictures() {
        return {&media.panelImage,    &media.crosshairsImage, &media.lightImage, &media.handleImage,
                &media.controlsImage, &media.needleImage,     &media.shipImage};
    }

    void SetUp() override {
        for (SDL_Surface** image : pictures()) {
            ASSERT_NE(*image, nullptr);
        }
        ASSERT_NE(media.screen, nullptr);
        fillSurface(media.screen, {0, 0, 255});
        setFlightState(FlightState());
        setIconClock(0, SDL_GetTicks());
    }

    void TearDown() override { setFlightState(FlightState()); }

    // True when the screen already shows clip of sheet at (x, y): blitting
    // it again there changes no pixel. Opaque colour-keyed sprites only.
    static bool showsClip(SDL_Surface* sheet, SDL_Rect clip, int x, int y) {
        SDL_Surface* screen = media.screen;
        SDL_Surface* copy =
            SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, screen->format->Rmask,
                                 screen->format->Gmask, screen->format->Bmask, 0);
        SDL_BlitSurface(screen, nullptr, copy, nullptr);
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

    static SDL_Rect whole(SDL_Surface* image) {
        return {0, 0, static_cast<Uint16>(image->w), static_cast<Uint16>(image->h)};
    }

    static bool lampLit(int x, int y) {
        return showsClip(media.lightImage, whole(media.lightImage), x, y);
    }

    static void fly(const FlightState& state) {
        setFlightState(state);
        drawFlightInstruments();
    }

    static int shownHandle(int y) {
        for (int picture = 0; picture < 3; ++picture) {
            if (showsClip(media.handleImage, handleClips[picture], 220, y)) {
                return picture;
            }
        }
        return -1;
    }

    // The one controls cell that the screen shows, -1 for none or several.
    static int shownControls() {
        int shown = -1;
        for (int cell = 0; cell < 9; ++cell) {
            if (showsClip(media.controlsImage, controlsClips[cell], 290, 380)) {
                if (shown != -1) {
                    return -1;
                }
                shown = cell;
            }
        }
        return shown;
    }
};

TEST_F(PanelScreen, UpAndDownHeldLightBothLampsAndRaiseTheHandle) {
    FlightState state;
    state.forwardLamp = 1;
    state.reverseLamp = 1;
    fly(state);
    EXPECT_TRUE(lampLit(180, 410));
    EXPECT_TRUE(lampLit(200, 410));
    EXPECT_FALSE(lampLit(180, 430));
    EXPECT_FALSE(lampLit(200, 450));
    EXPECT_EQ(shownHandle(390), 0);
}

TEST_F(PanelScreen, CountersAddingToZeroLeaveTheHandleAtRest) {
    FlightState state;
    state.forwardLamp = 1;
    state.reverseLamp = -1;
    fly(state);
    EXPECT_TRUE(lampLit(180, 410));
    EXPECT_FALSE(lampLit(200, 410));
    EXPECT_EQ(shownHandle(410), 0);
}

TEST_F(PanelScreen, HandleShowsTheRollPicture) {
    const int rolls[3] = {0, -30, 30};
    for (int picture = 0; picture < 3; ++picture) {
        FlightState state;
        state.thrustRoll = rolls[picture];
        state.reverseLamp = 1;
        fly(state);
        EXPECT_EQ(shownHandle(430), picture) << rolls[picture];
    }
}

TEST_F(PanelScreen, ControlsShowTheCellOfTheThrustSigns) {
    const int signs[3] = {40, 0, -40};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            FlightState state;
            state.thrustX = signs[column];
            state.thrustY = signs[row];
            fly(state);
            EXPECT_EQ(shownControls(), 3 * row + column)
                << "thrustX " << signs[column] << " thrustY " << signs[row];
        }
    }
}

TEST_F(PanelScreen, IconWrapsFromTheLastPictureToTheFirst) {
    setIconClock(8, SDL_GetTicks() - 2500);
    fly(FlightState());
    EXPECT_EQ(iconStep(), 0);
    EXPECT_TRUE(showsClip(media.shipImage, shipClips[0], 70, 370));
    EXPECT_FALSE(showsClip(media.shipImage, shipClips[8], 70, 370));
}

TEST_F(PanelScreen, IconStepsOnceAfterALongOutcomeScreen) {
    // Ten seconds before the first ticks of the test: the difference wraps.
    const Uint32 before = SDL_GetTicks();
    setIconClock(3, before - 10000);
    drawIdlePanel(true);
    EXPECT_EQ(iconStep(), 3);
    fly(FlightState());
    EXPECT_EQ(iconStep(), 4);
    EXPECT_GE(iconStepTime(), before);
    fly(FlightState());
    EXPECT_EQ(iconStep(), 4);
    EXPECT_TRUE(showsClip(media.shipImage, shipClips[4], 70, 370));
}

TEST_F(PanelScreen, IdlePanelRestsWhileKeysAreHeld) {
    FlightState state;
    state.thrustX = 40;
    state.thrustY = -40;
    state.thrustRoll = -30;
    state.forwardLamp = 1;
    state.upperLeftLamp = 1;
    setFlightState(state);
    for (bool withCrosshairs : {true, false}) {
        fillSurface(media.screen, {0, 0, 255});
        drawIdlePanel(withCrosshairs);
        EXPECT_EQ(shownHandle(410), 0);
        EXPECT_EQ(shownControls(), 4);
        EXPECT_FALSE(lampLit(180, 410));
        EXPECT_FALSE(lampLit(180, 430));
        EXPECT_TRUE(showsClip(media.needleImage, whole(media.needleImage), 170, 370));
    }
}

TEST_F(PanelScreen, CrosshairsOnlyOnTheDockedScreen) {
    // Inside the viewport the panel is see-through: the blue fill shows
    // unless the crosshairs lie over it.
    auto changedInViewport = []() {
        int changed = 0;
        for (int y = 55; y < 345; ++y) {
            for (int x = 55; x < 585; ++x) {
                changed += pixelAt(media.screen, x, y) == Rgb{0, 0, 255} ? 0 : 1;
            }
        }
        return changed;
    };
    drawIdlePanel(false);
    EXPECT_EQ(changedInViewport(), 0);
    fillSurface(media.screen, {0, 0, 255});
    drawIdlePanel(true);
    EXPECT_GT(changedInViewport(), 0);
}

}  // namespace
