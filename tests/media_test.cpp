// The generated media as the game reads them: picture sizes, pure white (the colour key) only
// where something must show through, sound formats and loop seams, and the theme's length.
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Picture = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

class Media : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    static Picture load(const std::string& name) {
        Picture picture(IMG_Load(name.c_str()), SDL_FreeSurface);
        EXPECT_NE(picture, nullptr) << name << ": " << IMG_GetError();
        return picture;
    }
};

const Rgb pureWhite = {255, 255, 255};
const Rgb pureBlack = {0, 0, 0};

// Counts the pure-white pixels of a rectangle.
int whites(SDL_Surface* s, int x0, int y0, int w, int h) {
    int count = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            count += pixelAt(s, x, y) == pureWhite ? 1 : 0;
        }
    }
    return count;
}

struct Size {
    const char* file;
    int w, h;
    bool opaque;  // no colour-key pixel at all
};

TEST_F(Media, PicturesHaveTheirSizesAndOpaqueOnesNoKeyColour) {
    const Size table[] = {
        {"uistatic3.png", 640, 480, false},     {"crosshairs.png", 540, 300, false},
        {"light.png", 16, 16, false},           {"handle.png", 50, 60, false},
        {"uicontrols.png", 240, 240, true},     {"needle.png", 40, 30, true},
        {"spaceshipgreen.png", 300, 300, true}, {"halvanne.png", 32, 32, false}};
    for (const Size& want : table) {
        SCOPED_TRACE(want.file);
        Picture p = load(want.file);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->w, want.w);
        EXPECT_EQ(p->h, want.h);
        const int keyed = whites(p.get(), 0, 0, p->w, p->h);
        if (want.opaque) {
            EXPECT_EQ(keyed, 0);
        } else {
            EXPECT_GT(keyed, 0);
            EXPECT_LT(keyed, p->w * p->h);
        }
    }
}

TEST_F(Media, PanelIsOpenOverTheViewAndTheNeedleOnly) {
    Picture panel = load("uistatic3.png");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(whites(panel.get(), 50, 50, 540, 300), 540 * 300);
    EXPECT_EQ(whites(panel.get(), 170, 370, 40, 30), 40 * 30);
    EXPECT_EQ(whites(panel.get(), 0, 0, 640, 480), 540 * 300 + 40 * 30);
    // The readouts are dark green text: the screen behind them is pale.
    for (int y = 395; y < 455; y += 5) {
        for (int x = 415; x < 615; x += 10) {
            const Rgb c = pixelAt(panel.get(), x, y);
            EXPECT_GT(c.r + c.g + c.b, 3 * 150) << x << "," << y;
        }
    }
}

TEST_F(Media, CrosshairsAreASightOnAKeyedGround) {
    Picture sight = load("crosshairs.png");
    ASSERT_NE(sight, nullptr);
    EXPECT_FALSE(pixelAt(sight.get(), 270, 150) == pureWhite);
    EXPECT_TRUE(pixelAt(sight.get(), 2, 2) == pureWhite);
    EXPECT_GT(whites(sight.get(), 0, 0, 540, 300), 540 * 300 * 9 / 10);
}

TEST_F(Media, StationsShrinkByHalvesAroundAPortAtTheCentre) {
    const char* const levels[2][3] = {
        {"spacestation1.png", "spacestation1med.png", "spacestation1low.png"},
        {"spacestation2.png", "spacestation2med.png", "spacestation2low.png"}};
    for (const auto& station : levels) {
        Picture full = load(station[0]);
        ASSERT_NE(full, nullptr);
        EXPECT_EQ(full->w % 4, 0);
        EXPECT_EQ(full->h % 4, 0);
        for (int level = 0; level < 3; ++level) {
            SCOPED_TRACE(station[level]);
            Picture p = level == 0 ? Picture(nullptr, SDL_FreeSurface) : load(station[level]);
            SDL_Surface* s = level == 0 ? full.get() : p.get();
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->w, full->w >> level);
            EXPECT_EQ(s->h, full->h >> level);
            EXPECT_TRUE(pixelAt(s, 0, 0) == pureWhite);
            EXPECT_TRUE(pixelAt(s, s->w - 1, s->h - 1) == pureWhite);
            EXPECT_FALSE(pixelAt(s, s->w / 2, s->h / 2) == pureWhite);
            int black = 0;
            for (int y = 0; y < s->h; ++y) {
                for (int x = 0; x < s->w; ++x) {
                    black += pixelAt(s, x, y) == pureBlack ? 1 : 0;
                }
            }
            EXPECT_EQ(black, 0);
        }
    }
}

