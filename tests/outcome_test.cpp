// The end of an approach, the outcome screens, the restart and the sound,
// on the real game with its media, SDL_ttf and SDL_mixer (dummy drivers).
#include "shell/outcome.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "cockpit/panel.h"
#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

class OutcomeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(startTestGame(loop, 42)); }
    void TearDown() override { shutdownGame(); }

    // One frame as the loop runs it, with a chosen frame time.
    void frame(Uint32 frameMs) {
        loop.pollResult = pollInput();
        loop.frameMs = frameMs;
        runFrameWork(loop);
        SDL_Flip(media.screen);
    }

    // Puts the craft at the station, frozen (frame time 0) in a pose that
    // scores score points (18984 when aligned) or crashes (score 0).
    void arriveWith(bool docks) {
        FlightState state;
        state.distance = 1.0f;
        state.relativeRollAngle = docks ? 180.0f : 90.0f;
        state.rollAngle = 180.0f;
        setFlightState(state);
        frame(0);  // this frame reaches the station
    }

    GameLoop loop;
};

TEST_F(OutcomeTest, ArrivalIsJudgedInTheFrameAfterReachingTheStation) {
    FlightState state = flightState();
    state.distance = 0.5f;  // already past: still not judged in the first frame
    setFlightState(state);
    frame(0);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(loop.approachScale, 2.0f);
    frame(0);
    EXPECT_NE(loop.approachPhase, Flying);
    loop.approachPhase = Flying;
    loop.approachScale = std::numeric_limits<float>::quiet_NaN();
    arrivalTest(loop);
    EXPECT_EQ(loop.approachPhase, Flying);
}

TEST_F(OutcomeTest, EnterWhileFlyingDoesNothing) {
    const float distance = flightState().distance;
    FlightState state = flightState();
    state.velocityZ = 40.0f;
    setFlightState(state);
    pushKey(SDLK_RETURN, true);
    frame(500);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_LT(flightState().distance, distance);  // no reset to 20
}

TEST_F(OutcomeTest, EnterInTheFrameTheApproachEndsRestartsAtOnce) {
    arriveWith(true);
    pushKey(SDLK_RETURN, true);
    frame(0);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(loop.points, 0);
    EXPECT_EQ(loop.approachScale, 0.0f);
    EXPECT_EQ(flightState().distance, 20.0f);
    frame(0);  // and the new approach is not judged at once
    EXPECT_EQ(loop.approachPhase, Flying);
}

TEST_F(OutcomeTest, PointsNeverCarryOver) {
    arriveWith(true);
    frame(0);
    EXPECT_EQ(loop.points, 18984);
    pushKey(SDLK_RETURN, true);
    frame(0);
    FlightState state;
    state.distance = 1.0f;
    state.relativeRollAngle = 180.0f;
    state.offsetX = 40.0f;
    setFlightState(state);
    frame(0);
    frame(0);
    EXPECT_EQ(loop.approachPhase, Docked);
    EXPECT_EQ(loop.points, 2109);
    pushKey(SDLK_RETURN, true);
    frame(0);
    arriveWith(false);
    frame(0);
    EXPECT_EQ(loop.approachPhase, Crashed);
    EXPECT_EQ(loop.points, 0);
    EXPECT_EQ(pointsMessage(1), "You got 1 points!");
    EXPECT_EQ(pointsMessage(18984), "You got 18984 points!");
}

