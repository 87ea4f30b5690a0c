// The real game on SDL's dummy drivers with the run directory's media: the
// program's main function, start-up and shutdown, the event poll, the random
// draws, the arrival, the outcome screens, the restart and the sound, and
// real frames in extreme states.
#include <SDL/SDL_mixer.h>

#include <cfloat>
#include <cstring>
#include <iterator>
#include <thread>

#include "flight/docking.h"
#include "shell/outcome.h"
#include "test_support.h"

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

// The keys pressed and released before a poll (E Escape, R Return, S
// Shift+Escape, K keypad Enter, a; Q a window close), then the results of
// polls in a row.
TEST(Game, PollTakesEveryEventAndReturnsItsControlCode) {
    openTestScreen();
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"", {pollNothing}},   {"E", {pollQuit, pollNothing}},
        {"R", {pollTryAgain}}, {"ER", {pollTryAgain}},
        {"RE", {pollQuit}},    {"Ka", {pollNothing}},
        {"S", {pollQuit}},     {"RQR", {pollQuit, pollTryAgain, pollNothing}}};
    for (const auto& [events, results] : cases) {
        SCOPED_TRACE(events);
        for (const char* e = events; *e != 0; ++e) {
            const SDLKey key = *e == 'R'   ? SDLK_RETURN
                               : *e == 'K' ? SDLK_KP_ENTER
                               : *e == 'a' ? SDLK_a
                                           : SDLK_ESCAPE;
            *e == 'Q' ? pushQuit() : void(pushKey(key, true, *e == 'S' ? KMOD_LSHIFT : KMOD_NONE));
            pushKey(key, false);
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
bool showsFile(SDL_Surface* shown, const std::string& file) {
    SDL_Surface* expected = loadImage(file);
    const bool same = shown != nullptr && expected != nullptr && shown->h == expected->h &&
                      shown->pitch == expected->pitch &&
                      std::memcmp(shown->pixels, expected->pixels, shown->h * shown->pitch) == 0;
    SDL_FreeSurface(expected);
    return same;
}

// The direction of a patch from the sight, in degrees counter-clockwise from
// the right, and how far apart two directions are (0 to 180).
double wayOf(const Patch& patch) {
    return std::atan2(viewportCentreY - patch.y, patch.x - viewportCentreX) * 180 / M_PI;
}
double turnBetween(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

// The game drew from seed: the background (one or two draws), the station
// (one draw, when drawsStation, else the given one), then the eleven draws of
// the reset; the pictures of those numbers are loaded and rand goes on from
// there.
void expectDrawn(unsigned seed, bool drawsStation, int station = 0) {
    const int next = std::rand();
    std::srand(seed);
    const int background = std::rand() % 3 == 0 ? 1 : std::rand() % 2 == 0 ? 2 : 3;
    station = drawsStation ? (std::rand() % 2 == 0 ? 1 : 2) : station;
    for (int i = 0; i < 11; ++i) {
        std::rand();
    }
    EXPECT_EQ(std::rand(), next);
    const std::string name = "spacestation" + std::to_string(station);
    EXPECT_TRUE(
        showsFile(media.backgroundImage, "background" + std::to_string(background) + ".jpg"));
    EXPECT_TRUE(showsFile(media.stationLow, name + "low.png"));
    EXPECT_TRUE(showsFile(media.stationMed, name + "med.png"));
    EXPECT_TRUE(showsFile(media.stationFull, name + ".png"));
    EXPECT_EQ(media.stationSpin, station == 2 ? 100 : 0);
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

// At start-up and at each restart the random draws come in their order and
// load the pictures they name: after a crash the station is drawn, after a
// docking the other one comes. None keeps a picture it no longer shows: the
// third round takes far less heap than one picture more than the second.
// With every file in place, none of it says a word.
TEST_F(GameTest, StartAndRestartsDrawInOrder) {
    std::size_t heap[3] = {};
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        shutdownGame();
        testing::internal::CaptureStderr();
        ASSERT_TRUE(startTestGame(loop, seed));
        expectDrawn(seed, true);
        arrive(false);
        std::srand(seed + 10);
        enter();
        expectDrawn(seed + 10, true);
        const int station = media.stationSpin == 100 ? 2 : 1;
        arrive(true);
        std::srand(seed + 20);
        enter();
        expectDrawn(seed + 20, false, 3 - station);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        heap[seed - 1] = heapInUse();
    }
    EXPECT_LT(heap[2], heap[1] + 1000000);
}

// Enter restarts only from an outcome screen, and points never carry over.
// Each outcome screen shows its lines in red, every foreground pixel of each
// at its place: the docked one over the docked scene drawn anew, the crashed
// one over the last Flying picture, where a mark put in the view survives.
// The sight is half transparent; the fonts are the game's at 14 and 32 points.
TEST_F(GameTest, EnterRestartsOnlyFromAnOutcomeShownWithItsMessages) {
    EXPECT_TRUE(media.crosshairsImage->flags & SDL_SRCALPHA);
    EXPECT_EQ(media.crosshairsImage->format->alpha, 128);
    const std::pair<TTF_Font*, int> fonts[] = {{media.readoutFont, 14}, {media.messageFont, 32}};
    for (const auto& [font, points] : fonts) {
        TTF_Font* expected = TTF_OpenFont("00_Starmap_Truetype.ttf", points);
        EXPECT_EQ(TTF_FontHeight(font), TTF_FontHeight(expected)) << points;
        TTF_CloseFont(expected);
    }
    FlightState state = flightState();
    state.velocityZ = 40.0f;
    setFlightState(state);
    pushKey(SDLK_RETURN, true);
    loop.lastTicks = SDL_GetTicks() - 500;  // a real frame, timed as the game times it
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_LT(flightState().distance, state.distance);  // no reset to 20
    const std::tuple<bool, int, std::vector<const char*>> screens[] = {
        {true,
         80,
         {"You docked successfully!", "You got 18984 points!", "Press Enter to try again."}},
        {false, 100, {"You crashed!", "Press Enter to try again."}}};
    for (const auto& [docks, top, lines] : screens) {
        arrive(docks);  // judged in the frame after reaching the station
        EXPECT_EQ(loop.approachPhase, Flying);
        SDL_Rect mark = {480, 280, 20, 20};
        SDL_FillRect(media.screen, &mark, SDL_MapRGB(media.screen->format, 255, 0, 255));
        frame();
        EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points),
                  std::make_pair(docks ? Docked : Crashed, docks ? 18984 : 0));
        EXPECT_EQ(pixelAt(media.screen, 490, 290) == (Rgb{255, 0, 255}), !docks);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            SDL_Surface* text = TTF_RenderText_Solid(media.messageFont, lines[i], {255, 0, 0, 0});
            EXPECT_TRUE(shows(text, 100, top + 40 * static_cast<int>(i))) << lines[i];
            SDL_FreeSurface(text);
        }
        enter();
        EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points), std::make_pair(Flying, 0));
        EXPECT_EQ(loop.approachScale, 0.0f);
        EXPECT_EQ(flightState().distance, 20.0f);
        frame();  // and the new approach is not judged at once
        EXPECT_EQ(loop.approachPhase, Flying);
    }
    // Enter in the frame an approach ends restarts at once.
    arrive(true);
    enter();
    EXPECT_EQ(std::make_pair(loop.approachPhase, loop.points), std::make_pair(Flying, 0));
}

