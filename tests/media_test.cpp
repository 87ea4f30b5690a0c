// The generated media as the game reads them: picture sizes, pure white (the
// colour key) only where something must show through and no pure black (the
// turned station's key) in a station, sound formats and loop seams, and the
// theme's length.
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>

#include "test_support.h"

namespace {

using Picture = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Picture load(const std::string& name) {
    return Picture(IMG_Load(name.c_str()), SDL_FreeSurface);
}

// How many pixels of a rectangle (the whole picture by default) have the colour.
int count(const Picture& p, Rgb colour, int x0 = 0, int y0 = 0, int w = 0, int h = 0) {
    int n = 0;
    for (int y = y0; y < y0 + (h > 0 ? h : p->h); ++y) {
        for (int x = x0; x < x0 + (w > 0 ? w : p->w); ++x) {
            n += pixelAt(p.get(), x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

const Rgb white = {255, 255, 255};

TEST(Media, PicturesHaveTheirSizesAndTheKeyOnlyWhereThingsShowThrough) {
    ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
    // File, width, height, and whether some pixels are pure white.
    const std::tuple<const char*, int, int, bool> sizes[] = {
        {"uistatic3.png", 640, 480, true},
        {"crosshairs.png", 540, 300, true},
        {"light.png", 16, 16, true},
        {"handle.png", 50, 60, true},
        {"uicontrols.png", 240, 240, false},
        {"needle.png", 40, 30, false},
        {"spaceshipgreen.png", 300, 300, false},
        {"halvanne.png", 32, 32, true},
        {"background1.jpg", 1600, 1200, false},
        {"background2.jpg", 1600, 1200, false},
        {"background3.jpg", 1600, 1200, false}};
    for (const auto& [file, w, h, keyed] : sizes) {
        const Picture p = load(file);
        ASSERT_NE(p, nullptr) << file;
        EXPECT_EQ(std::make_pair(p->w, p->h), std::make_pair(w, h)) << file;
        const int whites = count(p, white);
        EXPECT_TRUE(keyed ? whites > 0 && whites < w * h : whites == 0) << file;
    }
    // The panel is open over the view and the needle only; behind the dark
    // green readouts it is pale.
    const Picture panel = load("uistatic3.png");
    EXPECT_EQ(count(panel, white, 50, 50, 540, 300), 540 * 300);
    EXPECT_EQ(count(panel, white, 170, 370, 40, 30), 40 * 30);
    EXPECT_EQ(count(panel, white), 540 * 300 + 40 * 30);
    for (int y = 395; y < 455; y += 5) {
        for (int x = 415; x < 615; x += 10) {
            const Rgb c = pixelAt(panel.get(), x, y);
            EXPECT_GT(c.r + c.g + c.b, 3 * 150) << x << "," << y;
        }
    }
    // The crosshairs are a sight on a keyed ground.
    const Picture sight = load("crosshairs.png");
    EXPECT_FALSE(pixelAt(sight.get(), 270, 150) == white);
    EXPECT_GT(count(sight, white), 540 * 300 * 9 / 10);
    // Each station shrinks by halves around a port at the centre.
    for (const char* station : {"spacestation1", "spacestation2"}) {
        const Picture full = load(std::string(station) + ".png");
        for (const char* level : {"", "med", "low"}) {
            SCOPED_TRACE(std::string(station) + level);
            const Picture p = load(std::string(station) + level + ".png");
            ASSERT_NE(p, nullptr);
            const int shrink = *level == 0 ? 1 : *level == 'm' ? 2 : 4;
            EXPECT_EQ(std::make_pair(p->w * shrink, p->h * shrink),
                      std::make_pair(full->w, full->h));
            EXPECT_TRUE(pixelAt(p.get(), 0, 0) == white &&
                        pixelAt(p.get(), p->w - 1, p->h - 1) == white);
            EXPECT_FALSE(pixelAt(p.get(), p->w / 2, p->h / 2) == white);
            EXPECT_EQ(count(p, {0, 0, 0}), 0);
        }
    }
    SDL_Quit();
}

TEST(Media, SoundLoopsArePcm22050AndCloseWithoutAClick) {
    for (const char* file : {"engineloop.wav", "thruster.wav"}) {
        SDL_AudioSpec spec;
        Uint8* data = nullptr;
        Uint32 bytes = 0;
        ASSERT_NE(SDL_LoadWAV(file, &spec, &data, &bytes), nullptr) << file;
        EXPECT_EQ(spec.format, AUDIO_S16LSB) << file;
        EXPECT_EQ(spec.freq, 22050) << file;
        const Sint16* samples = reinterpret_cast<const Sint16*>(data);
        const Uint32 frames = bytes / 2 / spec.channels;
        EXPECT_GT(frames, 22050u / 2) << file;
        for (Uint32 c = 0; c < spec.channels; ++c) {
            EXPECT_LT(std::abs(samples[(frames - 1) * spec.channels + c] - samples[c]),
                      32768 * 3 / 100)
                << file << " channel " << c;
        }
        SDL_FreeWAV(data);
    }
}

TEST(Media, ThemeLastsAMinuteAtLeast) {
    std::ifstream in("HalvanneTheme.mp3", std::ios::binary);
    const std::string d{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto byte = [&d](std::size_t at) { return static_cast<unsigned char>(d.at(at)); };
    std::size_t at = 0;
    if (d.compare(0, 3, "ID3") == 0) {
        at = 10 + ((byte(6) & 0x7fu) << 21 | (byte(7) & 0x7fu) << 14 | (byte(8) & 0x7fu) << 7 |
                   (byte(9) & 0x7fu));
    }
    const int bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    const int rates[4] = {44100, 48000, 32000, 0};
    double seconds = 0;
    // MPEG-1 layer III frames, one after the other up to the end.
    while (at + 4 <= d.size() && byte(at) == 0xff && (byte(at + 1) & 0xfe) == 0xfa) {
        const int kbps = bitrates[byte(at + 2) >> 4];
        const int rate = rates[(byte(at + 2) >> 2) & 3];
        ASSERT_TRUE(kbps > 0 && rate > 0) << "bad frame header at byte " << at;
        at += static_cast<std::size_t>(144000 * kbps / rate + ((byte(at + 2) >> 1) & 1));
        seconds += 1152.0 / rate;
    }
    EXPECT_GE(at, d.size() - 128) << "frames stop at byte " << at << " of " << d.size();
    EXPECT_GE(seconds, 60.0);
}

}  // namespace
