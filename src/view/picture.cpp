// Reading a picture file once, refusing a damaged PNG quietly, decoding and converting it.
#include "view/picture.h"

#include <SDL/SDL_image.h>
#include <sys/stat.h>
#include <zlib.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<Uint8>;

bool readWholeFile(const std::string& fileName, Bytes& bytes) {
    FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        SDL_SetError("Couldn't open %s", fileName.c_str());
        return false;
    }
    struct stat info;
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    const bool fits = regular && info.st_size <= INT_MAX;
    bytes.resize(fits ? static_cast<std::size_t>(info.st_size) : 0);
    const bool read = fits && std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    if (!read) {
        SDL_SetError("%s", regular ? "a file too large or unreadable" : "not a plain file");
    }
    return read;
}

constexpr Uint8 pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

Uint32 bigEndian(const Uint8* at) {
    return static_cast<Uint32>(at[0]) << 24 | static_cast<Uint32>(at[1]) << 16 |
           static_cast<Uint32>(at[2]) << 8 | at[3];
}

bool isChunk(const Uint8* type, const char* name) {
    return std::memcmp(type, name, 4) == 0;
}

// The header's size, bit depth, colour type and methods as libpng accepts them
// (its default limit is a million pixels a side).
bool validHeader(const Uint8* data, Uint32 length) {
    if (length != 13) {
        return false;
    }
    const Uint32 width = bigEndian(data);
    const Uint32 height = bigEndian(data + 4);
    const int depth = data[8];
    const int colour = data[9];
    const bool small = depth == 1 || depth == 2 || depth == 4 || depth == 8;
    const bool depthFits =
        colour == 0   ? small || depth == 16
        : colour == 3 ? small
                      : (colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16);
    return width >= 1 && width <= 1000000 && height >= 1 && height <= 1000000 && depthFits &&
           data[10] == 0 && data[11] == 0 && data[12] <= 1;
}

// What is wrong with a PNG's chunks, or null when they are whole: each
// complete, named in letters, with its checksum right; the header first, image
// data, only chunks libpng knows among the critical ones, and the end chunk.
// Random damage or a cut file breaks one of these; libpng itself would stop at
// any of them and print its complaint.
const char* pngDamage(const Bytes& bytes) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), pngSignature, 8) != 0) {
        return "a damaged signature";
    }
    bool header = false;
    bool imageData = false;
    for (std::size_t at = 8;;) {
        if (bytes.size() - at < 12 || bytes.size() - at - 12 < bigEndian(&bytes[at])) {
            return "cut short";
        }
        const Uint32 length = bigEndian(&bytes[at]);
        const Uint8* type = &bytes[at + 4];
        for (int i = 0; i < 4; ++i) {
            if ((type[i] | 0x20) < 'a' || (type[i] | 0x20) > 'z') {
                return "a chunk without a name";
            }
        }
        if (crc32(0, type, length + 4) != bigEndian(type + 4 + length)) {
            return "a chunk whose checksum is wrong";
        }
        if (!header) {
            if (!isChunk(type, "IHDR") || !validHeader(type + 4, length)) {
                return "no valid header";
            }
            header = true;
        } else if (isChunk(type, "IEND")) {
            return imageData ? nullptr : "no image data";
        } else if (isChunk(type, "IDAT")) {
            imageData = true;
        } else if ((type[0] & 0x20) == 0 && !isChunk(type, "PLTE")) {
            return "a critical chunk out of place or unknown";
        }
        at += 12 + length;
    }
}

// Red, green and blue in this order in memory, for a 24-bit picture, and in
// the low three bytes of a 32-bit pixel, from the high one down.
constexpr bool littleEndian = SDL_BYTEORDER == SDL_LIL_ENDIAN;
constexpr Uint32 firstByte = littleEndian ? 0x0000ff : 0xff0000;
constexpr Uint32 thirdByte = littleEndian ? 0xff0000 : 0x0000ff;

bool hasMasks(const SDL_PixelFormat* format, Uint32 red, Uint32 green, Uint32 blue) {
    return format->Rmask == red && format->Gmask == green && format->Bmask == blue &&
           format->Amask == 0;
}

// SDL converts a 24-bit picture through its general blitter, taking each
// pixel apart through the formats' masks and shifts, which takes longer than
// decoding it. From the layout SDL_image gives JPEGs and RGB PNGs to the
// display's usual one, this makes the same surface, the same pixels from the
// same bytes, in one pass; null for any other layout or surface.
SDL_Surface* copyToDisplayFormat(SDL_Surface* decoded) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen == nullptr || (screen->flags & SDL_HWSURFACE) != 0 ||
        screen->format->BytesPerPixel != 4 ||
        !hasMasks(screen->format, 0xff0000, 0x00ff00, 0x0000ff) ||
        decoded->format->BytesPerPixel != 3 ||
        !hasMasks(decoded->format, firstByte, 0x00ff00, thirdByte) ||
        (decoded->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_RLEACCELOK | SDL_RLEACCEL)) != 0 ||
        SDL_MUSTLOCK(decoded) || decoded->clip_rect.x != 0 || decoded->clip_rect.y != 0 ||
        decoded->clip_rect.w != decoded->w || decoded->clip_rect.h != decoded->h) {
        return nullptr;
    }
    SDL_Surface* converted = SDL_CreateRGBSurface(SDL_SWSURFACE, decoded->w, decoded->h, 32,
                                                  0xff0000, 0x00ff00, 0x0000ff, 0);
    if (converted == nullptr) {
        return nullptr;
    }
    for (int y = 0; y < decoded->h; ++y) {
        const Uint8* in = static_cast<const Uint8*>(decoded->pixels) + y * decoded->pitch;
        Uint32* out = reinterpret_cast<Uint32*>(static_cast<Uint8*>(converted->pixels) +
                                                y * converted->pitch);
        for (int x = 0; x < decoded->w; ++x, in += 3) {
            out[x] = static_cast<Uint32>(in[0]) << 16 | static_cast<Uint32>(in[1]) << 8 | in[2];
        }
    }
    return converted;
}

}  // namespace

SDL_Surface* decodePicture(const std::string& fileName) {
    Bytes bytes;
    if (!readWholeFile(fileName, bytes)) {
        return nullptr;
    }
    // SDL_image takes a file for a PNG by its first four bytes.
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), pngSignature, 4) == 0) {
        if (const char* damage = pngDamage(bytes)) {
            SDL_SetError("a damaged PNG file: %s", damage);
            return nullptr;
        }
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        return nullptr;
    }
    // As IMG_Load does: the name's extension stands for the formats that have
    // no signature.
    const std::size_t dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos ? "" : fileName.substr(dot + 1);
    return IMG_LoadTyped_RW(stream, 1, dot == std::string::npos ? nullptr : extension.data());
}

SDL_Surface* displayPicture(SDL_Surface* decoded) {
    if (decoded == nullptr) {
        return nullptr;
    }
    SDL_Surface* converted = copyToDisplayFormat(decoded);
    if (converted == nullptr) {
        converted = SDL_DisplayFormat(decoded);
    }
    if (converted != nullptr) {
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY, SDL_MapRGB(converted->format, 255, 255, 255));
    }
    SDL_FreeSurface(decoded);
    return converted;
}
