// The five motion steps: each Flying frame advances the craft by frameMs.
// The numbers that the readouts make of the motion (the drift along the craft's
// own axes, the label's distance) are in cockpit/readouts.h.
#pragma once

#include <SDL/SDL.h>

// The steps, called in this order every Flying frame with the same frameMs.
float advanceDistance(Uint32 frameMs);  // returns approachScale = 1 / distance
float advanceRelativeRoll(Uint32 frameMs);
float advanceRoll(Uint32 frameMs);
float advanceOffsetX(Uint32 frameMs);
float advanceOffsetY(Uint32 frameMs);
