// Start-up and shutdown of the real game on SDL's dummy drivers.
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

// True when two surfaces hold the same picture.
bool samePicture(SDL_Surface* a, SDL_Surface* b) {
    if (a == nullptr || b == nullptr || a->w != b->w || a->h != b->h) {
        return false;
    }
    for (int y = 0; y < a->h; y += 7) {
        for (int x = 0; x < a->w; x += 7) {
            if (!(pixelAt(a, x, y) == pixelAt(b, x, y))) {
                return false;
            }
        }
    }
    return true;
}

TEST(StartupTest, OpensTheWindowLoadsTheMediaAndStartsTheSound) {
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 7));
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Halvanne");
    EXPECT_EQ(media.screen->w, 640);
    EXPECT_EQ(media.screen->h, 480);
    EXPECT_EQ(media.screen->format->BitsPerPixel, 32);
    EXPECT_NE(media.readoutFont, nullptr);
    EXPECT_NE(media.messageFont, nullptr);
    for (SDL_Surface* image :
         {media.panelImage, media.crosshairsImage, media.lightImage, media.handleImage,
          media.controlsImage, media.needleImage, media.shipImage, media.backgroundImage,
          media.stationLow, media.stationMed, media.stationFull}) {
        EXPECT_NE(image, nullptr);
    }
    EXPECT_TRUE(media.crosshairsImage->flags & SDL_SRCALPHA);
    EXPECT_EQ(media.crosshairsImage->format->alpha, 128);
    EXPECT_TRUE(media.panelImage->flags & SDL_SRCCOLORKEY);
    EXPECT_NE(media.musicTrack, nullptr);
    EXPECT_NE(media.engineLoop, nullptr);
    EXPECT_NE(media.thrusterSound, nullptr);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(Mix_Playing(engineChannel));
    EXPECT_FALSE(Mix_Playing(thrusterChannel));
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(loop.approachScale, 0.0f);
    EXPECT_EQ(flightState().distance, 20.0f);
    shutdownGame();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    EXPECT_EQ(TTF_WasInit(), 0);
}

// The random draws of start-up: the background (one or two), the station
// (one), then the eleven of the approach's reset.
TEST(StartupTest, DrawsBackgroundStationAndResetInOrder) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        const int background = drawBackgroundNumber();
        const int station = std::rand() % 2 == 0 ? 1 : 2;
        for (int draw = 0; draw < 11; ++draw) {
            std::rand();
        }
        const int next = std::rand();

        GameLoop loop;
        ASSERT_TRUE(startTestGame(loop, seed));
        EXPECT_EQ(std::rand(), next);
        EXPECT_EQ(media.stationSpin, station == 2 ? 100 : 0);
        EXPECT_EQ(flightState().relativeRollRate - flightState().rollRate,
                  static_cast<float>(media.stationSpin));
        const char* files[] = {"", "background1.jpg", "background2.jpg", "background3.jpg"};
        SDL_Surface* expected = loadImage(files[background]);
        EXPECT_TRUE(samePicture(media.backgroundImage, expected));
        SDL_FreeSurface(expected);
        expected = loadImage(station == 2 ? "spacestation2.png" : "spacestation1.png");
        EXPECT_TRUE(samePicture(media.stationFull, expected));
        SDL_FreeSurface(expected);
        shutdownGame();
    }
}

TEST(StartupTest, EachBackgroundAndStationAboutOneTimeInThreeAndTwo) {
    std::srand(11);
    int backgrounds[4] = {0, 0, 0, 0};
    int stations[3] = {0, 0, 0};
    const int draws = 30000;
    for (int i = 0; i < draws; ++i) {
        ++backgrounds[drawBackgroundNumber()];
        ++stations[std::rand() % 2 == 0 ? 1 : 2];
    }
    for (int n = 1; n <= 3; ++n) {
        EXPECT_NEAR(backgrounds[n], draws / 3, draws / 30);
    }
    EXPECT_NEAR(stations[1], draws / 2, draws / 30);
}

TEST(StartupTest, NoAudioDeviceEndsSilentlyWithoutMedia) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    GameLoop loop;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(startGame(loop));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(media.readoutFont, nullptr);
    EXPECT_EQ(media.panelImage, nullptr);
    SDL_Quit();
}

}  // namespace
