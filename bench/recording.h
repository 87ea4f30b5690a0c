// The game's sound as the player hears it: the real game loop on the dummy
// video driver, with SDL's disk audio driver writing every buffer that the
// mixer plays to a file (signed 16-bit stereo at 22050 Hz).
#pragma once

#include <SDL/SDL.h>

#include <cstddef>
#include <string>
#include <vector>

struct Recording {
    std::vector<Sint16> samples;  // interleaved left and right
    // Stereo frames before the thruster key went down (all when it did not).
    std::size_t pressFrame = 0;
};

constexpr int recordingRate = 22050;

// Plays seconds of real time from start-up, holding the roll thruster key
// (through SDL's event queue) from holdFrom seconds on; an empty recording
// when the game cannot start.
Recording recordGame(const std::string& path, double seconds, double holdFrom);

// The highest absolute sample in dBFS, and of the stereo frames [begin, end)
// the RMS level in dBFS of the band lowHz to highHz.
double peakDbfs(const Recording& recording);
double bandDbfs(const Recording& recording, std::size_t begin, std::size_t end, double lowHz,
                double highHz);
