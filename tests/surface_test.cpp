// Loading pictures with their white colour key, and blitting them.
#include "view/surface.h"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "shell/media.h"
#include "test_support.h"

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        openTestScreen();
        fillSurface(media.screen, {10, 20, 30});
    }
    void TearDown() override { closeTestScreen(); }
};

// A 4 x 1 picture: pure white, almost white, red, blue; written with
// ImageMagick so that the test reads a real PNG or JPEG file.
std::string writePicture(const char* extension) {
    const std::string path = std::string("/tmp/halvanne_surface_test.") + extension;
    const std::string ppm = "/tmp/halvanne_surface_test.ppm";
    FILE* file = std::fopen(ppm.c_str(), "wb");
    const unsigned char pixels[] = {255, 255, 255, 254, 255, 255, 200, 0, 0, 0, 0, 200};
    std::fprintf(file, "P6 4 1 255\n");
    std::fwrite(pixels, 1, sizeof pixels, file);
    std::fclose(file);
    const std::string command =
        "convert " + ppm + " -quality 100 -sampling-factor 1x1 " + path + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return path;
}

TEST_F(SurfaceTest, MissingFileGivesNullAndKeepsNoSurface) {
    loadImage("no_such_picture.png");  // warms up the loader's own state
    const std::size_t before = heapInUse();
    EXPECT_EQ(loadImage("no_such_picture.png"), nullptr);
    EXPECT_EQ(loadImage("/tmp"), nullptr);
    EXPECT_LE(heapInUse(), before + 256);
}

TEST_F(SurfaceTest, PureWhiteIsTransparentAndAlmostWhiteIsDrawn) {
    for (const char* extension : {"png", "jpg"}) {
        SCOPED_TRACE(extension);
        SDL_Surface* picture = loadImage(writePicture(extension));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->format->BitsPerPixel, media.screen->format->BitsPerPixel);
        applySurface(100, 100, picture, media.screen);
        EXPECT_EQ(pixelAt(media.screen, 100, 100), (Rgb{10, 20, 30}));
        const Rgb almostWhite = pixelAt(media.screen, 101, 100);
        EXPECT_GE(almostWhite.r, 250);
        EXPECT_FALSE(almostWhite == (Rgb{10, 20, 30}));
        EXPECT_GE(pixelAt(media.screen, 102, 100).r, 190);
        SDL_FreeSurface(picture);
    }
}

// Blits of a 20 x 10 source whose column c has the colour (c, 100, 0).
struct BlitCase {
    const char* name;
    int x, y;
    bool withClip;
    SDL_Rect clip;
    int screenX, screenY;  // where to look
    int expectedRed;       // -1: untouched background
};

TEST_F(SurfaceTest, BlitsWholeClippedAndOffScreen) {
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 10, 32, 0, 0, 0, 0);
    for (int column = 0; column < 20; ++column) {
        SDL_Rect stripe = {static_cast<Sint16>(column), 0, 1, 10};
        SDL_FillRect(source, &stripe, SDL_MapRGB(source->format, column, 100, 0));
    }
    const BlitCase cases[] = {
        {"whole source, first column", 30, 40, false, {}, 30, 40, 0},
        {"whole source, last column", 30, 40, false, {}, 49, 49, 19},
        {"whole source, past its end", 30, 40, false, {}, 50, 40, -1},
        {"clip lands at the position", 30, 40, true, {5, 2, 4, 4}, 30, 40, 5},
        {"clip ends where it says", 30, 40, true, {5, 2, 4, 4}, 34, 40, -1},
        {"negative position shows the rest", -5, -3, false, {}, 0, 0, 5},
        {"clip left of the source shifts right", 0, 0, true, {-10, 0, 20, 10}, 10, 0, 0},
        {"clip left of the source leaves the gap", 0, 0, true, {-10, 0, 20, 10}, 9, 0, -1},
        {"clip past the right edge copies the overlap", 0, 0, true, {15, 0, 20, 10}, 4, 0, 19},
        {"clip past the right edge stops there", 0, 0, true, {15, 0, 20, 10}, 5, 0, -1},
    };
    for (const BlitCase& blit : cases) {
        SCOPED_TRACE(blit.name);
        fillSurface(media.screen, {10, 20, 30});
        SDL_Rect clip = blit.clip;
        applySurface(blit.x, blit.y, source, media.screen, blit.withClip ? &clip : nullptr);
        const Rgb seen = pixelAt(media.screen, blit.screenX, blit.screenY);
        if (blit.expectedRed < 0) {
            EXPECT_EQ(seen, (Rgb{10, 20, 30}));
        } else {
            EXPECT_EQ(seen, (Rgb{blit.expectedRed, 100, 0}));
        }
    }
    applySurface(0, 0, nullptr, media.screen);  // a missing picture draws nothing
    applySurface(0, 0, source, nullptr);
    SDL_FreeSurface(source);
}

TEST(SurfaceConversionTest, DefinedForEveryValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncToInt(-0.7), 0);
    EXPECT_EQ(truncToInt(2.9), 2);
    EXPECT_EQ(truncToInt(-2.9), -2);
    EXPECT_EQ(truncToInt(nan), 0);
    EXPECT_EQ(truncToInt(inf), std::numeric_limits<int>::max());
    EXPECT_EQ(truncToInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(clampToSint16(40000.0), 32767);
    EXPECT_EQ(clampToSint16(-40000.0), -32768);
    EXPECT_EQ(clampToSint16(-12.5), -12);
    EXPECT_EQ(clampToUint16(-3.0), 0);
    EXPECT_EQ(clampToUint16(1e9), 65535);
    EXPECT_EQ(clampToUint16(nan), 0);
}

}  // namespace
