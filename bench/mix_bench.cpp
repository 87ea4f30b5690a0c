// The mix as the player hears it: records the real game through SDL's disk
// audio driver for a number of seconds, holding the roll thruster for the
// second half, and prints the peak, the clipped samples and the 1-4 kHz band
// with and without the hiss. Run it in the run directory:
//   cd build-X/run && ../bench/mix_bench [seconds] [raw file]
// The raw file (signed 16-bit stereo, 22050 Hz) is kept for other tools.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "recording.h"

int main(int argc, char* argv[]) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const std::string path = argc > 2 ? argv[2] : "/tmp/halvanne_mix.raw";
    const Recording recording = recordGame(path, seconds, seconds / 2);
    const std::size_t frames = recording.samples.size() / 2;
    if (frames == 0) {
        std::fprintf(stderr, "mix_bench: the game could not start here\n");
        return 1;
    }
    int clipped = 0;
    for (Sint16 sample : recording.samples) {
        clipped += sample >= 32767 || sample <= -32768 ? 1 : 0;
    }
    // Half a second of margin on both sides of the key press.
    const std::size_t margin = recordingRate / 2;
    const double without = bandDbfs(recording, margin, recording.pressFrame, 1000, 4000);
    const double with = bandDbfs(recording, recording.pressFrame + margin, frames, 1000, 4000);
    std::printf("recorded %.2f s into %s, thruster held from %.2f s\n",
                static_cast<double>(frames) / recordingRate, path.c_str(),
                static_cast<double>(recording.pressFrame) / recordingRate);
    std::printf("peak %.2f dBFS, %d clipped samples\n", peakDbfs(recording), clipped);
    std::printf("1-4 kHz band: %.2f dBFS without the hiss, %.2f dBFS with it, lift %.2f dB\n",
                without, with, with - without);
    return 0;
}
