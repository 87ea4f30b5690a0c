// Start-up time: from the first call of start-up to the first flipped frame,
// on SDL's dummy drivers with the real media. Run it in the run directory:
//   cd build/.../run && ../bench/startup_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        GameLoop loop;
        if (!startTestGame(loop, static_cast<unsigned>(run))) {
            std::fprintf(stderr, "startup_bench: the game could not start here\n");
            return 1;
        }
        runFrame(loop);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        shutdownGame();
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "start-up to the first flipped frame over %d runs: median %.1f ms, min %.1f ms, "
        "max %.1f ms\n",
        runs, times[times.size() / 2], times.front(), times.back());
    return 0;
}
