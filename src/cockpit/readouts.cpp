#include "cockpit/readouts.h"

// Placeholder until the readouts land.
SDL_Surface* renderReadout(int, TTF_Font*, SDL_Color) { return nullptr; }
void drawReadouts() {}
void drawDistanceLabel() {}
