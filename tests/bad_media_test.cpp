// Every media file in turn damaged: missing, cut short, and for one file of
// each kind empty, text, a file of another kind or a broken WAV header. The
// game refuses to start with one line naming a font, background or station it
// cannot use, or plays on without a cockpit picture, sound or the music with
// one warning naming it; a file that still loads, and the icon, play on
// silently. Each case runs in a child process in a copy of the run directory,
// so that a crash or a hang shows as such.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// R: the game refuses to start, W: it warns and plays on, S: it plays on silently.
struct MediaFile {
    const char* name;
    char outcome;
    const char* moreDamages;  // beyond missing and truncated
};
const MediaFile mediaFiles[] = {
    {"00_Starmap_Truetype.ttf", 'R', "empty text png"},
    {"uistatic3.png", 'W', ""},
    {"crosshairs.png", 'W', ""},
    {"light.png", 'W', ""},
    {"handle.png", 'W', "empty text jpeg"},
    {"uicontrols.png", 'W', ""},
    {"needle.png", 'W', ""},
    {"spaceshipgreen.png", 'W', ""},
    {"halvanne.png", 'S', "empty text jpeg"},
    {"background1.jpg", 'R', ""},
    {"background2.jpg", 'R', "empty text png"},
    {"background3.jpg", 'R', ""},
    {"spacestation1low.png", 'R', ""},
    {"spacestation1med.png", 'R', "empty text jpeg"},
    {"spacestation1.png", 'R', ""},
    {"spacestation2low.png", 'R', ""},
    {"spacestation2med.png", 'R', ""},
    {"spacestation2.png", 'R', ""},
    {"HalvanneTheme.mp3", 'W', "empty text png wav"},
    {"engineloop.wav", 'W', "noChannels noRate"},
    {"thruster.wav", 'W', "empty text png notRiff noChannels noRate hugeRate oddBits longData"},
};

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
                                    : "";
}

// Pictures are read by their content whatever their name, a cut JPEG decodes
// with its missing rows grey and a cut MP3 is a shorter tune.
bool stillLoads(const std::string& name, const std::string& damage) {
    const std::string kind = name.substr(name.rfind('.'));
    return (kind == ".jpg" && (damage == "truncated" || damage == "png")) ||
           (kind == ".png" && damage == "jpeg") || (kind == ".mp3" && damage == "truncated");
}

// Starts as the program does in dir, flies with thruster keys, ends the
// approach, presses Enter for the next (loading a background and a station
// again) and shuts down, leaving no file open. Returns the wait status; the
// child's standard output and error go to dir/output.txt; a hang ends with
// SIGKILL.
int playInChild(const fs::path& dir) {
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

TEST(BadMedia, RefusesOrPlaysOnAndNamesTheFile) {
    for (const MediaFile& file : mediaFiles) {
        std::istringstream damages(std::string("missing truncated ") + file.moreDamages);
        for (std::string damage; damages >> damage;) {
            SCOPED_TRACE(std::string(file.name) + " " + damage);
            char pattern[] = "/tmp/halvanne-bad-media-XXXXXX";
            ASSERT_NE(mkdtemp(pattern), nullptr);
            const fs::path dir = pattern;
            for (const fs::directory_entry& entry : fs::directory_iterator(fs::current_path())) {
                if (entry.path().filename() != file.name) {
                    fs::create_symlink(entry.path(), dir / entry.path().filename());
                }
            }
            if (damage != "missing") {
                std::ofstream(dir / file.name, std::ios::binary)
                    << damaged(readFile(file.name), damage);
            }
            const int status = playInChild(dir);
            const std::string output = readFile(dir / "output.txt");
            fs::remove_all(dir);

            ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status) << "\n" << output;
            const char outcome = stillLoads(file.name, damage) ? 'S' : file.outcome;
            EXPECT_EQ(WEXITSTATUS(status), outcome == 'R' ? 1 : 0) << output;
            if (outcome == 'S') {
                EXPECT_EQ(output, "");
            } else {
                EXPECT_TRUE(!output.empty() && output.find('\n') == output.size() - 1) << output;
                EXPECT_NE(output.find('"' + std::string(file.name) + '"'), std::string::npos)
                    << output;
            }
        }
    }
}

}  // namespace
