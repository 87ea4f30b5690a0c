// Pictures as the game loads them: the same surfaces as SDL's own conversion
// makes.
#include "view/picture.h"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "test_support.h"
#include "view/surface.h"

namespace {

const char* const pictureFiles[] = {
    "background1.jpg",      "background2.jpg",   "background3.jpg",      "spacestation1low.png",
    "spacestation1med.png", "spacestation1.png", "spacestation2low.png", "spacestation2med.png",
    "spacestation2.png",    "uistatic3.png",     "crosshairs.png",       "light.png",
    "handle.png",           "uicontrols.png",    "needle.png",           "spaceshipgreen.png",
    "halvanne.png"};

// Format, key, flags and every byte of every row.
void expectSameSurface(SDL_Surface* ours, SDL_Surface* sdls) {
    ASSERT_NE(ours, nullptr);
    ASSERT_NE(sdls, nullptr);
    ASSERT_EQ(ours->w, sdls->w);
    ASSERT_EQ(ours->h, sdls->h);
    ASSERT_EQ(ours->pitch, sdls->pitch);
    EXPECT_EQ(ours->flags, sdls->flags);
    const auto format = [](const SDL_PixelFormat* f) {
        return std::make_tuple(f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask, f->Rshift,
                               f->Gshift, f->Bshift, f->Rloss, f->Gloss, f->Bloss, f->Aloss,
                               f->colorkey, f->alpha);
    };
    EXPECT_EQ(format(ours->format), format(sdls->format));
    int differentRows = 0;
    for (int y = 0; y < ours->h; ++y) {
        differentRows += std::memcmp(static_cast<Uint8*>(ours->pixels) + y * ours->pitch,
                                     static_cast<Uint8*>(sdls->pixels) + y * sdls->pitch,
                                     static_cast<std::size_t>(ours->w) * 4) != 0;
    }
    EXPECT_EQ(differentRows, 0);
}

SDL_Surface* convertedBySdl(SDL_Surface* decoded) {
    SDL_Surface* converted = SDL_DisplayFormat(decoded);
    SDL_SetColorKey(converted, SDL_SRCCOLORKEY, SDL_MapRGB(converted->format, 255, 255, 255));
    return converted;
}

TEST(PictureTest, ConvertsAsSdlDoes) {
    openTestScreen();
    for (const char* name : pictureFiles) {
        SCOPED_TRACE(name);
        SDL_Surface* decoded = IMG_Load(name);
        SDL_Surface* ours = loadImage(name);
        SDL_Surface* sdls = convertedBySdl(decoded);
        expectSameSurface(ours, sdls);
        SDL_FreeSurface(ours);
        SDL_FreeSurface(sdls);
        SDL_FreeSurface(decoded);
    }
    // 24-bit pictures in both byte orders, with every channel value.
    for (const Uint32 redMask : {0x0000ffu, 0xff0000u}) {
        SCOPED_TRACE(redMask);
        SDL_Surface* decoded = SDL_CreateRGBSurface(SDL_SWSURFACE, 257, 3, 24, redMask, 0x00ff00,
                                                    redMask ^ 0xff00ff, 0);
        for (int y = 0; y < decoded->h; ++y) {
            for (int i = 0; i < decoded->w * 3; ++i) {
                static_cast<Uint8*>(decoded->pixels)[y * decoded->pitch + i] =
                    static_cast<Uint8>(i * (y + 1) + y);
            }
        }
        SDL_Surface* sdls = convertedBySdl(decoded);
        expectSameSurface(displayPicture(decoded), sdls);
        SDL_FreeSurface(sdls);
    }
    closeTestScreen();
}

}  // namespace
