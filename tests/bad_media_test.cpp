// Every media file in turn damaged: missing, empty, cut short, or a file of
// another kind under its name. The game must either refuse to start, with
// exit code 1 and one line naming the file (the font, the backgrounds and the
// stations, without which it cannot draw), or start and play without the
// picture or sound, with one warning line naming it (the cockpit pictures,
// the sounds and the music); a damaged file that still loads plays on
// silently, and so does a broken icon. Each case runs in a child process in
// a copy of the run directory, so that a crash or a hang in a library shows
// as such and no case sees another's state.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

enum class Role { Required, Optional, Icon };

struct MediaFile {
    const char* name;
    Role role;
};

const MediaFile mediaFiles[] = {
    {"00_Starmap_Truetype.ttf", Role::Required},
    {"uistatic3.png", Role::Optional},
    {"crosshairs.png", Role::Optional},
    {"light.png", Role::Optional},
    {"handle.png", Role::Optional},
    {"uicontrols.png", Role::Optional},
    {"needle.png", Role::Optional},
    {"spaceshipgreen.png", Role::Optional},
    {"halvanne.png", Role::Icon},
    {"background1.jpg", Role::Required},
    {"background2.jpg", Role::Required},
    {"background3.jpg", Role::Required},
    {"spacestation1low.png", Role::Required},
    {"spacestation1med.png", Role::Required},
    {"spacestation1.png", Role::Required},
    {"spacestation2low.png", Role::Required},
    {"spacestation2med.png", Role::Required},
    {"spacestation2.png", Role::Required},
    {"HalvanneTheme.mp3", Role::Optional},
    {"engineloop.wav", Role::Optional},
    {"thruster.wav", Role::Optional},
};

enum class Damage {
    Missing,
    Empty,
    Truncated,  // the first half of the file
    TextFile,
    PngFile,   // a real picture in PNG
    JpegFile,  // a real picture in JPEG
    WavFile,   // a real sound in WAV
    WavNotRiff,
    WavNoChannels,
    WavNoRate,
    WavHugeRate,
    WavOddBits,
    WavLongData,  // a data chunk that claims 4 GiB
};

const char* damageName(Damage damage) {
    switch (damage) {
        case Damage::Missing:
            return "Missing";
        case Damage::Empty:
            return "Empty";
        case Damage::Truncated:
            return "Truncated";
        case Damage::TextFile:
            return "TextFile";
        case Damage::PngFile:
            return "PngFile";
        case Damage::JpegFile:
            return "JpegFile";
        case Damage::WavFile:
            return "WavFile";
        case Damage::WavNotRiff:
            return "WavNotRiff";
        case Damage::WavNoChannels:
            return "WavNoChannels";
        case Damage::WavNoRate:
            return "WavNoRate";
        case Damage::WavHugeRate:
            return "WavHugeRate";
        case Damage::WavOddBits:
            return "WavOddBits";
        case Damage::WavLongData:
            return "WavLongData";
    }
    return "";
}

enum class Outcome { Refused, Warned, Clean };

struct BadMediaCase {
    MediaFile file;
    Damage damage;
    Outcome expected;
};

