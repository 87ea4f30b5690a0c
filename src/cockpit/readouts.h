// The green flight readouts and the red distance label: the numbers they show,
// their texts and their places.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

#include <string>

#include "cockpit/panel.h"

// The numbers that the readouts show of the motion. The drift readouts turn
// the velocities into the craft's own axes: vX is minus the drift along its X
// axis, vY the drift along its Y axis.
float readoutVelocityX();
float readoutVelocityY();

// The label's number: the distance left to the docking point, 50 to a unit of
// distance and one to 50 pixels of offset; 950 at the start distance with no
// offset, 0 at the station.
float readoutDistance();

enum ReadoutKind { KindVX = 0, KindVY = 1, KindVZ = 2, KindWZ = 3, KindDistance = 4 };

// Renders one readout in font and colour; the caller frees the surface. Null
// when nothing is rendered (no font, a kind outside 0..4, no memory for the
// text).
SDL_Surface* renderReadout(int kind, TTF_Font* font, SDL_Color colour);

// The four fixed readouts, lower right on the panel.
void drawReadouts();

// The distance label over the station.
void drawDistanceLabel();

// The text of one readout: its label, then the flight value (velocities
// divided by readoutScale, the roll rate by rollReadoutScale, the distance as
// it is) with two decimals. Empty for a kind outside 0..4.
std::string formatReadout(int kind, float flightValue);

// The text of one readout from the current flight values.
std::string readoutText(int kind);
