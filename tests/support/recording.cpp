#include "recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

// One section of an eighth-order Butterworth filter (RBJ's biquad).
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    double step(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

Biquad section(double hz, double q, bool highPass) {
    const double w = 2.0 * M_PI * hz / recordingRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    const double edge = (highPass ? 1.0 + c : 1.0 - c) / 2.0 / a0;
    return {edge, (highPass ? -2.0 : 2.0) * edge, edge, -2.0 * c / a0, (1.0 - alpha) / a0};
}

double dbfs(double level) {
    return 20.0 * std::log10(std::max(level, 1e-9) / 32768.0);
}

}  // namespace

Recording recordGame(const std::string& path, double seconds, double holdFrom, double holdUntil) {
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
    bool held = false;
    for (double now = 0; now < seconds; now = (SDL_GetTicks() - start) / 1000.0) {
        if (!pressed && now >= holdFrom && now < holdUntil) {
            recording.pressFrame = framesWritten(path);
            pressed = held = pushKey(heldKey, true);
        } else if (held && now >= holdUntil) {
            recording.releaseFrame = framesWritten(path);
            held = !pushKey(heldKey, false);
        }
        runFrame(loop);
        SDL_Delay(5);
    }
    shutdownGame();
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    recording.samples.resize(bytes.size() / sizeof(Sint16));
    std::copy(bytes.begin(), bytes.begin() + recording.samples.size() * sizeof(Sint16),
              reinterpret_cast<char*>(recording.samples.data()));
    const std::size_t frames = recording.samples.size() / 2;
    if (!pressed) {
        recording.pressFrame = frames;
    }
    if (!pressed || held) {
        recording.releaseFrame = frames;
    }
    return recording;
}

double peakDbfs(const Recording& recording, std::size_t begin, std::size_t end) {
    int peak = 0;
    for (std::size_t i = 2 * begin; i < 2 * end && i < recording.samples.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(recording.samples[i])));
    }
    return dbfs(peak);
}

double bandDbfs(const Recording& recording, std::size_t begin, std::size_t end, double lowHz,
                double highHz) {
    const double qs[4] = {0.5098, 0.6013, 0.9000, 2.5629};  // eighth-order Butterworth
    const std::size_t frames = std::min(end, recording.samples.size() / 2);
    const std::size_t settle = std::min<std::size_t>(begin, recordingRate / 10);
    double sum = 0;
    for (int channel = 0; channel < 2; ++channel) {
        std::vector<Biquad> filter;
        for (double q : qs) {
            filter.push_back(section(lowHz, q, true));
            filter.push_back(section(highHz, q, false));
        }
        for (std::size_t i = begin - settle; i < frames; ++i) {
            double y = recording.samples[2 * i + channel];
            for (Biquad& stage : filter) {
                y = stage.step(y);
            }
            sum += i >= begin ? y * y : 0.0;
        }
    }
    return frames > begin ? dbfs(std::sqrt(sum / (2.0 * (frames - begin)))) : dbfs(0);
}
