// The green flight readouts and the red distance label.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

#include <string>

#include "cockpit/panel.h"

enum ReadoutKind { KindVX = 0, KindVY = 1, KindVZ = 2, KindWZ = 3, KindDistance = 4 };

// Renders one readout in font and colour; the caller frees the surface. Null
// when nothing is rendered (no font, or a kind outside 0..4).
SDL_Surface* renderReadout(int kind, TTF_Font* font, SDL_Color colour);

// The four fixed readouts, lower right on the panel.
void drawReadouts();

// The distance label over the station.
void drawDistanceLabel();

// The text of one readout: its label, then the flight value (velocities
// divided by 50, the roll rate by 10, the distance as it is) with two
// decimals. Empty for a kind outside 0..4.
std::string formatReadout(int kind, float flightValue);

// The text of one readout from the current flight values.
std::string readoutText(int kind);
