// The media as the game reads them, and every media file in turn damaged.
//
// The generated media: picture sizes, the colour key where things show
// through, sound formats and loop seams. Pictures as the game loads them:
// white alone keyed out, and at start-up each picture file read at most once.
//
// Damaged: every file missing, and for one file of each kind or loader cut
// short, empty, text, a file of another kind, a broken WAV header or removed
// while the game runs. The game refuses to start with one line naming a font,
// background or station it cannot use, or plays on without a cockpit picture,
// sound, the music or a scene picture that a restart cannot load, with one
// warning naming it; a file that still loads, and the icon, play on without a
// word of ours. Each case runs in a child process in a copy of the run
// directory, so that a crash or a hang shows as such.
#include <SDL/SDL_image.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "shell/video.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

using Picture = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Picture load(const std::string& name) {
    return Picture(IMG_Load(name.c_str()), SDL_FreeSurface);
}

const Rgb whiteKey = {255, 255, 255};

// Every picture file: its name, width, height and where pure white (the
// colour key) lies: 0 in no pixel, 1 in some, 2 at the corners but not at the
// centre, in a picture without pure black (the turned station's key). Each
// station's levels halve its size.
const std::tuple<const char*, int, int, int> pictures[] = {{"uistatic3.png", 640, 480, 1},
                                                           {"crosshairs.png", 540, 300, 2},
                                                           {"light.png", 16, 16, 1},
                                                           {"handle.png", 50, 60, 1},
                                                           {"uicontrols.png", 240, 240, 0},
                                                           {"needle.png", 40, 30, 0},
                                                           {"spaceshipgreen.png", 300, 300, 0},
                                                           {"halvanne.png", 32, 32, 1},
                                                           {"background1.jpg", 1600, 1200, 0},
                                                           {"background2.jpg", 1600, 1200, 0},
                                                           {"background3.jpg", 1600, 1200, 0},
                                                           {"spacestation1.png", 800, 800, 2},
                                                           {"spacestation1med.png", 400, 400, 2},
                                                           {"spacestation1low.png", 200, 200, 2},
                                                           {"spacestation2.png", 800, 800, 2},
                                                           {"spacestation2med.png", 400, 400, 2},
                                                           {"spacestation2low.png", 200, 200, 2}};

