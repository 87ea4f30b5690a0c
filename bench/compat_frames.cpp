// The frames of one scripted game on two SDL 1.2 libraries: the classic one
// and sdl12-compat (SDL 1.2 over SDL 2). Both runs fly the same game (a fixed
// seed, 30 ms frames, the scripted pilot docking, then a crash at full
// thrust); the first writes its frames to a pipe, the second compares its own
// with them and prints how many differ, by how many pixels at most, by how
// much, and where. Run it in the run directory:
//   ../bench/compat_frames emit |
//       LD_LIBRARY_PATH=/usr/lib/x86_64-linux-gnu/sdl12-compat ../bench/compat_frames compare
// A frame number after emit and compare saves that frame of each run as
// /tmp/compat_frames_emit.bmp and /tmp/compat_frames_compare.bmp; the largest
// step of each pixel over the whole game goes to /tmp/compat_frames_steps.bmp.
#include <SDL/SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pilot.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

constexpr int width = 640;
constexpr int height = 480;
using Frame = std::vector<Uint8>;

bool emitting = true;
int savedFrame = -1;
int frames = 0;

// Where a pixel lies: under the crosshairs' drawn pixels, in the ship icon
// (which steps on the wall clock, so that it differs between any two runs),
// or elsewhere.
enum Region { crosshairs, shipIcon, elsewhere, regionCount };
const char* const regionNames[regionCount] = {"under the crosshairs", "in the ship icon",
                                              "elsewhere"};
std::vector<Uint8> regionOf(width* height, elsewhere);

struct Differences {
    int frames = 0;
    int mostPixels = 0;
    int mostPixelsFrame = -1;
    int largestStep = 0;
    SDL_Rect box = {width, height, 0, 0};  // x and y of the first corner, w and h of the last
};
Differences found[regionCount];
// The largest step each pixel ever took, saved as a grey picture at the end.
std::vector<Uint8> mostStep(width* height);

void mapRegions() {
    SDL_Surface* sight = IMG_Load("crosshairs.png");
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Region region = elsewhere;
            if (x >= 70 && x < 170 && y >= 370 && y < 470) {
                region = shipIcon;
            } else if (sight != nullptr && x >= 50 && x < 50 + sight->w && y >= 50 &&
                       y < 50 + sight->h) {
                const Rgb colour = pixelAt(sight, x - 50, y - 50);
                region = colour == Rgb{255, 255, 255} ? elsewhere : crosshairs;
            }
            regionOf[y * width + x] = static_cast<Uint8>(region);
        }
    }
    SDL_FreeSurface(sight);
}

Frame screenRgb() {
    Frame rgb(width * height * 3);
    SDL_LockSurface(media.screen);
    for (int y = 0; y < height; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(
            static_cast<Uint8*>(media.screen->pixels) + y * media.screen->pitch);
        for (int x = 0; x < width; ++x) {
            Uint8* out = &rgb[(y * width + x) * 3];
            SDL_GetRGB(row[x], media.screen->format, &out[0], &out[1], &out[2]);
        }
    }
    SDL_UnlockSurface(media.screen);
    return rgb;
}

void compare(const Frame& mine) {
    Frame theirs(mine.size());
    if (std::fread(theirs.data(), 1, theirs.size(), stdin) != theirs.size()) {
        std::fprintf(stderr, "compat_frames: the other run drew fewer frames\n");
        std::exit(1);
    }
    int pixels[regionCount] = {};
    for (int i = 0; i < width * height; ++i) {
        int step = 0;
        for (int c = 0; c < 3; ++c) {
            step = std::max(step, std::abs(mine[i * 3 + c] - theirs[i * 3 + c]));
        }
        if (step == 0) {
            continue;
        }
        Differences& region = found[regionOf[i]];
        ++pixels[regionOf[i]];
        region.largestStep = std::max(region.largestStep, step);
        mostStep[i] = static_cast<Uint8>(std::max<int>(mostStep[i], step));
        const int x = i % width;
        const int y = i / width;
        region.box.x = std::min<int>(region.box.x, x);
        region.box.y = std::min<int>(region.box.y, y);
        region.box.w = std::max<int>(region.box.w, x);
        region.box.h = std::max<int>(region.box.h, y);
    }
    for (int r = 0; r < regionCount; ++r) {
        if (pixels[r] > 0) {
            ++found[r].frames;
            if (pixels[r] > found[r].mostPixels) {
                found[r].mostPixels = pixels[r];
                found[r].mostPixelsFrame = frames;
            }
        }
    }
}

void frame(GameLoop& loop) {
    loop.pollResult = pollInput();
    loop.frameMs = 30;
    runFrameWork(loop);
    SDL_Flip(media.screen);
    if (frames == savedFrame) {
        SDL_SaveBMP(media.screen,
                    emitting ? "/tmp/compat_frames_emit.bmp" : "/tmp/compat_frames_compare.bmp");
    }
    const Frame rgb = screenRgb();
    if (emitting) {
        std::fwrite(rgb.data(), 1, rgb.size(), stdout);
    } else {
        compare(rgb);
    }
    ++frames;
}

}  // namespace

int main(int argc, char* argv[]) {
    emitting = argc < 2 || std::strcmp(argv[1], "compare") != 0;
    mapRegions();
    savedFrame = argc > 2 ? std::atoi(argv[2]) : -1;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    GameLoop loop;
    std::srand(7);
    if (!startGame(loop)) {
        std::fprintf(stderr, "compat_frames: the game could not start here\n");
        return 1;
    }
    const SDL_version* linked = SDL_Linked_Version();
    std::fprintf(stderr, "compat_frames: %s on SDL %d.%d.%d\n", emitting ? "emitting" : "comparing",
                 linked->major, linked->minor, linked->patch);
    for (int i = 0; i < 60; ++i) {
        frame(loop);
    }
    Pilot pilot;
    pilot.send = queueKey;
    while (loop.approachPhase == Flying) {
        flyPilot(pilot);
        frame(loop);
    }
    releasePilotKeys(pilot);
    const bool docked = loop.approachPhase == Docked;
    for (int i = 0; i < 10; ++i) {
        frame(loop);
    }
    pushKey(SDLK_RETURN, true);
    frame(loop);
    pushKey(SDLK_UP, true);  // full forward thrust into the station
    while (loop.approachPhase == Flying) {
        frame(loop);
    }
    pushKey(SDLK_UP, false);
    for (int i = 0; i < 10; ++i) {
        frame(loop);
    }
    if (!emitting) {
        SDL_Surface* map =
            SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xff0000, 0xff00, 0xff, 0);
        for (int i = 0; i < width * height; ++i) {
            const Uint8 grey = mostStep[i];
            static_cast<Uint32*>(map->pixels)[(i / width) * map->pitch / 4 + i % width] =
                SDL_MapRGB(map->format, grey, grey, grey);
        }
        SDL_SaveBMP(map, "/tmp/compat_frames_steps.bmp");
        SDL_FreeSurface(map);
    }
    shutdownGame();
    if (!emitting) {
        std::printf("%d frames (%s, then a crash)\n", frames, docked ? "a docking" : "no docking");
        for (int r = 0; r < regionCount; ++r) {
            const Differences& region = found[r];
            std::printf("%s: %d frames differ", regionNames[r], region.frames);
            if (region.frames > 0) {
                std::printf(
                    ", by at most %d pixels (frame %d) and %d in a channel, within x "
                    "%d-%d, y %d-%d",
                    region.mostPixels, region.mostPixelsFrame, region.largestStep, region.box.x,
                    region.box.w, region.box.y, region.box.h);
            }
            std::printf("\n");
        }
    }
    return 0;
}
