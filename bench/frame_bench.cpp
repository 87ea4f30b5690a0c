// The cost of one Flying frame at each level of detail, on SDL's dummy drivers
// with the real media, beside the two turns that no frame can avoid: the
// background crop and the station, each through rotozoomSurface once. Run it
// in the run directory:
//   cd build/.../run && ../bench/frame_bench [runs]
#include <SDL/SDL_rotozoom.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "cockpit/panel.h"
#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/scene.h"
#include "view/surface.h"

namespace {

// Thread CPU time: the machine is shared, and time spent waiting for a core
// is not the frame's cost.
double cpuMs() {
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

template <typename Work>
double timedMs(Work work) {
    const double start = cpuMs();
    work();
    return cpuMs() - start;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The medians of several pieces of work, each returning the time it took.
// Each piece runs in blocks of consecutive runs, as it would frame after
// frame, and the blocks take turns so that other load on the machine falls
// on all of them alike.
template <typename... Piece>
std::vector<double> medianMs(int runs, Piece... pieces) {
    constexpr int rounds = 10;
    std::vector<std::vector<double>> times(sizeof...(Piece));
    for (int round = 0; round < rounds; ++round) {
        std::size_t index = 0;
        (
            [&] {
                pieces();  // warm-up
                for (int run = 0; run < std::max(1, runs / rounds); ++run) {
                    times[index].push_back(pieces());
                }
                ++index;
            }(),
            ...);
    }
    std::vector<double> medians;
    for (const std::vector<double>& piece : times) {
        medians.push_back(median(piece));
    }
    return medians;
}

// The craft at rest at distance, turned and off-centre, so that both turns
// are real turns and the frame's motion steps change nothing.
void placeCraft(float distance) {
    FlightState state;
    state.distance = distance;
    state.offsetX = 20.0f;
    state.offsetY = -10.0f;
    state.rollAngle = 30.0f;
    state.relativeRollAngle = 50.0f;
    const double radians = 3.14159265 / 180;
    state.rollCos = static_cast<float>(std::cos(state.rollAngle * radians));
    state.rollSin = static_cast<float>(std::sin(state.rollAngle * radians));
    state.relativeRollCos = static_cast<float>(std::cos(state.relativeRollAngle * radians));
    state.relativeRollSin = static_cast<float>(std::sin(state.relativeRollAngle * radians));
    setFlightState(state);
}

// The source that a plan turns, made fresh as a frame makes it.
SDL_Surface* planSource(SDL_Surface* picture, const LayerPlan& plan) {
    if (!plan.cropped) {
        return picture;
    }
    SDL_Surface* crop =
        SDL_CreateRGBSurface(SDL_SWSURFACE, plan.crop.w, plan.crop.h, 32, 0, 0, 0, 0);
    SDL_Rect clip = plan.crop;
    applySurface(0, 0, picture, crop, &clip);
    return crop;
}

// The two turns alone, on sources made outside the timing.
double bareTurnsMs(SDL_Surface* backgroundPicture, const LayerPlan& background,
                   SDL_Surface* stationPicture, const LayerPlan& station) {
    SDL_Surface* backgroundSource = planSource(backgroundPicture, background);
    SDL_Surface* stationSource = planSource(stationPicture, station);
    SDL_Surface* turnedBackground = nullptr;
    SDL_Surface* turnedStation = nullptr;
    const double ms = timedMs([&] {
        turnedBackground = rotozoomSurface(backgroundSource, background.angle, background.zoom, 0);
        turnedStation = rotozoomSurface(stationSource, station.angle, station.zoom, 0);
    });
    SDL_FreeSurface(turnedBackground);
    SDL_FreeSurface(turnedStation);
    SDL_FreeSurface(backgroundSource);
    if (stationSource != stationPicture) {
        SDL_FreeSurface(stationSource);
    }
    return ms;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    GameLoop loop;
    if (!startTestGame(loop, 1)) {
        std::fprintf(stderr, "frame_bench: the game could not start here\n");
        return 1;
    }
    std::printf(
        "median thread CPU time of %d runs, ms; background %dx%d, stations %dx%d / %dx%d / %dx%d\n",
        runs, media.backgroundImage->w, media.backgroundImage->h, media.stationLow->w,
        media.stationLow->h, media.stationMed->w, media.stationMed->h, media.stationFull->w,
        media.stationFull->h);
    std::printf("%-7s %6s %7s %12s %7s %11s %11s\n", "level", "scale", "scene", "instruments",
                "frame", "bare turns", "frame/bare");
    const struct {
        const char* name;
        float distance;
    } levels[] = {{"low", 10.0f}, {"medium", 3.0f}, {"full", 1.5f}};
    for (const auto& level : levels) {
        placeCraft(level.distance);
        const FlightState& state = flightState();
        const float scale = 1.0f / level.distance;
        const SceneInputs in = {
            scale,         state.relativeRollAngle, state.rollAngle,       state.offsetX,
            state.offsetY, state.relativeRollCos,   state.relativeRollSin, state.rollCos,
            state.rollSin};
        const LayerPlan background =
            backgroundPlan(in, media.backgroundImage->w, media.backgroundImage->h);
        const StationLook look =
            stationLook(scale, media.stationLow, media.stationMed, media.stationFull);
        const LayerPlan station = stationPlan(in, look, look.picture->w, look.picture->h);
        loop.frameMs = 0;
        const std::vector<double> times = medianMs(
            runs,
            [&] {
                return timedMs([&] {
                    drawApproachScene(scale, in.relativeRollAngle, in.rollAngle, in.offsetX,
                                      in.offsetY);
                });
            },
            [] { return timedMs([] { drawFlightInstruments(); }); },
            [&] {
                return timedMs([&] {
                    drawFlyingFrame(loop);
                    SDL_Flip(media.screen);
                });
            },
            [&] { return bareTurnsMs(media.backgroundImage, background, look.picture, station); });
        std::printf("%-7s %6.3f %7.3f %12.3f %7.3f %11.3f %11.2f\n", level.name, scale, times[0],
                    times[1], times[2], times[3], times[2] / times[3]);
    }
    shutdownGame();
    return 0;
}
