// The instrument panel: panel picture, crosshairs, needle, ship icon, handle,
// thruster lamps and the controls picture.
#pragma once

#include <SDL/SDL.h>

extern SDL_Rect controlsClips[9];
extern SDL_Rect shipClips[9];
extern SDL_Rect handleClips[3];

// Fills the three clip tables.
void setupClips();

// Takes the ship icon's first time reading, just before the loop starts.
void startIconClock();

// The cockpit of a Flying frame, readouts and distance label included.
void drawFlightInstruments();

// The resting cockpit of the outcome screens.
void drawIdlePanel(bool withCrosshairs);
