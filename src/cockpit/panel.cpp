#include "cockpit/panel.h"

// Placeholder until the panel lands.
SDL_Rect controlsClips[9];
SDL_Rect shipClips[9];
SDL_Rect handleClips[3];
void setupClips() {}
void startIconClock() {}
void drawFlightInstruments() {}
void drawIdlePanel(bool) {}