// Every picture as decoded, and as the game loads it blitted over magenta: it
// shows its own colours except where it is pure white (the stations'
// near-white shows).
TEST(Pictures, HaveTheirSizesAndTheKeyOnlyWhereThingsShowThrough) {
    openTestScreen();
    for (const auto& [file, w, h, white] : pictures) {
        SCOPED_TRACE(file);
        const Picture p = load(file);
        const Picture loaded(loadImage(file), SDL_FreeSurface);
        ASSERT_TRUE(p != nullptr && loaded != nullptr);
        EXPECT_EQ(std::make_pair(p->w, p->h), std::make_pair(w, h));
        const int whites = pixelsOf(p.get(), whiteKey);
        EXPECT_TRUE(white == 0 ? whites == 0 : whites > 0 && whites < w * h);
        if (white == 2) {
            EXPECT_TRUE(pixelAt(p.get(), 0, 0) == whiteKey &&
                        pixelAt(p.get(), w - 1, h - 1) == whiteKey);
            EXPECT_FALSE(pixelAt(p.get(), w / 2, h / 2) == whiteKey);
            EXPECT_EQ(pixelsOf(p.get(), {0, 0, 0}), 0);
        }
        EXPECT_EQ(loaded->format->BitsPerPixel, 32);
        const Picture shown(
            SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0x00ff00, 0x0000ff, 0),
            SDL_FreeSurface);
        fillSurface(shown.get(), {255, 0, 255});
        applySurface(0, 0, loaded.get(), shown.get());
        int wrong = 0;
        for (int y = 0; y < h; y += 3) {
            for (int x = 0; x < w; x += 3) {
                const Rgb own = pixelAt(p.get(), x, y);
                wrong +=
                    !(pixelAt(shown.get(), x, y) == (own == whiteKey ? Rgb{255, 0, 255} : own));
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_EQ(loadImage("no-such-picture.png"), nullptr);
    // The panel is open over the view and the needle only; behind the dark
    // green readouts it is pale.
    const Picture panel = load("uistatic3.png");
    EXPECT_EQ(pixelsOf(panel.get(), whiteKey, 50, 50, 540, 300), 540 * 300);
    EXPECT_EQ(pixelsOf(panel.get(), whiteKey, 170, 370, 40, 30), 40 * 30);
    EXPECT_EQ(pixelsOf(panel.get(), whiteKey), 540 * 300 + 40 * 30);
    for (int y = 395; y < 455; y += 5) {
        for (int x = 415; x < 615; x += 10) {
            const Rgb c = pixelAt(panel.get(), x, y);
            EXPECT_GT(c.r + c.g + c.b, 3 * 150) << x << "," << y;
        }
    }
    closeTestScreen();
}

// Relative luminance as WCAG defines it, of an sRGB colour.
double luminance(Rgb c) {
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

// The red distance label reads on every background: at most 1% of its pixels
// (the rims of stars, mostly) have less than 2:1 luminance contrast against
// the label's red. So does the stations' tail mark: its plates (the median of
// its pixels in both full pictures) have at least 3:1 against 95% of them.
// The nebulae stay lit well above the night sky, over at least 15% of the picture.
TEST(Media, TheRedLabelAndTheTailMarkReadOnEveryBackground) {
    ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
    const double red = luminance({255, 0, 0});
    EXPECT_NEAR(red, 0.2126, 1e-9);
    std::vector<double> tails;
    for (const char* file : {"spacestation1.png", "spacestation2.png"}) {
        const Picture p = load(file);
        for (int y = 0; y < p->h; ++y) {
            for (int x = 0; x < p->w; ++x) {
                if (const Rgb c = pixelAt(p.get(), x, y); tailColour(c)) {
                    tails.push_back(luminance(c));
                }
            }
        }
    }
    ASSERT_GT(tails.size(), 10000u);
    std::nth_element(tails.begin(), tails.begin() + tails.size() / 2, tails.end());
    const double tail = tails[tails.size() / 2];
    const auto contrast = [](double a, double b) {
        return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    };
    for (const char* file : {"background1.jpg", "background2.jpg", "background3.jpg"}) {
        const Picture p = load(file);
        ASSERT_NE(p, nullptr);
        int faint = 0;
        int dim = 0;
        int lit = 0;
        for (int y = 0; y < p->h; ++y) {
            for (int x = 0; x < p->w; ++x) {
                const double l = luminance(pixelAt(p.get(), x, y));
                faint += contrast(l, red) < 2.0;
                dim += contrast(l, tail) < 3.0;
                lit += l > 0.01;
            }
        }
        const double pixels = p->w * p->h;
        EXPECT_LE(faint / pixels, 0.01) << file;
        EXPECT_LE(dim / pixels, 0.05) << file;
        EXPECT_GE(lit / pixels, 0.15) << file;
        std::cout << file << ": " << 100 * faint / pixels << "% below 2:1 against the label, "
                  << 100 * dim / pixels << "% below 3:1 against the tail (luminance " << tail
                  << "), " << 100 * lit / pixels << "% lit\n";
    }
    SDL_Quit();
}

TEST(Media, SoundLoopsArePcm22050AndCloseWithoutAClick) {
    for (const char* file : {"engineloop.wav", "thruster.wav"}) {
        SDL_AudioSpec spec;
        Uint8* data = nullptr;
        Uint32 bytes = 0;
        ASSERT_NE(SDL_LoadWAV(file, &spec, &data, &bytes), nullptr) << file;
        EXPECT_EQ(spec.format, AUDIO_S16LSB) << file;
        EXPECT_EQ(spec.freq, 22050) << file;
        const Sint16* samples = reinterpret_cast<const Sint16*>(data);
        const Uint32 frames = bytes / 2 / spec.channels;
        EXPECT_GT(frames, 22050u / 2) << file;
        for (Uint32 c = 0; c < spec.channels; ++c) {
            EXPECT_LT(std::abs(samples[(frames - 1) * spec.channels + c] - samples[c]),
                      32768 * 3 / 100)
                << file << " channel " << c;
        }
        SDL_FreeWAV(data);
    }
}

// The mixer plays the music at 22,050 Hz stereo; a file at another rate would
// be converted on the audio thread, which sdl12-compat's converter gets wrong.
TEST(Media, MusicIsMpeg2LayerThreeAt22050HzStereo) {
    std::ifstream file("HalvanneTheme.mp3", std::ios::binary);
    std::string head(10, '\0');
    ASSERT_TRUE(file.read(head.data(), head.size()));
    if (head.compare(0, 3, "ID3") == 0) {
        // Skip the tag, whose size is stored seven bits a byte.
        std::streamoff size = 0;
        for (int i = 6; i < 10; ++i) {
            size = size * 128 + (head[i] & 0x7f);
        }
        file.seekg(10 + size);
        ASSERT_TRUE(file.read(head.data(), 4));
    }
    const auto byte = [&](int i) { return static_cast<unsigned char>(head[i]); };
    ASSERT_EQ(byte(0), 0xff);
    ASSERT_EQ(byte(1) & 0xe0, 0xe0) << "no frame sync";
    EXPECT_EQ((byte(1) >> 3) & 3, 2) << "not MPEG-2";
    EXPECT_EQ((byte(1) >> 1) & 3, 1) << "not layer III";
    EXPECT_EQ((byte(2) >> 2) & 3, 0) << "not 22,050 Hz";
    EXPECT_NE(byte(3) >> 6, 3) << "mono";
}

// Wayland counts as reachable when any one of its three variables is set.
TEST(Video, Sdl12CompatWindowDriversAndWayland) {
    for (const auto& [patch, compat] :
         {std::pair{15, false}, {49, false}, {50, true}, {60, true}}) {
        EXPECT_EQ(isSdl12Compat({1, 2, static_cast<Uint8>(patch)}), compat) << patch;
    }
    for (const char* driver : {"x11", "wayland", "kmsdrm", "fbcon", "offscreen", "dummy"}) {
        EXPECT_EQ(showsWindow(driver), driver[0] != 'o' && driver[0] != 'd') << driver;
    }
    const std::string runtime =
        std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    for (const char* set : {"", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_RUNTIME_DIR"}) {
        for (const char* name : {"WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_RUNTIME_DIR"}) {
            std::strcmp(set, name) == 0 ? setenv(name, "w", 1) : unsetenv(name);
        }
        EXPECT_EQ(waylandReachable(), *set != 0) << set;
    }
    runtime.empty() ? unsetenv("XDG_RUNTIME_DIR") : setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

// Counted with inotify in a copy of the run directory, which no other test
// program reads meanwhile.
TEST(Pictures, StartUpReadsEachPictureAtMostOnce) {
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
    // The seven cockpit pictures, the icon, one background and one station's
    // three levels; the other scene pictures wait for a restart.
    int pictureFiles = 0;
    for (const auto& [name, w, h, white] : pictures) {
        EXPECT_LE(opened[name], 1) << name;
        pictureFiles += opened[name];
    }
    EXPECT_EQ(pictureFiles, 12);
}

// Each file, what the game does without it (R: refuses to start, W: warns and
// plays on, S: plays on without a word of ours, L: as SDL's WAV loader takes
// the file, W when it refuses it and S when it loads it, as SDL 2's does a
// truncated one), and the damages tried beyond its absence, each with its
// own fate where that differs. With the seed the
// children start from, start-up draws background 3 and station 1, and the
// restart after the crash background 2 and station 1 again: a picture that
// cannot be decoded ends the start, is warned of at the restart, or is never
// noticed, as its turn comes.
const char* const mediaFiles[] = {"R 00_Starmap_Truetype.ttf truncated empty text png",
                                  "W uistatic3.png truncated",
                                  "W crosshairs.png",
                                  "W light.png",
                                  "W handle.png empty text jpeg/S",
                                  "W uicontrols.png",
                                  "W needle.png",
                                  "W spaceshipgreen.png",
                                  "S halvanne.png truncated empty text jpeg",
                                  "R background1.jpg truncated/S",
                                  "R background2.jpg empty/W text/W png/S",
                                  "R background3.jpg text",
                                  "R spacestation1low.png truncated",
                                  "R spacestation1med.png empty text jpeg/S",
                                  "R spacestation1.png truncated removed/W",
                                  "R spacestation2low.png",
                                  "R spacestation2med.png empty/S",
                                  "R spacestation2.png",
                                  "W HalvanneTheme.mp3 truncated/S empty text png wav",
                                  "W engineloop.wav truncated/L noChannels noRate",
                                  "W thruster.wav truncated/L empty text png notRiff noChannels "
                                  "noRate hugeRate oddBits longData/L maxRate/L maxChannels/L"};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// original with size bytes at offset from the start of chunk set to value.
std::string patched(std::string original, const char* chunk, std::size_t offset, unsigned value,
                    int size) {
    const std::size_t at = original.find(chunk) + offset;
    for (int i = 0; i < size; ++i) {
        original.at(at + static_cast<std::size_t>(i)) = static_cast<char>(value >> (8 * i));
    }
    return original;
}

std::string damaged(const std::string& original, const std::string& damage) {
    return damage == "truncated"    ? original.substr(0, original.size() / 2)
           : damage == "text"       ? "This is not what the game expects here.\nJust text.\n"
           : damage == "png"        ? readFile("light.png")
           : damage == "jpeg"       ? readFile("background1.jpg")
           : damage == "wav"        ? readFile("thruster.wav")
           : damage == "notRiff"    ? "JUNK" + original.substr(4)
           : damage == "noChannels" ? patched(original, "fmt ", 10, 0, 2)
           : damage == "noRate"     ? patched(original, "fmt ", 12, 0, 4)
           : damage == "hugeRate"   ? patched(original, "fmt ", 12, 0xffffffffu, 4)
           : damage == "oddBits"    ? patched(original, "fmt ", 22, 12, 2)
           : damage == "longData"   ? patched(original, "data", 4, 0xfffffff0u, 4)
           : damage == "maxRate"    ? patched(original, "fmt ", 12, 384000, 4)
           : damage == "maxChannels"
               ? patched(patched(original, "fmt ", 10, 8, 2), "fmt ", 20, 16, 2)
               : "";
}

// Starts as the program does in dir, flies with thruster keys, removes the
// file named removed (if any), ends the approach, presses Enter for the next
// (loading a background and a station again) and shuts down, leaving no file
// open. Returns the wait status; the child's standard output and error go to
// dir/output.txt; a hang ends with SIGKILL.
int playInChild(const fs::path& dir, const std::string& removed) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        fs::current_path(dir);
        if (!std::freopen("output.txt", "w", stdout) || dup2(fileno(stdout), 2) < 0) {
            std::_Exit(3);
        }
        const auto openFiles = [] {
            return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
        };
        const auto filesBefore = openFiles();
        GameLoop loop;
        if (!startTestGame(loop, 4)) {
            std::exit(openFiles() == filesBefore ? 1 : 4);
        }
        pushKey(SDLK_UP, true);
        pushKey(SDLK_a, true);
        runFrames(loop, 2, 30);
        if (!removed.empty()) {
            fs::remove(removed);
        }
        loop.approachScale = 1.0f;
        runFrames(loop, 1, 30);
        pushKey(SDLK_RETURN, true);
        runFrames(loop, 2, 30);
        shutdownGame();
        std::exit(openFiles() == filesBefore ? 0 : 4);
    }
    // Far beyond any start-up, even under the sanitizers on a busy machine.
    int status = -1;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 20) {
        if (waited > 60000) {
            kill(pid, SIGKILL);
        }
        usleep(20000);
    }
    return status;
}

// Our lines begin with the program's name; a library may print its own
// complaint before them.
std::vector<std::string> linesOfOurs(const std::string& output) {
    std::vector<std::string> ours;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("halvanne:", 0) == 0) {
            ours.push_back(line);
        }
    }
    return ours;
}

