// The media set: every font, picture, sound and the music checked, loaded and reported when
// missing.
#include "shell/media.h"

#include <SDL/SDL_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>

#include "flight/flight.h"
#include "view/surface.h"

MediaSet media;

const SDL_Color textRed = {255, 0, 0, 0};
const SDL_Color textGreen = {40, 100, 50, 0};

namespace {

const char* const fontFile = "00_Starmap_Truetype.ttf";
const char* const backgroundFiles[3] = {"background1.jpg", "background2.jpg", "background3.jpg"};
// Low, medium and full detail of stations 1 and 2.
const char* const stationFiles[2][3] = {
    {"spacestation1low.png", "spacestation1med.png", "spacestation1.png"},
    {"spacestation2low.png", "spacestation2med.png", "spacestation2.png"}};

// Why a file cannot be used: the system's word when it cannot even be
// opened, otherwise what the loading library said. Valid until the next call
// into the library or strerror.
const char* failureReason(const char* fileName, const char* libraryError) {
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return std::strerror(errno);
    }
    std::fclose(file);
    return (libraryError != nullptr && libraryError[0] != '\0') ? libraryError : "unreadable file";
}

// Every line about a medium is built in a fixed buffer, so that a start-up
// short of memory can still say which medium it could not load.
constexpr std::size_t lineSize = 512;

void formatFailure(char (&line)[lineSize], const char* fileName, const char* reason) {
    std::snprintf(line, lineSize, "halvanne: cannot load \"%s\": %s", fileName, reason);
}

void printFailure(const char* fileName, const char* reason, const char* consequence) {
    char line[lineSize];
    formatFailure(line, fileName, reason);
    std::fprintf(stderr, "%s%s\n", line, consequence);
}

void replaceSurface(SDL_Surface*& slot, SDL_Surface* replacement) {
    SDL_FreeSurface(slot);
    slot = replacement;
}

// What a plain file that can be opened for reading lacks, or "" when it lacks
// nothing. Looked at without opening it, so that start-up reads each file once.
const char* missingFileReason(const char* fileName) {
    struct stat info;
    if (stat(fileName, &info) != 0 || access(fileName, R_OK) != 0) {
        return std::strerror(errno);
    }
    return S_ISREG(info.st_mode) ? "" : "not a plain file";
}

bool filePresent(const char* fileName) {
    const char* reason = missingFileReason(fileName);
    if (reason[0] != '\0') {
        printFailure(fileName, reason, "");
        return false;
    }
    return true;
}

// The lines naming the font and scene pictures that came back null, kept from
// their load (the library's reason is gone by the next one) until reported:
// at most the font, a background and a station's three pictures.
char unloaded[5][lineSize];
int unloadedCount = 0;

void noteUnloaded(const char* fileName, const char* libraryError) {
    if (unloadedCount < static_cast<int>(std::size(unloaded))) {
        formatFailure(unloaded[unloadedCount++], fileName, failureReason(fileName, libraryError));
    }
}

SDL_Surface* loadScenePicture(const char* fileName) {
    SDL_Surface* picture = loadPicture(fileName);
    if (picture == nullptr) {
        noteUnloaded(fileName, IMG_GetError());
    }
    return picture;
}

SDL_Surface* loadOptionalImage(const char* fileName) {
    SDL_Surface* image = loadPicture(fileName);
    if (image == nullptr) {
        printFailure(fileName, failureReason(fileName, IMG_GetError()), " (drawing without it)");
    }
    return image;
}

// SDL's sample converter crashes on a WAV that claims no channels or a rate
// far beyond any sound's, so the header is read first and such a file refused.
bool playableWave(const char* fileName) {
    SDL_AudioSpec spec;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(fileName, &spec, &samples, &length) == nullptr) {
        return false;
    }
    SDL_FreeWAV(samples);
    if (spec.channels < 1 || spec.channels > 8 || spec.freq < 1000 || spec.freq > 384000) {
        SDL_SetError("an unplayable WAV header (rate %d Hz, channels %d)", spec.freq,
                     spec.channels);
        return false;
    }
    return true;
}

