// Drawing one planned layer of the view: cut, turn, key and put it on the screen.
#pragma once

#include <SDL/SDL.h>

#include "view/plan.h"

// The keyGrey of a layer that sets no colour key and so repaints all it covers.
constexpr int noKey = -1;

// Cuts the plan's crop out of picture (or takes the whole picture), turns and
// zooms it, keys it and blits it onto the screen. keyGrey < 0: no colour key,
// the layer repaints everything it covers. A crop filled with the key colour
// keeps the picture's transparent pixels transparent.
void drawLayer(SDL_Surface* picture, const LayerPlan& plan, int keyGrey, bool fillCropWithKey);
