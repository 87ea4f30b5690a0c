// The same scripted game on the classic SDL 1.2 and on sdl12-compat (SDL 1.2
// over SDL 2), in a real window: 1000 Flying frames of the scripted pilot
// (a fixed seed, 30 ms frames), then 1000 frames of the docked screen and
// 1000 of the crashed screen. The program runs itself again as a child for
// each library, taking turns, and prints each run's times, how much of them
// SDL_Flip took, and the medians with their ratio. Run it in the run
// directory under an X server, without sound:
//   xvfb-run -a -s "-screen 0 640x480x24" ../bench/library_speed [rounds] [frames]
// The sdl12-compat child gets the launcher's environment for sdl12-compat
// (compatEnvironment below); any further arguments are NAME=VALUE settings
// for that child in its place (e.g. SDL_RENDER_DRIVER=opengl), or "plain" for
// none.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "pilot.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

const char* const compatDir = "/usr/lib/x86_64-linux-gnu/sdl12-compat";
// What the launcher sets for sdl12-compat in an unscaled X11 window
// (dist/halvanne.in).
const char* const compatEnvironment[] = {"SDL_RENDER_DRIVER=software",
                                         "SDL_FRAMEBUFFER_ACCELERATION=0"};

enum Screen { flying, docked, crashed, screenCount };
const char* const screenNames[screenCount] = {"flying", "docked", "crashed"};

// One screen's 1000 frames: wall-clock seconds, the CPU seconds of the game
// (all its threads) and of the X server, and the wall-clock seconds spent in
// SDL_Flip. On a busy machine the wall clock counts the waits for a core too;
// the CPU seconds of both processes do not.
struct Times {
    double wall = 0;
    double cpu = 0;
    double server = 0;
    double flip = 0;
    double flipCpu = 0;
};

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double cpuSeconds() {
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// The X server of DISPLAY, from the lock file it keeps (-1 when unknown).
int xServerPid() {
    const char* display = std::getenv("DISPLAY");
    const char* number = display != nullptr ? std::strchr(display, ':') : nullptr;
    if (number == nullptr) {
        return -1;
    }
    const std::string lock = "/tmp/.X" + std::to_string(std::atoi(number + 1)) + "-lock";
    FILE* file = std::fopen(lock.c_str(), "r");
    int pid = -1;
    if (file != nullptr) {
        if (std::fscanf(file, "%d", &pid) != 1) {
            pid = -1;
        }
        std::fclose(file);
    }
    return pid;
}

// The user and system CPU seconds of a process, from /proc.
double processCpuSeconds(int pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* file = pid > 0 ? std::fopen(path.c_str(), "r") : nullptr;
    if (file == nullptr) {
        return 0;
    }
    char line[1024] = "";
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    // The fields after the command's closing parenthesis: state is the
    // third, utime the fourteenth and stime the fifteenth.
    const char* rest = read ? std::strrchr(line, ')') : nullptr;
    unsigned long user = 0;
    unsigned long system = 0;
    if (rest == nullptr ||
        std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                    &system) != 2) {
        return 0;
    }
    return static_cast<double>(user + system) / sysconf(_SC_CLK_TCK);
}

GameLoop loop;
Times* current = nullptr;
int server = -1;

void frame() {
    loop.pollResult = pollInput();
    loop.frameMs = 30;
    runFrameWork(loop);
    const double start = wallSeconds();
    const double startCpu = cpuSeconds();
    SDL_Flip(media.screen);
    if (current != nullptr) {
        current->flip += wallSeconds() - start;
        current->flipCpu += cpuSeconds() - startCpu;
    }
}

template <typename Step>
Times timed(int frames, Step step) {
    Times times;
    current = &times;
    const double wall = wallSeconds();
    const double cpu = cpuSeconds();
    const double serverCpu = processCpuSeconds(server);
    for (int i = 0; i < frames; ++i) {
        step();
        frame();
    }
    times.wall = wallSeconds() - wall;
    times.cpu = cpuSeconds() - cpu;
    times.server = processCpuSeconds(server) - serverCpu;
    current = nullptr;
    return times;
}

// Puts the craft at the station in a pose that docks or crashes and runs
// frames until the approach is judged.
void arrive(bool docks) {
    FlightState state;
    state.distance = 1.0f;
    state.relativeRollAngle = docks ? 180.0f : 90.0f;
    setFlightState(state);
    while (loop.approachPhase == Flying) {
        frame();
    }
}

// One run on the library this process has: prints the three screens' times.
int child(int frames) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    server = xServerPid();
    std::srand(7);
    const double startUp = wallSeconds();
    if (!startGame(loop)) {
        std::fprintf(stderr, "library_speed: the game could not start here: %s\n", SDL_GetError());
        return 1;
    }
    frame();
    const double startUpSeconds = wallSeconds() - startUp;
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    const SDL_version* linked = SDL_Linked_Version();
    Times times[screenCount];
    Pilot pilot;
    pilot.send = queueKey;
    times[flying] = timed(frames, [&pilot] { flyPilot(pilot); });
    releasePilotKeys(pilot);
    frame();
    arrive(true);
    const ApproachPhase dockedPhase = loop.approachPhase;
    times[docked] = timed(frames, [] {});
    pushKey(SDLK_RETURN, true);
    frame();
    arrive(false);
    const ApproachPhase crashedPhase = loop.approachPhase;
    times[crashed] = timed(frames, [] {});
    shutdownGame();
    if (dockedPhase != Docked || crashedPhase != Crashed) {
        std::fprintf(stderr, "library_speed: the scripted game did not dock and crash\n");
        return 1;
    }
    std::printf("%d.%d.%d %s %.4f", linked->major, linked->minor, linked->patch, driver,
                startUpSeconds);
    for (const Times& t : times) {
        std::printf(" %.4f %.4f %.4f %.4f %.4f", t.wall, t.cpu, t.server, t.flip, t.flipCpu);
    }
    std::printf("\n");
    return 0;
}

