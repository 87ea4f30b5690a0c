// The end of an approach: the arrival test, the two outcome screens and the
// restart with a new background, station and flight state.
#pragma once

#include "shell/game.h"

// Judges the approach once the craft has reached the station (approachScale
// of the last Flying frame at 1.0 or more) and switches to Docked or Crashed.
void arrivalTest(GameLoop& loop);

// One frame of the Docked or Crashed screen, restarting when Return was polled.
void drawDockedScreen(GameLoop& loop);
void drawCrashedScreen(GameLoop& loop);

// Starts the next approach after the phase that has just ended.
void restartApproach(GameLoop& loop, ApproachPhase ended);
