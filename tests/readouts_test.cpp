#include "cockpit/readouts.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>

#include "flight/flight.h"
#include "flight/motion.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

TEST(ReadoutText, FixedNotationWithTwoDecimals) {
    struct Case {
        int kind;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {KindVX, 0.0f, "vX   0.00"},
        {KindVY, -0.05f, "vY   -0.00"},  // a quotient of -0.001 keeps its sign
        {KindVX, -50.0f, "vX   -1.00"},
        {KindVZ, 61725.0f, "vZ   1234.50"},
        {KindVZ, 25.0f, "vZ   0.50"},
        {KindWZ, 45.0f, "wZ   4.50"},
        {KindWZ, -7.0f, "wZ   -0.70"},
        // 0.005 as a double rounds up, as the float written it rounds down.
        {KindVZ, 0.25f, "vZ   0.00"},
        {KindDistance, 19.0f, "`19.00"},
        {KindDistance, 1234.5f, "`1234.50"},
        {KindDistance, 1e10f, "`10000000000.00"},
        {5, 12.0f, ""},
        {-1, 12.0f, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " value " + std::to_string(c.value));
        EXPECT_EQ(formatReadout(c.kind, c.value), c.text);
    }
}

TEST(ReadoutText, ReadsTheCurrentFlightValues) {
    FlightState state;
    state.rollRate = 45.0f;
    state.velocityZ = -0.05f;
    state.velocityX = 100.0f;
    state.velocityY = -50.0f;
    state.rollCos = 1.0f;
    state.offsetX = 30.0f;
    setFlightState(state);
    EXPECT_EQ(readoutText(KindWZ), "wZ   4.50");
    EXPECT_EQ(readoutText(KindVZ), "vZ   -0.00");
    EXPECT_EQ(readoutText(KindVX), formatReadout(KindVX, readoutVelocityX()));
    EXPECT_EQ(readoutText(KindVY), formatReadout(KindVY, readoutVelocityY()));
    EXPECT_EQ(readoutText(KindDistance), formatReadout(KindDistance, readoutDistance()));
    EXPECT_EQ(readoutText(7), "");
    setFlightState(FlightState());
}

TEST(DistanceLabelPoint, FollowsTheStationTurnedByTheRoll) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float offsetX;
        float offsetY;
        float rollCos;
        float rollSin;
        int x;
        int y;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f, 0.0f, 320, 200},
        {0.0f, 0.0f, 0.5f, 0.866f, 320, 200},  // no offset: any roll
        {0.0f, 0.0f, -1.0f, 0.0f, 320, 200},
        {10.0f, 20.0f, 1.0f, 0.0f, 330, 220},
        {10.0f, 0.0f, 0.0f, 1.0f, 320, 190},
        {0.0f, 10.0f, 0.0f, 1.0f, 330, 200},
        {-320.7f, 0.0f, 1.0f, 0.0f, 0, 200},  // -0.7 truncates to 0
        {0.0f, -200.7f, 1.0f, 0.0f, 320, 0},
        {-321.5f, 0.0f, 1.0f, 0.0f, -1, 200},
        {5.9f, 5.9f, 1.0f, 0.0f, 325, 205},
        {nan, 0.0f, 1.0f, 0.0f, 0, 0},
        {inf, 0.0f, 1.0f, 0.0f, INT_MAX, 0},  // inf * 0 is NaN, which gives 0
        {0.0f, -inf, 1.0f, 0.0f, 0, INT_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.offsetX) + ", " + std::to_string(c.offsetY) + " roll " +
                     std::to_string(c.rollCos) + ", " + std::to_string(c.rollSin));
        const PanelPoint point = distanceLabelPoint(c.offsetX, c.offsetY, c.rollCos, c.rollSin);
        EXPECT_EQ(point.x, c.x);
        EXPECT_EQ(point.y, c.y);
    }
}