struct Run {
    std::string library;
    double startUp = 0;
    Times times[screenCount];
};

// Runs this program as a child on one library; false when it failed.
bool runChild(const char* self, int frames, bool compat, const std::vector<std::string>& settings,
              Run& run) {
    int channel[2];
    if (pipe(channel) != 0) {
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(channel[1], STDOUT_FILENO);
        close(channel[0]);
        close(channel[1]);
        if (compat) {
            setenv("LD_LIBRARY_PATH", compatDir, 1);
            for (const std::string& setting : settings) {
                putenv(const_cast<char*>(setting.c_str()));
            }
        } else {
            unsetenv("LD_LIBRARY_PATH");
        }
        const std::string count = std::to_string(frames);
        execl("/proc/self/exe", self, "child", count.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(channel[1]);
    FILE* output = fdopen(channel[0], "r");
    char version[32] = "";
    char driver[32] = "";
    int read = std::fscanf(output, "%31s %31s %lf", version, driver, &run.startUp);
    for (Times& t : run.times) {
        read += std::fscanf(output, "%lf %lf %lf %lf %lf", &t.wall, &t.cpu, &t.server, &t.flip,
                            &t.flipCpu);
    }
    std::fclose(output);
    int status = 0;
    waitpid(pid, &status, 0);
    run.library = std::string("SDL ") + version + " (" + driver + ")";
    return read == 3 + 5 * screenCount && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 2 && std::strcmp(argv[1], "child") == 0) {
        return child(std::max(1, std::atoi(argv[2])));
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    std::vector<std::string> settings(std::begin(compatEnvironment), std::end(compatEnvironment));
    if (argc > 3) {
        settings.assign(argv + 3, argv + argc);
        settings.erase(std::remove(settings.begin(), settings.end(), "plain"), settings.end());
    }
    std::string compatLine = "sdl12-compat with";
    for (const std::string& setting : settings) {
        compatLine += " " + setting;
    }
    std::printf(
        "%d frames a screen: wall-clock s [game CPU s + X server CPU s; in SDL_Flip: wall-clock "
        "s, game CPU s]; start-up: wall-clock s up to the first frame shown\n",
        frames);
    std::printf("%s\n", compatLine.c_str());
    std::vector<Run> runs[2];
    for (int round = 0; round < rounds; ++round) {
        for (const bool compat : {false, true}) {
            // A busy machine's X server can lose a client; a run that could
            // not start is tried again.
            Run run;
            int tries = 0;
            while (!runChild(argv[0], frames, compat, settings, run)) {
                if (++tries == 3) {
                    std::fprintf(stderr, "library_speed: the run on %s failed\n",
                                 compat ? "sdl12-compat" : "the classic library");
                    return 1;
                }
            }
            std::printf("round %d %-20s start-up %5.3f", round + 1, run.library.c_str(),
                        run.startUp);
            for (int screen = 0; screen < screenCount; ++screen) {
                const Times& t = run.times[screen];
                std::printf("  %s %6.3f [%5.3f + %5.3f; %5.3f, %5.3f]", screenNames[screen], t.wall,
                            t.cpu, t.server, t.flip, t.flipCpu);
            }
            std::printf("\n");
            std::fflush(stdout);
            runs[compat].push_back(run);
        }
    }
    std::printf("medians over %d rounds: classic, sdl12-compat, ratio\n", rounds);
    std::vector<double> startUps[2];
    for (int library = 0; library < 2; ++library) {
        for (const Run& run : runs[library]) {
            startUps[library].push_back(run.startUp);
        }
    }
    std::printf("start-up to the first frame %6.3f s %6.3f s\n", median(startUps[0]),
                median(startUps[1]));
    for (int screen = 0; screen < screenCount; ++screen) {
        const auto medianOf = [&runs, screen](int library, double Times::*field) {
            std::vector<double> values;
            for (const Run& run : runs[library]) {
                values.push_back(run.times[screen].*field);
            }
            return median(values);
        };
        std::vector<double> cpu[2];
        for (int library = 0; library < 2; ++library) {
            for (const Run& run : runs[library]) {
                cpu[library].push_back(run.times[screen].cpu + run.times[screen].server);
            }
        }
        const double wall[2] = {medianOf(0, &Times::wall), medianOf(1, &Times::wall)};
        const double both[2] = {median(cpu[0]), median(cpu[1])};
        std::printf(
            "%-8s wall-clock %6.3f s %6.3f s %5.2fx   game + X server CPU %6.3f s %6.3f s %5.2fx"
            "   in SDL_Flip: wall-clock %6.3f s %6.3f s, CPU %6.3f s %6.3f s\n",
            screenNames[screen], wall[0], wall[1], wall[1] / wall[0], both[0], both[1],
            both[1] / both[0], medianOf(0, &Times::flip), medianOf(1, &Times::flip),
            medianOf(0, &Times::flipCpu), medianOf(1, &Times::flipCpu));
    }
    return 0;
}