// The station's roll reads at every roll with the red label over it, from
// the start distance on: its orange arrow points to its top and its magenta
// tail the other way; where the label (right of and below the centre) covers
// the arrow, the tail shows, and each shows in its own direction.
TEST_F(GameTest, TheStationsRollReadsUnderTheLabel) {
    const auto orange = [](Rgb c) { return c.r >= 180 && c.g >= 70 && c.g <= 170 && c.b <= 90; };
    for (const int station : {1, 2}) {
        loadStationSet(station);
        for (const float distance : {20.0f, 8.0f, 2.5f}) {
            for (int roll = 0; roll < 360; roll += 15) {
                SCOPED_TRACE(std::to_string(station) + " at " + std::to_string(distance) +
                             ", roll " + std::to_string(roll));
                FlightState state;
                state.distance = distance;
                state.relativeRollAngle = static_cast<float>(roll);
                setFlightState(state);
                frame();
                const Patch arrow = patchIn(media.screen, orange);
                const Patch tail = patchIn(media.screen, tailColour);
                const auto minimum = static_cast<int>(5 * (20 / distance) * (20 / distance));
                const bool arrowUnderLabel = roll > 180 && roll < 270;
                EXPECT_GE(arrowUnderLabel ? tail.count : std::max(arrow.count, tail.count),
                          minimum);
                EXPECT_LT(turnBetween(wayOf(tail), roll - 90), 15) << tail.count;
                if (!arrowUnderLabel) {
                    EXPECT_GE(arrow.count, minimum);
                    EXPECT_LT(turnBetween(wayOf(arrow), roll + 90), 15) << arrow.count;
                }
            }
        }
    }
}

// The mixer mixes a whole 4096-sample buffer at a time: a 10 ms fade ends
// at the next buffer, up to about 190 ms later, or more on a busy machine.
void waitForFadeToEnd() {
    for (int waited = 0; waited < 3000 && Mix_Playing(thrusterChannel); waited += 10) {
        SDL_Delay(10);
    }
}

