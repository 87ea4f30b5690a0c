#include "flight/motion.h"

// Placeholder until the flight model lands.
float advanceDistance(Uint32) { return 0.05f; }
float advanceRelativeRoll(Uint32) { return 0.0f; }
float advanceRoll(Uint32) { return 0.0f; }
float advanceOffsetX(Uint32) { return 0.0f; }
float advanceOffsetY(Uint32) { return 0.0f; }
float readoutVelocityX() { return 0.0f; }
float readoutVelocityY() { return 0.0f; }
float readoutDistance() { return 0.0f; }
