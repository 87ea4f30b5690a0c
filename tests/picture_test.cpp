// Pictures as the game loads them: PNG files refused before libpng sees a
// damaged one, the same surfaces as SDL's own conversion makes, and at
// start-up each picture file read once.
#include "view/picture.h"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

std::string bigEndian(Uint32 value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// A PNG file of the given chunks (type, then data), each with its length and
// checksum.
std::string pngFile(const std::vector<std::string>& chunks) {
    std::string file = "\x89PNG\r\n\x1a\n";
    for (const std::string& chunk : chunks) {
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), chunk.size());
        file += bigEndian(static_cast<Uint32>(chunk.size() - 4)) + chunk + bigEndian(crc);
    }
    return file;
}

// What decodePicture makes of the file: "" when it decodes it, else its error.
std::string decodeError(const std::string& file) {
    const std::string path = ::testing::TempDir() + "halvanne_picture_test.png";
    std::ofstream(path, std::ios::binary) << file;
    SDL_ClearError();
    SDL_Surface* picture = decodePicture(path);
    SDL_FreeSurface(picture);
    return picture != nullptr ? "" : SDL_GetError();
}

// A one-pixel picture: the header's fields as width, height, bit depth,
// colour type and the compression, filter and interlace methods, a palette,
// its pixel data, and whether libpng takes such a header.
TEST(PictureTest, RefusesEveryDamagedPngAndNoWholeOne) {
    const std::array<int, 8> headers[] = {
        {1, 1, 1, 0, 0, 0, 0, 1},  {1, 1, 16, 0, 0, 0, 1, 1},     {1, 1, 8, 2, 0, 0, 0, 1},
        {1, 1, 16, 2, 0, 0, 0, 1}, {1, 1, 1, 3, 0, 0, 0, 1},      {1, 1, 8, 3, 0, 0, 0, 1},
        {1, 1, 8, 4, 0, 0, 0, 1},  {1, 1, 16, 6, 0, 0, 0, 1},     {1, 1, 3, 0, 0, 0, 0, 0},
        {1, 1, 16, 3, 0, 0, 0, 0}, {1, 1, 4, 2, 0, 0, 0, 0},      {1, 1, 1, 6, 0, 0, 0, 0},
        {1, 1, 8, 1, 0, 0, 0, 0},  {1, 1, 8, 5, 0, 0, 0, 0},      {1, 1, 8, 7, 0, 0, 0, 0},
        {1, 1, 8, 0, 1, 0, 0, 0},  {1, 1, 8, 0, 0, 1, 0, 0},      {1, 1, 8, 0, 0, 0, 2, 0},
        {0, 1, 8, 0, 0, 0, 0, 0},  {1, 1000001, 8, 0, 0, 0, 0, 0}};
    const std::string damaged = "a damaged PNG file";
    for (const auto& [w, h, depth, colour, compression, filter, interlace, whole] : headers) {
        SCOPED_TRACE(testing::Message() << depth << "-bit colour type " << colour);
        std::string header = "IHDR" + bigEndian(w) + bigEndian(h);
        for (const int field : {depth, colour, compression, filter, interlace}) {
            header += static_cast<char>(field);
        }
        const int channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
        const std::string row(1 + (depth * channels + 7) / 8, '\0');
        Bytef data[64];
        uLongf size = sizeof data;
        compress(data, &size, reinterpret_cast<const Bytef*>(row.data()), row.size());
        const std::string image = "IDAT" + std::string(reinterpret_cast<char*>(data), size);
        EXPECT_EQ(decodeError(
                      pngFile({header, colour == 3 ? "PLTE\x7f\x7f\x7f" : "tEXt", image, "IEND"})),
                  whole ? "" : damaged + ": no valid header");
        if (colour != 2 || depth != 8) {
            continue;
        }
        // The whole file cut short anywhere, or its chunks broken.
        const std::string file = pngFile({header, "tEXtnote", image, "IEND"});
        for (std::size_t size = 4; size < file.size(); ++size) {
            EXPECT_EQ(decodeError(file.substr(0, size)),
                      damaged + (size < 8 ? ": a damaged signature" : ": cut short"));
        }
        std::string badChecksum = file;
        badChecksum.back() ^= 1;
        const std::pair<std::string, const char*> broken[] = {
            {"\x89PNG\r\n\x1a\r" + file.substr(8), "a damaged signature"},
            {badChecksum, "a chunk whose checksum is wrong"},
            {pngFile({header, "tEX1", image, "IEND"}), "a chunk without a name"},
            {pngFile({image, header, "IEND"}), "no valid header"},
            {pngFile({header + "x", image, "IEND"}), "no valid header"},
            {pngFile({header, "IEND"}), "no image data"},
            {pngFile({header, "QUUX", image, "IEND"}), "a critical chunk out of place or unknown"}};
        for (const auto& [bytes, reason] : broken) {
            EXPECT_EQ(decodeError(bytes), damaged + ": " + reason);
        }
    }
    EXPECT_EQ(decodePicture("/tmp"), nullptr);
    EXPECT_STREQ(SDL_GetError(), "not a plain file");
}

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

// Counted with inotify in a copy of the run directory, which no other test
// program reads meanwhile.
TEST(PictureTest, StartUpReadsEachPictureOnce) {
    namespace fs = std::filesystem;
    const fs::path runDir = fs::current_path();
    char dir[] = "/tmp/halvanne-picture-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    fs::copy(runDir, dir, fs::copy_options::recursive);
    fs::current_path(dir);
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(inotify_add_watch(watch, dir, IN_OPEN), 0);
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 9));
    shutdownGame();
    std::map<std::string, int> opened;
    alignas(inotify_event) char buffer[65536];
    for (ssize_t length; (length = read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + length;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(at);
            ++opened[event->len > 0 ? event->name : ""];
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    fs::current_path(runDir);
    fs::remove_all(dir);
    for (const char* name : pictureFiles) {
        EXPECT_EQ(opened[name], 1) << name;
    }
}

}  // namespace
