// A scripted pilot flies the real flight model with nothing but the eight
// thruster keys, from many random starts of both stations, and must dock
// every time: the controls, the motion and the tolerances fit together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>

#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "pilot.h"
#include "shell/game.h"
#include "shell/media.h"

namespace {

struct Flight {
    int score = 0;
    double seconds = 0.0;
    bool arrived = false;
};

constexpr Uint32 timeLimitMs = 20 * 60 * 1000;

Flight flyApproach(unsigned seed, int spin, std::mt19937& frameClock) {
    media.stationSpin = spin;
    std::srand(seed);
    resetApproach();
    Pilot pilot;
    std::uniform_int_distribution<Uint32> frameLength(10, 40);
    Flight flight;
    Uint32 elapsedMs = 0;
    while (elapsedMs < timeLimitMs) {
        flyPilot(pilot);
        const Uint32 frameMs = frameLength(frameClock);
        const float approachScale = advanceDistance(frameMs);
        advanceRelativeRoll(frameMs);
        advanceRoll(frameMs);
        advanceOffsetX(frameMs);
        advanceOffsetY(frameMs);
        elapsedMs += frameMs;
        if (approachScale >= 1.0f) {
            flight.arrived = true;
            flight.score = assessDocking();
            break;
        }
    }
    releasePilotKeys(pilot);
    flight.seconds = elapsedMs / 1000.0;
    return flight;
}

TEST(ScriptedPilot, DocksFromEveryStartOfBothStations) {
    constexpr int runs = 1000;
    std::mt19937 frameClock(20240601);
    double scoreSum = 0.0;
    double secondsSum = 0.0;
    int lowest = 18984;
    double longest = 0.0;
    for (int run = 0; run < runs; ++run) {
        const int spin = run % 2 == 0 ? 0 : 100;
        const unsigned seed = 1000u + static_cast<unsigned>(run);
        const Flight flight = flyApproach(seed, spin, frameClock);
        ASSERT_TRUE(flight.arrived) << "seed " << seed << " spin " << spin;
        ASSERT_GT(flight.score, 0) << "seed " << seed << " spin " << spin;
        scoreSum += flight.score;
        secondsSum += flight.seconds;
        lowest = std::min(lowest, flight.score);
        longest = std::max(longest, flight.seconds);
    }
    const double meanScore = scoreSum / runs;
    const double meanSeconds = secondsSum / runs;
    std::cout << "scripted pilot over " << runs << " approaches: mean score " << meanScore
              << ", lowest " << lowest << ", mean flight " << meanSeconds << " s, longest "
              << longest << " s\n";
    RecordProperty("meanScore", std::to_string(meanScore));
    RecordProperty("meanFlightSeconds", std::to_string(meanSeconds));
    media.stationSpin = 0;
}

}  // namespace
