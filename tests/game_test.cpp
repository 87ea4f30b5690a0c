// The real game on SDL's dummy drivers with the run directory's media: the
// program's main function, start-up and shutdown, the event poll, the random
// draws, the arrival, the outcome screens, the restart and the sound.
#include "shell/game.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <thread>
#include <vector>

#include "cockpit/panel.h"
#include "flight/flight.h"
#include "shell/media.h"
#include "shell/outcome.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

// Without an audio device the program ends at once with 1, silently and
// without media; with one, it quits with 0 and closes everything.
TEST(Game, RunGameEndsWithOneWithoutAudioAndZeroAfterAQuit) {
    char name[] = "halvanne";
    char* argv[] = {name, nullptr};
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(runGame(1, argv), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(media.panelImage, nullptr);
    TTF_Quit();
    SDL_Quit();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Closes the window as soon as there is one, as a player might.
    std::thread player([] {
        for (int waited = 0; SDL_WasInit(SDL_INIT_VIDEO) == 0 && waited < 30000; ++waited) {
            SDL_Delay(1);
        }
        pushQuit();
    });
    EXPECT_EQ(runGame(1, argv), 0);
    player.join();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    EXPECT_EQ(TTF_WasInit(), 0);
}

// Keys pressed and released before a poll (two stand for Shift+Escape and a
// window close), then the results of polls in a row.
constexpr SDLKey shiftEscape = SDLK_e;
constexpr SDLKey windowClose = SDLK_q;

TEST(Game, PollTakesEveryEventAndReturnsItsControlCode) {
    openTestScreen();
    const std::vector<SDLKey> arrows(120, SDLK_LEFT);  // SDL 1.2 queues at most 127 events
    const std::pair<std::vector<SDLKey>, std::vector<int>> cases[] = {
        {{}, {pollNothing}},
        {{SDLK_ESCAPE}, {pollQuit, pollNothing}},
        {{SDLK_RETURN}, {pollTryAgain, pollNothing}},
        {{SDLK_ESCAPE, SDLK_RETURN}, {pollTryAgain}},
        {{SDLK_RETURN, SDLK_ESCAPE}, {pollQuit}},
        {{SDLK_KP_ENTER, SDLK_a}, {pollNothing}},
        {{shiftEscape}, {pollQuit}},
        {{windowClose}, {pollQuit}},
        {{SDLK_RETURN, windowClose, SDLK_RETURN}, {pollQuit, pollTryAgain, pollNothing}},
        {arrows, {pollNothing}},
    };
    for (const auto& [keys, results] : cases) {
        SCOPED_TRACE(keys.size());
        for (SDLKey key : keys) {
            if (key == windowClose) {
                pushQuit();
                continue;
            }
            const SDLKey sym = key == shiftEscape ? SDLK_ESCAPE : key;
            pushKey(sym, true, key == shiftEscape ? KMOD_LSHIFT : KMOD_NONE);
            pushKey(sym, false);
        }
        for (int result : results) {
            EXPECT_EQ(pollInput(), result);
        }
        while (pollInput() != pollNothing) {
        }
    }
    closeTestScreen();
}

// True when the surface holds the picture of the file, as loadImage makes it.
bool showsFile(SDL_Surface* shown, const char* file) {
    SDL_Surface* expected = loadImage(file);
    bool same = shown != nullptr && expected != nullptr && shown->w == expected->w &&
                shown->h == expected->h;
    for (int y = 0; same && y < shown->h; y += 7) {
        for (int x = 0; same && x < shown->w; x += 7) {
            same = pixelAt(shown, x, y) == pixelAt(expected, x, y);
        }
    }
    SDL_FreeSurface(expected);
    return same;
}

// From seed: the background (one or two draws), the station (one draw, when
// drawn), then the eleven draws of the reset must come; this is what follows.
struct Draws {
    int background;
    int station;
    int next;
};

Draws drawsFrom(unsigned seed, bool drawsStation) {
    std::srand(seed);
    Draws d = {};
    d.background = std::rand() % 3 == 0 ? 1 : std::rand() % 2 == 0 ? 2 : 3;
    d.station = drawsStation ? (std::rand() % 2 == 0 ? 1 : 2) : 0;
    for (int i = 0; i < 11; ++i) {
        std::rand();
    }
    d.next = std::rand();
    std::srand(seed);
    return d;
}

void expectDrawn(const Draws& d, int station) {
    const char* const backgrounds[] = {"background1.jpg", "background2.jpg", "background3.jpg"};
    const char* const stations[2][3] = {
        {"spacestation1low.png", "spacestation1med.png", "spacestation1.png"},
        {"spacestation2low.png", "spacestation2med.png", "spacestation2.png"}};
    EXPECT_EQ(std::rand(), d.next);
    EXPECT_TRUE(showsFile(media.backgroundImage, backgrounds[d.background - 1]));
    EXPECT_TRUE(showsFile(media.stationLow, stations[station - 1][0]));
    EXPECT_TRUE(showsFile(media.stationMed, stations[station - 1][1]));
    EXPECT_TRUE(showsFile(media.stationFull, stations[station - 1][2]));
    EXPECT_EQ(media.stationSpin, station == 2 ? 100 : 0);
    EXPECT_EQ(flightState().relativeRollRate - flightState().rollRate,
              static_cast<float>(media.stationSpin));
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(startTestGame(loop, 42)); }
    void TearDown() override { shutdownGame(); }

    void frame(Uint32 frameMs = 0) { runFrames(loop, 1, frameMs); }

    // Puts the craft at the station in a pose that docks for 18984 points or
    // crashes, keys held still held, and runs the frame that reaches it.
    void arrive(bool docks) {
        FlightState state;
        state.firingCount = flightState().firingCount;
        state.distance = 1.0f;
        state.relativeRollAngle = docks ? 180.0f : 90.0f;
        setFlightState(state);
        frame();
    }

    void enter() {
        pushKey(SDLK_RETURN, true);
        frame();
    }

    GameLoop loop;
};