void PrintTo(const BadMediaCase& test, std::ostream* out) {
    *out << test.file.name << ", " << damageName(test.damage);
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Whether the game can still use the file: a cut JPEG decodes with its
// missing rows grey, a cut MP3 is a shorter tune, and a picture is read by
// its content whatever its name says.
bool stillLoads(const std::string& name, Damage damage) {
    if (endsWith(name, ".jpg")) {
        return damage == Damage::Truncated || damage == Damage::PngFile;
    }
    if (endsWith(name, ".png")) {
        return damage == Damage::JpegFile;
    }
    if (endsWith(name, ".mp3")) {
        return damage == Damage::Truncated;
    }
    return false;
}

// One file of each kind is damaged every way; the others are missing or cut
// short, which reaches each of them through its decoder.
const char* const damagedEveryWay[] = {
    "00_Starmap_Truetype.ttf", "handle.png",        "halvanne.png", "background2.jpg",
    "spacestation1med.png",    "HalvanneTheme.mp3", "thruster.wav"};

std::vector<Damage> damagesFor(const std::string& name) {
    std::vector<Damage> damages = {Damage::Missing, Damage::Truncated};
    if (name == "engineloop.wav") {
        damages.insert(damages.end(), {Damage::WavNoChannels, Damage::WavNoRate});
    }
    if (std::find(std::begin(damagedEveryWay), std::end(damagedEveryWay), name) ==
        std::end(damagedEveryWay)) {
        return damages;
    }
    damages.insert(damages.end(), {Damage::Empty, Damage::TextFile});
    if (endsWith(name, ".png")) {
        damages.push_back(Damage::JpegFile);
    } else if (endsWith(name, ".jpg") || endsWith(name, ".ttf")) {
        damages.push_back(Damage::PngFile);
    } else if (endsWith(name, ".mp3")) {
        damages.insert(damages.end(), {Damage::PngFile, Damage::WavFile});
    } else if (endsWith(name, ".wav")) {
        damages.insert(damages.end(), {Damage::PngFile, Damage::WavNotRiff, Damage::WavNoChannels,
                                       Damage::WavNoRate, Damage::WavHugeRate, Damage::WavOddBits,
                                       Damage::WavLongData});
    }
    return damages;
}

std::vector<BadMediaCase> allCases() {
    std::vector<BadMediaCase> cases;
    for (const MediaFile& file : mediaFiles) {
        for (const Damage damage : damagesFor(file.name)) {
            Outcome expected = Outcome::Clean;
            if (!stillLoads(file.name, damage)) {
                if (file.role == Role::Required) {
                    expected = Outcome::Refused;
                } else if (file.role == Role::Optional) {
                    expected = Outcome::Warned;
                }
            }
            cases.push_back({file, damage, expected});
        }
    }
    return cases;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void putLittleEndian(std::string& bytes, std::size_t at, unsigned value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

// The damaged bytes of original (a WAV file for the header damages).
std::string damaged(const std::string& original, Damage damage) {
    std::string bytes = original;
    const std::size_t format = original.find("fmt ");
    const std::size_t data = original.find("data");
    switch (damage) {
        case Damage::Missing:
        case Damage::Empty:
            return "";
        case Damage::Truncated:
            return original.substr(0, original.size() / 2);
        case Damage::TextFile:
            return "This is not what the game expects here.\nJust text.\n";
        case Damage::PngFile:
            return readFile("light.png");
        case Damage::JpegFile:
            return readFile("background1.jpg");
        case Damage::WavFile:
            return readFile("thruster.wav");
        case Damage::WavNotRiff:
            bytes.replace(0, 4, "JUNK");
            return bytes;
        case Damage::WavNoChannels:
            putLittleEndian(bytes, format + 10, 0, 2);
            return bytes;
        case Damage::WavNoRate:
            putLittleEndian(bytes, format + 12, 0, 4);
            return bytes;
        case Damage::WavHugeRate:
            putLittleEndian(bytes, format + 12, 0xffffffffu, 4);
            return bytes;
        case Damage::WavOddBits:
            putLittleEndian(bytes, format + 22, 12, 2);
            return bytes;
        case Damage::WavLongData:
            putLittleEndian(bytes, data + 4, 0xfffffff0u, 4);
            return bytes;
    }
    return bytes;
}

// A copy of the run directory (links to its files) with one file damaged.
std::string damagedRunDirectory(const BadMediaCase& test) {
    char pattern[] = "/tmp/halvanne-bad-media-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) {
        return "";
    }
    const std::string dir = made;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
        return "";
    }
    DIR* run = opendir(".");
    while (const dirent* entry = readdir(run)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == test.file.name) {
            continue;
        }
        if (symlink((std::string(cwd) + "/" + name).c_str(), (dir + "/" + name).c_str()) != 0) {
            closedir(run);
            return "";
        }
    }
    closedir(run);
    if (test.damage != Damage::Missing) {
        writeFile(dir + "/" + test.file.name, damaged(readFile(test.file.name), test.damage));
    }
    return dir;
}

void removeDirectory(const std::string& dir) {
    DIR* run = opendir(dir.c_str());
    if (run == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(run)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            unlink((dir + "/" + name).c_str());
        }
    }
    closedir(run);
    rmdir(dir.c_str());
}