// The mixer takes any file named .mp3 for music and plays silence or noise
// from one that is not; an MP3 starts with an ID3 tag or a frame sync.
bool looksLikeMp3(const char* fileName) {
    unsigned char head[3] = {0, 0, 0};
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return false;
    }
    const std::size_t read = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if ((read == 3 && std::memcmp(head, "ID3", 3) == 0) ||
        (read >= 2 && head[0] == 0xff && (head[1] & 0xe0) == 0xe0)) {
        return true;
    }
    SDL_SetError("not an MP3 file");
    return false;
}

Mix_Chunk* loadOptionalChunk(const char* fileName) {
    SDL_RWops* stream = playableWave(fileName) ? SDL_RWFromFile(fileName, "rb") : nullptr;
    Mix_Chunk* chunk = stream != nullptr ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    if (chunk == nullptr) {
        printFailure(fileName, failureReason(fileName, Mix_GetError()), " (playing without it)");
    }
    return chunk;
}

}  // namespace

// loadImage takes its name as a std::string, whose copy of a long name can
// fail; the picture is then missing for want of memory.
SDL_Surface* loadPicture(const char* fileName) {
    try {
        return loadImage(fileName);
    } catch (const std::bad_alloc&) {
        SDL_OutOfMemory();
        return nullptr;
    }
}

bool requiredMediaPresent() {
    if (!filePresent(fontFile)) {
        return false;
    }
    for (const char* fileName : backgroundFiles) {
        if (!filePresent(fileName)) {
            return false;
        }
    }
    for (const auto& station : stationFiles) {
        for (const char* fileName : station) {
            if (!filePresent(fileName)) {
                return false;
            }
        }
    }
    return true;
}

void loadMediaSet() {
    media.readoutFont = TTF_OpenFont(fontFile, 14);
    media.messageFont = TTF_OpenFont(fontFile, 32);
    if (media.readoutFont == nullptr || media.messageFont == nullptr) {
        noteUnloaded(fontFile, TTF_GetError());
    }
    media.panelImage = loadOptionalImage("uistatic3.png");
    media.crosshairsImage = loadOptionalImage("crosshairs.png");
    media.lightImage = loadOptionalImage("light.png");
    media.handleImage = loadOptionalImage("handle.png");
    media.controlsImage = loadOptionalImage("uicontrols.png");
    media.needleImage = loadOptionalImage("needle.png");
    media.shipImage = loadOptionalImage("spaceshipgreen.png");
    media.musicTrack =
        looksLikeMp3("HalvanneTheme.mp3") ? Mix_LoadMUS("HalvanneTheme.mp3") : nullptr;
    if (media.musicTrack == nullptr) {
        printFailure("HalvanneTheme.mp3", failureReason("HalvanneTheme.mp3", Mix_GetError()),
                     " (playing without it)");
    }
    media.engineLoop = loadOptionalChunk("engineloop.wav");
    media.thrusterSound = loadOptionalChunk("thruster.wav");
    if (media.crosshairsImage != nullptr) {
        SDL_SetAlpha(media.crosshairsImage, SDL_SRCALPHA, 128);
    }
}

void loadBackground(int n) {
    replaceSurface(media.backgroundImage, loadScenePicture(backgroundFiles[n - 1]));
}

void loadStationSet(int n) {
    const int i = n == 2 ? 1 : 0;
    SDL_Surface** levels[3] = {&media.stationLow, &media.stationMed, &media.stationFull};
    for (int level = 0; level < 3; ++level) {
        replaceSurface(*levels[level], loadScenePicture(stationFiles[i][level]));
    }
    media.station = n;
    media.stationSpin = n == 2 ? spinningStationSpin : 0;
}

bool reportUnloadedMedia(bool startingUp) {
    const bool complete = unloadedCount == 0;
    const int reported = startingUp && !complete ? 1 : unloadedCount;
    for (int i = 0; i < reported; ++i) {
        std::fprintf(stderr, "%s%s\n", unloaded[i], startingUp ? "" : " (drawing without it)");
    }
    unloadedCount = 0;
    return complete || !startingUp;
}

void forgetUnloadedMedia() {
    unloadedCount = 0;
}