// Every foreground pixel of the text, rendered alone, is red on the screen
// at the message's place.
void expectMessage(const char* text, int x, int y) {
    SCOPED_TRACE(text);
    SDL_Surface* expected = TTF_RenderText_Solid(media.messageFont, text, textRed);
    ASSERT_NE(expected, nullptr);
    int foreground = 0;
    int mismatches = 0;
    for (int row = 0; row < expected->h; ++row) {
        for (int column = 0; column < expected->w; ++column) {
            if (static_cast<Uint8*>(expected->pixels)[row * expected->pitch + column] == 0) {
                continue;  // the text's transparent background
            }
            ++foreground;
            if (!(pixelAt(media.screen, x + column, y + row) == (Rgb{255, 0, 0}))) {
                ++mismatches;
            }
        }
    }
    SDL_FreeSurface(expected);
    EXPECT_GT(foreground, 50);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(OutcomeTest, DockedScreenShowsItsMessagesAndRedrawsTheScene) {
    arriveWith(true);
    fillSurface(media.screen, {255, 0, 255});
    frame(0);
    expectMessage("You docked successfully!", 100, 80);
    expectMessage("You got 18984 points!", 100, 120);
    expectMessage("Press Enter to try again.", 100, 160);
    EXPECT_FALSE(pixelAt(media.screen, 500, 300) == (Rgb{255, 0, 255}));
}

TEST_F(OutcomeTest, CrashedScreenKeepsTheLastFlyingPicture) {
    arriveWith(false);
    const Rgb lastFlying = pixelAt(media.screen, 500, 300);
    frame(0);
    EXPECT_EQ(loop.approachPhase, Crashed);
    expectMessage("You crashed!", 100, 100);
    expectMessage("Press Enter to try again.", 100, 140);
    EXPECT_EQ(pixelAt(media.screen, 500, 300), lastFlying);
    // Nothing in the viewport is drawn again: a mark there survives.
    SDL_Rect mark = {480, 280, 20, 20};
    SDL_FillRect(media.screen, &mark, SDL_MapRGB(media.screen->format, 255, 0, 255));
    frame(0);
    EXPECT_EQ(pixelAt(media.screen, 490, 290), (Rgb{255, 0, 255}));
}

TEST_F(OutcomeTest, RestartAfterDockingBringsTheOtherStation) {
    for (int round = 0; round < 4; ++round) {
        const int spin = media.stationSpin;
        arriveWith(true);
        pushKey(SDLK_RETURN, true);
        frame(0);
        frame(0);
        EXPECT_EQ(loop.approachPhase, Flying);
        EXPECT_EQ(media.stationSpin, spin == 100 ? 0 : 100);
    }
}

TEST_F(OutcomeTest, RestartAfterCrashDrawsBackgroundStationThenReset) {
    for (unsigned seed : {3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE(seed);
        arriveWith(false);
        frame(0);
        ASSERT_EQ(loop.approachPhase, Crashed);
        std::srand(seed);
        drawBackgroundNumber();
        const int station = std::rand() % 2 == 0 ? 1 : 2;
        for (int draw = 0; draw < 11; ++draw) {
            std::rand();
        }
        const int next = std::rand();
        std::srand(seed);
        pushKey(SDLK_RETURN, true);
        frame(0);
        EXPECT_EQ(std::rand(), next);
        EXPECT_EQ(media.stationSpin, station == 2 ? 100 : 0);
        EXPECT_EQ(flightState().relativeRollRate - flightState().rollRate,
                  static_cast<float>(media.stationSpin));
    }
}

TEST_F(OutcomeTest, MusicHumAndIconRunOnAcrossRestarts) {
    setIconClock(3, SDL_GetTicks() - 5000);
    arriveWith(false);
    frame(0);
    pushKey(SDLK_RETURN, true);
    frame(0);
    EXPECT_EQ(iconStep(), 4);  // stepped in the last Flying frame only
    frame(0);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(Mix_Playing(engineChannel));
}

// The mixer mixes a whole 4096-sample buffer at a time: a 10 ms fade ends
// at the next buffer, up to about 190 ms later, or more on a busy machine.
void waitForFadeToEnd() {
    for (int waited = 0; waited < 3000 && Mix_Playing(thrusterChannel); waited += 10) {
        SDL_Delay(10);
    }
}

// The hiss follows the keys held in Flying frames.
TEST_F(OutcomeTest, ThrusterHissFollowsTheKeys) {
    frame(0);
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    pushKey(SDLK_a, true);
    frame(0);
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    pushKey(SDLK_UP, true);
    frame(0);
    pushKey(SDLK_a, false);
    frame(0);
    EXPECT_EQ(firingCount(), 1);
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_NO_FADING);
    // With the mixer held still, the fade cannot end between the frames.
    SDL_PauseAudio(1);
    pushKey(SDLK_UP, false);
    frame(0);
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_FADING_OUT);
    // Pressed again while fading: not restarted in this frame.
    pushKey(SDLK_UP, true);
    frame(0);
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_FADING_OUT);
    SDL_PauseAudio(0);
    waitForFadeToEnd();
    frame(0);
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_NO_FADING);
    EXPECT_TRUE(Mix_Playing(engineChannel));
}

TEST_F(OutcomeTest, NoHissOnOutcomeScreensWhileAKeyIsHeld) {
    pushKey(SDLK_d, true);
    frame(0);
    ASSERT_TRUE(Mix_Playing(thrusterChannel));
    arriveWith(false);
    frame(0);
    EXPECT_EQ(loop.approachPhase, Crashed);
    waitForFadeToEnd();
    frame(0);
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    EXPECT_TRUE(Mix_Playing(engineChannel));
}

}  // namespace