TEST(BadMedia, RefusesOrPlaysOnAndNamesTheFile) {
    for (const char* const row : mediaFiles) {
        std::istringstream fields(row);
        char fate = 0;
        std::string name;
        std::string damage = "missing";
        fields >> fate >> name;
        do {
            const std::size_t slash = damage.find('/');
            char outcome = slash == std::string::npos ? fate : damage[slash + 1];
            damage = damage.substr(0, slash);
            SCOPED_TRACE(name + " " + damage);
            char pattern[] = "/tmp/halvanne-bad-media-XXXXXX";
            ASSERT_NE(mkdtemp(pattern), nullptr);
            const fs::path dir = pattern;
            for (const fs::directory_entry& file : fs::directory_iterator(fs::current_path())) {
                if (file.path().filename() != name || damage == "removed") {
                    fs::create_symlink(file.path(), dir / file.path().filename());
                }
            }
            if (damage != "missing" && damage != "removed") {
                std::ofstream(dir / name, std::ios::binary) << damaged(readFile(name), damage);
            }
            // A WAV that SDL's own loader refuses is refused with its reason.
            std::string libraryReason = "\n";
            if (fs::path(name).extension() == ".wav") {
                SDL_AudioSpec spec;
                Uint8* samples = nullptr;
                Uint32 length = 0;
                const bool loads = SDL_LoadWAV((dir / name).c_str(), &spec, &samples, &length);
                SDL_FreeWAV(samples);
                libraryReason = loads || *SDL_GetError() == 0 ? libraryReason : SDL_GetError();
                outcome = outcome == 'L' ? (loads ? 'S' : 'W') : outcome;
            }
            const int status = playInChild(dir, damage == "removed" ? name : "");
            const std::string output = readFile(dir / "output.txt");
            fs::remove_all(dir);

            ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status) << "\n" << output;
            EXPECT_EQ(WEXITSTATUS(status), outcome == 'R' ? 1 : 0) << output;
            const std::vector<std::string> ours = linesOfOurs(output);
            ASSERT_EQ(ours.size(), outcome == 'S' ? 0u : 1u) << output;
            if (outcome != 'S') {
                EXPECT_NE(ours[0].find('"' + name + '"'), std::string::npos) << output;
            }
            // Where our own checks refuse a file, the line gives their reason.
            const std::map<std::string, std::string> ownReasons = {
                {"HalvanneTheme.mp3 text", ": not an MP3 file ("},
                {"thruster.wav noChannels",
                 ": an unplayable WAV header (rate 22050 Hz, channels 0)"}};
            if (const auto reason = ownReasons.find(name + " " + damage);
                reason != ownReasons.end()) {
                EXPECT_TRUE(ours.at(0).find(reason->second) != std::string::npos ||
                            ours.at(0).find(libraryReason) != std::string::npos)
                    << output;
            }
        } while (fields >> damage);
    }
}

}  // namespace