// Real SDL_ttf with the run directory's font, drawing on the dummy screen.
class ReadoutScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        openTestScreen();
        TTF_Init();
        font = TTF_OpenFont("00_Starmap_Truetype.ttf", 14);
    }

    static void TearDownTestSuite() {
        media.readoutFont = nullptr;
        TTF_CloseFont(font);
        font = nullptr;
        TTF_Quit();
        closeTestScreen();
    }

    void SetUp() override {
        ASSERT_NE(font, nullptr);
        ASSERT_NE(media.screen, nullptr);
        media.readoutFont = font;
        FlightState state;
        state.velocityX = 120.0f;
        state.velocityY = -35.0f;
        state.velocityZ = 61725.0f;
        state.rollRate = -45.0f;
        state.rollCos = 0.5f;
        state.rollSin = 0.866f;
        state.offsetX = 40.0f;
        state.offsetY = -25.0f;
        state.distance = 12.0f;
        setFlightState(state);
        fillSurface(media.screen, black);
    }

    void TearDown() override { setFlightState(FlightState()); }

    // The screen as it should be: black with each readout blitted at place.
    static SDL_Surface* expectedScreen() {
        SDL_Surface* screen = media.screen;
        SDL_Surface* expected =
            SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, screen->format->Rmask,
                                 screen->format->Gmask, screen->format->Bmask, 0);
        fillSurface(expected, black);
        return expected;
    }

    static void blitReadout(SDL_Surface* target, int kind, SDL_Color colour, PanelPoint place) {
        SDL_Surface* readout = renderReadout(kind, font, colour);
        ASSERT_NE(readout, nullptr) << kind;
        applySurface(place.x, place.y, readout, target);
        SDL_FreeSurface(readout);
    }

    static int differences(SDL_Surface* expected) {
        int count = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                count += pixelAt(media.screen, x, y) == pixelAt(expected, x, y) ? 0 : 1;
            }
        }
        return count;
    }

    static int changedPixels() {
        int count = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                count += pixelAt(media.screen, x, y) == black ? 0 : 1;
            }
        }
        return count;
    }

    // Every pixel of a rendered text is either its colour or the
    // see-through background, and some are its colour.
    static void expectTextColour(SDL_Surface* text, Rgb colour) {
        ASSERT_NE(text, nullptr);
        ASSERT_TRUE(text->flags & SDL_SRCCOLORKEY);
        const Rgb background = pixelAt(text, 0, 0);
        int inColour = 0;
        int other = 0;
        for (int y = 0; y < text->h; ++y) {
            for (int x = 0; x < text->w; ++x) {
                const Rgb pixel = pixelAt(text, x, y);
                if (pixel == colour) {
                    ++inColour;
                } else if (!(pixel == background)) {
                    ++other;
                }
            }
        }
        EXPECT_GT(inColour, 0);
        EXPECT_EQ(other, 0);
    }

    static constexpr Rgb black = {0, 0, 0};
    static TTF_Font* font;
};

TTF_Font* ReadoutScreen::font = nullptr;

TEST_F(ReadoutScreen, RendersEveryKindAndNothingElse) {
    for (int kind = KindVX; kind <= KindDistance; ++kind) {
        SDL_Surface* text = renderReadout(kind, font, textGreen);
        EXPECT_NE(text, nullptr) << kind;
        SDL_FreeSurface(text);
    }
    EXPECT_EQ(renderReadout(5, font, textGreen), nullptr);
    EXPECT_EQ(renderReadout(-1, font, textGreen), nullptr);
    EXPECT_EQ(renderReadout(KindVX, nullptr, textGreen), nullptr);
}

TEST_F(ReadoutScreen, TextTakesTheColourAskedFor) {
    SDL_Surface* green = renderReadout(KindVZ, font, textGreen);
    expectTextColour(green, {40, 100, 50});
    SDL_FreeSurface(green);
    SDL_Surface* red = renderReadout(KindDistance, font, textRed);
    expectTextColour(red, {255, 0, 0});
    SDL_FreeSurface(red);
}

TEST_F(ReadoutScreen, FixedReadoutsAreGreenAtTheirPlaces) {
    drawReadouts();
    SDL_Surface* expected = expectedScreen();
    blitReadout(expected, KindVX, textGreen, {415, 395});
    blitReadout(expected, KindVY, textGreen, {415, 410});
    blitReadout(expected, KindVZ, textGreen, {415, 425});
    blitReadout(expected, KindWZ, textGreen, {415, 440});
    EXPECT_GT(changedPixels(), 0);
    EXPECT_EQ(differences(expected), 0);
    SDL_FreeSurface(expected);
}

TEST_F(ReadoutScreen, DistanceLabelIsRedOverTheStation) {
    struct Case {
        float offsetX;
        float offsetY;
        float rollCos;
        float rollSin;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f, 0.0f},
        {40.0f, -25.0f, 0.5f, 0.866f},
        {-318.0f, 0.0f, 1.0f, 0.0f},  // partly off the left edge
    };
    for (const Case& c : cases) {
        FlightState state = flightState();
        state.offsetX = c.offsetX;
        state.offsetY = c.offsetY;
        state.rollCos = c.rollCos;
        state.rollSin = c.rollSin;
        setFlightState(state);
        fillSurface(media.screen, black);
        drawDistanceLabel();
        SDL_Surface* expected = expectedScreen();
        blitReadout(expected, KindDistance, textRed,
                    distanceLabelPoint(c.offsetX, c.offsetY, c.rollCos, c.rollSin));
        EXPECT_GT(changedPixels(), 0) << c.offsetX;
        EXPECT_EQ(differences(expected), 0) << c.offsetX;
        SDL_FreeSurface(expected);
    }
}

TEST_F(ReadoutScreen, NoFontDrawsNothing) {
    media.readoutFont = nullptr;
    drawReadouts();
    drawDistanceLabel();
    EXPECT_EQ(changedPixels(), 0);
}

TEST_F(ReadoutScreen, NoSurfaceOutlivesAFrame) {
    // The first frames fill SDL_ttf's glyph cache.
    for (int i = 0; i < 5; ++i) {
        drawDistanceLabel();
        drawReadouts();
    }
    const std::size_t before = heapInUse();
    for (int i = 0; i < 200; ++i) {
        drawDistanceLabel();
        drawReadouts();
    }
    EXPECT_LE(heapInUse(), before);
}

}  // namespace