TEST_F(Media, BackgroundsAreLargeAndNeverDecodeToTheKey) {
    for (const char* file : {"background1.jpg", "background2.jpg", "background3.jpg"}) {
        SCOPED_TRACE(file);
        Picture p = load(file);
        ASSERT_NE(p, nullptr);
        EXPECT_GE(p->w, 1400);
        EXPECT_GE(p->h, 1100);
        EXPECT_EQ(whites(p.get(), 0, 0, p->w, p->h), 0);
    }
}

std::vector<unsigned char> readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned le(const std::vector<unsigned char>& d, std::size_t at, int bytes) {
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | d.at(at + static_cast<std::size_t>(i));
    }
    return v;
}

TEST_F(Media, SoundLoopsArePcm22050AndCloseWithoutAClick) {
    for (const char* file : {"engineloop.wav", "thruster.wav"}) {
        SCOPED_TRACE(file);
        const std::vector<unsigned char> d = readFile(file);
        ASSERT_GT(d.size(), 44u);
        ASSERT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
        ASSERT_EQ(std::string(d.begin() + 8, d.begin() + 12), "WAVE");
        unsigned channels = 0, rate = 0, bits = 0, format = 0;
        std::size_t data = 0, dataSize = 0;
        for (std::size_t at = 12; at + 8 <= d.size(); at += 8 + ((le(d, at + 4, 4) + 1) & ~1u)) {
            const std::string id(d.begin() + static_cast<long>(at),
                                 d.begin() + static_cast<long>(at) + 4);
            if (id == "fmt ") {
                format = le(d, at + 8, 2);
                channels = le(d, at + 10, 2);
                rate = le(d, at + 12, 4);
                bits = le(d, at + 22, 2);
            } else if (id == "data") {
                data = at + 8;
                dataSize = le(d, at + 4, 4);
                break;
            }
        }
        EXPECT_EQ(format, 1u);
        EXPECT_EQ(bits, 16u);
        EXPECT_EQ(rate, 22050u);
        ASSERT_GE(channels, 1u);
        const std::size_t frames = dataSize / (2 * channels);
        ASSERT_GT(frames, rate / 2);
        for (unsigned c = 0; c < channels; ++c) {
            const auto first = static_cast<int16_t>(le(d, data + 2 * c, 2));
            const auto last =
                static_cast<int16_t>(le(d, data + (frames - 1) * 2 * channels + 2 * c, 2));
            EXPECT_LT(std::abs(last - first), 32768 * 3 / 100) << "channel " << c;
        }
    }
}

TEST_F(Media, ThemeLastsAMinuteAtLeast) {
    const std::vector<unsigned char> d = readFile("HalvanneTheme.mp3");
    std::size_t at = 0;
    if (d.size() > 10 && d[0] == 'I' && d[1] == 'D' && d[2] == '3') {
        at = 10 +
             ((d[6] & 0x7fu) << 21 | (d[7] & 0x7fu) << 14 | (d[8] & 0x7fu) << 7 | (d[9] & 0x7fu));
    }
    const int bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    const int rates[4] = {44100, 48000, 32000, 0};
    double seconds = 0;
    int frames = 0;
    while (at + 4 <= d.size() && d[at] == 0xff && (d[at + 1] & 0xfe) == 0xfa) {  // MPEG-1 layer III
        const int kbps = bitrates[d[at + 2] >> 4];
        const int rate = rates[(d[at + 2] >> 2) & 3];
        ASSERT_TRUE(kbps > 0 && rate > 0) << "bad frame header at byte " << at;
        at += static_cast<std::size_t>(144000 * kbps / rate + ((d[at + 2] >> 1) & 1));
        seconds += 1152.0 / rate;
        ++frames;
    }
    EXPECT_GE(at, d.size() - 128) << "frames stop at byte " << at << " of " << d.size();
    EXPECT_GT(frames, 0);
    EXPECT_GE(seconds, 60.0);
}

}  // namespace