// Start-up starts the music and the hum; the hiss follows the keys held in
// Flying frames, a fading hiss ends before it starts again, and the outcome
// screens stop it; the music and the hum run on across restarts.
TEST_F(GameTest, SoundFollowsTheKeysAndRunsOnAcrossRestarts) {
    EXPECT_TRUE(Mix_PlayingMusic() && Mix_Playing(engineChannel));
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    pushKey(SDLK_UP, true);
    frame();
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_NO_FADING);
    // With the mixer held still, the fade cannot end between the frames.
    SDL_PauseAudio(1);
    pushKey(SDLK_UP, false);
    frame();
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_FADING_OUT);
    pushKey(SDLK_UP, true);
    frame();
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_FADING_OUT);
    SDL_PauseAudio(0);
    waitForFadeToEnd();
    frame();
    EXPECT_TRUE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(Mix_FadingChannel(thrusterChannel), MIX_NO_FADING);
    arrive(false);  // with Up still held
    frame();
    waitForFadeToEnd();
    frame();
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    enter();
    frame();
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(Mix_Playing(engineChannel));
}

// States that long or odd approaches reach: offsets far off the screen,
// distances around 0 and 1 and behind the station, huge and non-finite speeds,
// angles and scales, frame times up to the tick counter's wrap. Each runs as a
// real frame in each phase with the real media. The judgement stays in its
// range, no frame plans a surface beyond the scene's caps (the turned sizes
// that SDL_gfx makes of the plans: scene_test), and a third round
// of the same frames takes no more heap than the second (the first fills the
// libraries' caches; the mixer, which allocates as it decodes, waits).
TEST(ExtremeStates, RealFramesInEveryPhase) {
    constexpr float inf = INFINITY;
    const float values[] = {0,      0.0023f, 0.3f, -1,    1.0001f, 2,        4,   44.9f,
                            180.5f, -437,    4e4f, -1e9f, 1e30f,   -FLT_MAX, inf, NAN};
    const float scales[] = {-inf, -1e30f, -600, -4,   -0.0f,   1e-3f, 0.3f,
                            1,    3,      437,  1e6f, FLT_MAX, NAN};
    const Uint32 frameTimes[] = {0, 17, 60, 65535, 2147483648u, 4294967295u};
    using S = FlightState;
    float S::*const fields[] = {
        &S::velocityX, &S::velocityY, &S::velocityZ, &S::offsetX,          &S::offsetY,
        &S::distance,  &S::rollRate,  &S::rollAngle, &S::relativeRollRate, &S::relativeRollAngle};
    constexpr std::size_t count = std::size(values);
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 99));
    SDL_LockAudio();
    std::size_t heap[3] = {};
    for (std::size_t& inUse : heap) {
        int largestCrop = 0;
        int largestTurned = 0;
        std::size_t k = 0;
        for (const float scale : scales) {
            for (std::size_t v = 0; v < count; ++v, ++k) {
                // Each field takes every value, beside other values of the rest.
                FlightState s;
                for (std::size_t f = 0; f < std::size(fields); ++f) {
                    s.*fields[f] = values[(v + 7 * f + k / count) % count];
                }
                s.thrustX = s.thrustZ = 60 * static_cast<int>(k % 3) - 60;
                s.thrustY = s.thrustRoll = 60 - 60 * static_cast<int>(k / 3 % 3);
                setFlightState(s);
                loop.approachPhase = static_cast<ApproachPhase>(k % 3);
                loop.approachScale = scale;
                loop.frameMs = frameTimes[k % std::size(frameTimes)];
                loop.points = 0;
                SCOPED_TRACE(testing::Message() << "case " << k << ", scale " << scale);
                const int score = assessDocking();
                EXPECT_TRUE(score >= 0 && score <= 18984) << score;
                const bool arrives = loop.approachPhase == Flying && scale >= 1.0f;
                runFrameWork(loop);
                SDL_Flip(media.screen);
                if (arrives) {
                    EXPECT_EQ(loop.approachPhase, score > 0 ? Docked : Crashed);
                    EXPECT_EQ(loop.points, score);
                }
                // The plans that this frame's scene drew by.
                const FlightState& f = flightState();
                const ScenePlans plans =
                    loop.approachPhase == Flying
                        ? approachPlans({loop.approachScale, f.relativeRollAngle, f.rollAngle,
                                         f.offsetX, f.offsetY, f.relativeRollCos, f.relativeRollSin,
                                         f.rollCos, f.rollSin})
                        : dockedPlans(loop.approachScale);
                for (const LayerPlan& plan : {plans.background, plans.station}) {
                    if (loop.approachPhase != Crashed && plan.drawn) {
                        largestTurned =
                            std::max({largestTurned, plan.turnedWidth, plan.turnedHeight});
                        largestCrop = std::max<int>({largestCrop, plan.cropped ? plan.crop.w : 0,
                                                     plan.cropped ? plan.crop.h : 0});
                    }
                }
            }
        }
        EXPECT_GT(std::min(largestTurned, largestCrop), 100);
        EXPECT_LE(largestTurned, maxTurnedSide);
        EXPECT_LE(largestCrop, maxCropSide);
        inUse = heapInUse();
    }
    EXPECT_LE(heap[2], heap[1]);
    SDL_UnlockAudio();
    shutdownGame();
}

}  // namespace
