// The mix as the player hears it, recorded through SDL's disk audio driver
// while the real game loop runs: music, hum and hiss together stay under
// -1 dBFS, and a held thruster lifts the 1-4 kHz band far over the music and
// the hum. Two short runs from start-up play nearly the same stretch of
// music, one without and one with the thruster held from the first frame.
#include <unistd.h>

#include <cstdio>

#include "recording.h"
#include "test_support.h"

namespace {

constexpr double seconds = 3.0;
constexpr std::size_t settle = recordingRate / 2;  // start-up, and the hiss's first buffer

TEST(MixTest, NeverClipsAndTheHissStandsOut) {
    const std::string path =
        ::testing::TempDir() + "halvanne_mix_" + std::to_string(getpid()) + ".raw";
    const Recording quiet = recordGame(path, seconds, seconds);
    const Recording hiss = recordGame(path, seconds, 0);
    std::remove(path.c_str());
    for (const Recording* recording : {&quiet, &hiss}) {
        ASSERT_GT(recording->samples.size() / 2, recordingRate * 2);
        const double peak = peakDbfs(*recording);
        EXPECT_LE(peak, -1.0);
        EXPECT_GT(peak, -20.0) << "the music and the hum play";
    }
    const std::size_t end = hiss.samples.size() / 2;
    ASSERT_GT(end, hiss.pressFrame + settle + recordingRate) << "a second of hiss";
    const double without = bandDbfs(quiet, settle, quiet.samples.size() / 2, 1000, 4000);
    const double with = bandDbfs(hiss, hiss.pressFrame + settle, end, 1000, 4000);
    EXPECT_GE(with - without, 15.0)
        << "1-4 kHz: " << without << " dBFS without, " << with << " dBFS with the hiss";
}

}  // namespace