void runFrames(GameLoop& loop, int frames) {
    for (int i = 0; i < frames; ++i) {
        loop.pollResult = pollInput();
        loop.frameMs = 30;
        runFrameWork(loop);
        SDL_Flip(media.screen);
    }
}

// The child's life: start as the program does, fly a few frames with the
// thruster keys, end the approach, press Enter for the next (which loads a
// background and a station again), fly on and shut down.
[[noreturn]] void playInChild(const std::string& dir) {
    if (chdir(dir.c_str()) != 0) {
        std::_Exit(3);
    }
    GameLoop loop;
    if (!startTestGame(loop, 4)) {
        std::exit(1);
    }
    pushKey(SDLK_UP, true);
    pushKey(SDLK_a, true);
    runFrames(loop, 2);
    pushKey(SDLK_UP, false);
    pushKey(SDLK_a, false);
    loop.approachScale = 1.0f;
    runFrames(loop, 1);
    pushKey(SDLK_RETURN, true);
    pushKey(SDLK_RETURN, false);
    runFrames(loop, 2);
    shutdownGame();
    std::exit(0);
}

struct ChildResult {
    bool hung = false;
    int exitCode = -1;  // -1 when a signal ended it
    int signal = 0;
    std::string standardError;
    std::string standardOutput;
};

ChildResult runChild(const std::string& dir) {
    const std::string errorPath = dir + "/stderr.txt";
    const std::string outputPath = dir + "/stdout.txt";
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int error = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (error < 0 || output < 0 || dup2(error, 2) < 0 || dup2(output, 1) < 0) {
            std::_Exit(3);
        }
        playInChild(dir);
    }
    ChildResult result;
    int status = 0;
    // Far beyond any start-up, even under the sanitizers on a busy machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!result.hung) {
        if (WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.signal = WTERMSIG(status);
        }
    }
    result.standardError = readFile(errorPath);
    result.standardOutput = readFile(outputPath);
    return result;
}

int lineCount(const std::string& text) {
    int lines = 0;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

class BadMediaTest : public testing::TestWithParam<BadMediaCase> {};

TEST_P(BadMediaTest, RefusesOrPlaysOnAndNamesTheFile) {
    const BadMediaCase& test = GetParam();
    const std::string dir = damagedRunDirectory(test);
    ASSERT_FALSE(dir.empty()) << "cannot lay out a run directory";
    const ChildResult result = runChild(dir);
    removeDirectory(dir);

    ASSERT_FALSE(result.hung) << "the game hung\n" << result.standardError;
    ASSERT_EQ(result.signal, 0) << "the game died of signal " << result.signal << "\n"
                                << result.standardError;
    EXPECT_EQ(result.standardOutput, "");
    const std::string quotedName = std::string("\"") + test.file.name + "\"";
    switch (test.expected) {
        case Outcome::Refused:
            EXPECT_EQ(result.exitCode, 1) << result.standardError;
            EXPECT_EQ(lineCount(result.standardError), 1) << result.standardError;
            EXPECT_TRUE(endsWith(result.standardError, "\n")) << result.standardError;
            EXPECT_NE(result.standardError.find(quotedName), std::string::npos)
                << result.standardError;
            break;
        case Outcome::Warned:
            EXPECT_EQ(result.exitCode, 0) << result.standardError;
            EXPECT_EQ(lineCount(result.standardError), 1) << result.standardError;
            EXPECT_TRUE(endsWith(result.standardError, "\n")) << result.standardError;
            EXPECT_NE(result.standardError.find(quotedName), std::string::npos)
                << result.standardError;
            break;
        case Outcome::Clean:
            EXPECT_EQ(result.exitCode, 0) << result.standardError;
            EXPECT_EQ(result.standardError, "");
            break;
    }
}

std::string caseName(const testing::TestParamInfo<BadMediaCase>& info) {
    std::string name = info.param.file.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name + "_" + damageName(info.param.damage);
}

INSTANTIATE_TEST_SUITE_P(EveryFile, BadMediaTest, testing::ValuesIn(allCases()), caseName);

}  // namespace
