// The game's sound recorded through SDL's disk audio driver, and its peak and band levels.
#include "recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

constexpr SDLKey heldKey = SDLK_RIGHT;  // rolls the craft, never ends the approach
constexpr std::size_t bytesPerFrame = 4;

// Stereo frames that the disk driver has written so far. It writes whole
// mixer buffers straight through, so the size never lags a buffer.
std::size_t framesWritten(const std::string& path) {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::size_t>(info.st_size) / bytesPerFrame
                                          : 0;
}

double dbfs(double level) {
    return 20.0 * std::log10(std::max(level, 1e-9) / 32768.0);
}

}  // namespace

Recording recordGame(const std::string& path, double seconds, double holdFrom) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "180", 1);  // near real time: a buffer lasts 186 ms
    Recording recording;
    GameLoop loop;
    std::srand(1);
    if (!startGame(loop)) {
        return recording;
    }
    const Uint32 start = SDL_GetTicks();
    bool pressed = false;
    for (double now = 0; now < seconds; now = (SDL_GetTicks() - start) / 1000.0) {
        if (!pressed && now >= holdFrom) {
            recording.pressFrame = framesWritten(path);
            pressed = pushKey(heldKey, true);
        }
        runFrame(loop);
        SDL_Delay(5);
    }
    shutdownGame();
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    recording.samples.resize(static_cast<std::size_t>(file.tellg()) / sizeof(Sint16));
    file.seekg(0).read(reinterpret_cast<char*>(recording.samples.data()),
                       static_cast<std::streamsize>(recording.samples.size() * sizeof(Sint16)));
    recording.pressFrame = pressed ? recording.pressFrame : recording.samples.size() / 2;
    return recording;
}

double peakDbfs(const Recording& recording) {
    int peak = 0;
    for (const Sint16 sample : recording.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return dbfs(peak);
}

double bandDbfs(const Recording& recording, std::size_t begin, std::size_t end, double lowHz,
                double highHz) {
    // The band's bins of the spectra of Hann-windowed blocks (Goertzel's
    // recurrence), scaled so that a sine of amplitude A in the band gives an
    // RMS level of A / sqrt(2).
    constexpr std::size_t block = 1024;
    std::vector<double> window(block);
    for (std::size_t n = 0; n < block; ++n) {
        window[n] = 0.5 - 0.5 * std::cos(2.0 * M_PI * n / block);
    }
    const std::size_t frames = std::min(end, recording.samples.size() / 2);
    double sum = 0;
    std::size_t spectra = 0;
    for (std::size_t at = begin; at + block <= frames; at += block) {
        for (std::size_t channel = 0; channel < 2; ++channel, ++spectra) {
            for (auto k = static_cast<std::size_t>(std::ceil(lowHz * block / recordingRate));
                 k <= highHz * block / recordingRate; ++k) {
                const double c = 2.0 * std::cos(2.0 * M_PI * k / block);
                double s1 = 0, s2 = 0;
                for (std::size_t n = 0; n < block; ++n) {
                    const double s0 =
                        window[n] * recording.samples[2 * (at + n) + channel] + c * s1 - s2;
                    s2 = s1;
                    s1 = s0;
                }
                sum += s1 * s1 + s2 * s2 - c * s1 * s2;
            }
        }
    }
    return dbfs(spectra > 0 ? std::sqrt(sum * 16.0 / (3.0 * block * block * spectra)) : 0.0);
}