TEST_F(GameTest, StartUpOpensTheWindowLoadsTheMediaAndStartsTheSound) {
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Halvanne");
    EXPECT_EQ(media.screen->w, 640);
    EXPECT_EQ(media.screen->h, 480);
    EXPECT_EQ(media.screen->format->BitsPerPixel, 32);
    for (SDL_Surface* picture : {media.panelImage, media.lightImage, media.handleImage,
                                 media.controlsImage, media.needleImage, media.shipImage}) {
        EXPECT_TRUE(picture != nullptr && (picture->flags & SDL_SRCCOLORKEY));
    }
    EXPECT_TRUE(media.crosshairsImage->flags & SDL_SRCALPHA);
    EXPECT_EQ(media.crosshairsImage->format->alpha, 128);
    for (const auto& [font, points] :
         {std::make_pair(media.readoutFont, 14), std::make_pair(media.messageFont, 32)}) {
        TTF_Font* expected = TTF_OpenFont("00_Starmap_Truetype.ttf", points);
        EXPECT_EQ(TTF_FontHeight(font), TTF_FontHeight(expected)) << points;
        TTF_CloseFont(expected);
    }
    EXPECT_NE(media.thrusterSound, nullptr);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(Mix_Playing(engineChannel));
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(loop.approachScale, 0.0f);
    EXPECT_EQ(flightState().distance, 20.0f);
}

// At start-up and at each restart the random draws come in their order and
// load the pictures they name: after a crash the station is drawn, after a
// docking the other one comes.
TEST_F(GameTest, StartAndRestartsDrawInOrder) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        shutdownGame();
        Draws d = drawsFrom(seed, true);
        ASSERT_TRUE(startTestGame(loop, seed));
        expectDrawn(d, d.station);
        arrive(false);
        d = drawsFrom(seed + 10, true);
        enter();
        expectDrawn(d, d.station);
        const int station = media.stationSpin == 100 ? 2 : 1;
        arrive(true);
        d = drawsFrom(seed + 20, false);
        enter();
        expectDrawn(d, 3 - station);
    }
}

TEST_F(GameTest, ArrivalIsJudgedInTheFrameAfterReachingTheStation) {
    FlightState state = flightState();
    state.distance = 0.5f;  // already past: still not judged in the first frame
    setFlightState(state);
    frame();
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(loop.approachScale, 2.0f);
    frame();
    EXPECT_NE(loop.approachPhase, Flying);
    loop.approachPhase = Flying;
    loop.approachScale = std::numeric_limits<float>::quiet_NaN();
    arrivalTest(loop);
    EXPECT_EQ(loop.approachPhase, Flying);
}

