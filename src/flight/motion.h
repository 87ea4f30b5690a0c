// Motion integration: each Flying frame advances the craft by frameMs.
#pragma once

#include <SDL/SDL.h>

// The steps, called in this order every Flying frame with the same frameMs.
float advanceDistance(Uint32 frameMs);  // returns approachScale = 1 / distance
float advanceRelativeRoll(Uint32 frameMs);
float advanceRoll(Uint32 frameMs);
float advanceOffsetX(Uint32 frameMs);
float advanceOffsetY(Uint32 frameMs);

// The values the readouts show.
float readoutVelocityX();
float readoutVelocityY();
float readoutDistance();