TEST_F(GameTest, EnterRestartsOnlyFromAnOutcomeAndPointsNeverCarryOver) {
    FlightState state = flightState();
    state.velocityZ = 40.0f;
    setFlightState(state);
    pushKey(SDLK_RETURN, true);
    frame(500);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_LT(flightState().distance, state.distance);  // no reset to 20
    arrive(true);
    frame();
    EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points), std::make_pair(Docked, 18984));
    enter();
    EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points), std::make_pair(Flying, 0));
    EXPECT_EQ(loop.approachScale, 0.0f);
    EXPECT_EQ(flightState().distance, 20.0f);
    frame();  // and the new approach is not judged at once
    EXPECT_EQ(loop.approachPhase, Flying);
    arrive(false);
    frame();
    EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points), std::make_pair(Crashed, 0));
    // Enter in the frame an approach ends restarts at once.
    arrive(true);
    enter();
    EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points), std::make_pair(Flying, 0));
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
            if (static_cast<Uint8*>(expected->pixels)[row * expected->pitch + column] != 0) {
                ++foreground;
                mismatches += pixelAt(media.screen, x + column, y + row) == Rgb{255, 0, 0} ? 0 : 1;
            }
        }
    }
    SDL_FreeSurface(expected);
    EXPECT_GT(foreground, 50);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(GameTest, DockedScreenShowsItsMessagesAndRedrawsTheScene) {
    arrive(true);
    fillSurface(media.screen, {255, 0, 255});
    frame();
    expectMessage("You docked successfully!", 100, 80);
    expectMessage("You got 18984 points!", 100, 120);
    expectMessage("Press Enter to try again.", 100, 160);
    EXPECT_FALSE(pixelAt(media.screen, 500, 300) == (Rgb{255, 0, 255}));
}

TEST_F(GameTest, CrashedScreenKeepsTheLastFlyingPicture) {
    arrive(false);
    const Rgb lastFlying = pixelAt(media.screen, 500, 300);
    frame();
    EXPECT_EQ(loop.approachPhase, Crashed);
    expectMessage("You crashed!", 100, 100);
    expectMessage("Press Enter to try again.", 100, 140);
    EXPECT_EQ(pixelAt(media.screen, 500, 300), lastFlying);
    // Nothing in the viewport is drawn again: a mark there survives.
    SDL_Rect mark = {480, 280, 20, 20};
    SDL_FillRect(media.screen, &mark, SDL_MapRGB(media.screen->format, 255, 0, 255));
    frame();
    EXPECT_EQ(pixelAt(media.screen, 490, 290), (Rgb{255, 0, 255}));
}

// Through SDL's queue and the real frame time: keys act on an outcome screen
// while the craft stands still, and Return with A held starts clean.
TEST_F(GameTest, KeysActOnAnOutcomeScreenAndReturnStartsClean) {
    loop.approachPhase = Crashed;
    const FlightState frozen = flightState();
    pushKey(SDLK_a, true, KMOD_RSHIFT);
    pushKey(SDLK_UP, true);
    loop.lastTicks -= 1000;  // a long frame, which would move a flying craft
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Crashed);
    const FlightState& s = flightState();
    EXPECT_EQ(std::make_tuple(s.thrustX, s.thrustZ, s.firingCount, s.forwardLamp),
              std::make_tuple(60, 60, 2, 1));
    EXPECT_EQ(std::make_pair(s.offsetX, s.distance),
              std::make_pair(frozen.offsetX, frozen.distance));
    pushKey(SDLK_UP, false);
    pushKey(SDLK_RETURN, true);
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Flying);
    pushKey(SDLK_a, false);
    runFrame(loop);
    EXPECT_EQ(std::make_tuple(s.thrustX, s.thrustZ, s.firingCount, s.upperRightLamp),
              std::make_tuple(0, 0, 0, 0));
}

// The mixer mixes a whole 4096-sample buffer at a time: a 10 ms fade ends
// at the next buffer, up to about 190 ms later, or more on a busy machine.
void waitForFadeToEnd() {
    for (int waited = 0; waited < 3000 && Mix_Playing(thrusterChannel); waited += 10) {
        SDL_Delay(10);
    }
}

// The hiss follows the keys held in Flying frames and stops on the outcome
// screens; the music, the hum and the icon run on across restarts.
TEST_F(GameTest, SoundFollowsTheKeysAndRunsOnAcrossRestarts) {
    frame();
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    pushKey(SDLK_a, true);
    frame();
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    pushKey(SDLK_UP, true);
    pushKey(SDLK_a, false);
    frame();
    EXPECT_EQ(firingCount(), 1);
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_NO_FADING);
    // With the mixer held still, the fade cannot end between the frames.
    SDL_PauseAudio(1);
    pushKey(SDLK_UP, false);
    frame();
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_FADING_OUT);
    // Pressed again while fading: not restarted in this frame.
    pushKey(SDLK_UP, true);
    frame();
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_FADING_OUT);
    SDL_PauseAudio(0);
    waitForFadeToEnd();
    frame();
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_NO_FADING);

    setIconClock(3, SDL_GetTicks() - 5000);
    arrive(false);  // with Up still held
    frame();
    waitForFadeToEnd();
    frame();
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    enter();
    EXPECT_EQ(iconStep(), 4);  // stepped in the last Flying frame only
    frame();
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(Mix_Playing(engineChannel));
}

}  // namespace
