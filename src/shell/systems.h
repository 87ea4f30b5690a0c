// The libraries and the window opened at start-up: SDL, the window, SDL_ttf and the mixer.
#pragma once

// Opens SDL, the 640 x 480 window, SDL_ttf and the mixer, then sets the
// caption and icon. False as soon as one of the four openings fails; what was
// opened stays open for closeSystems.
bool initSystems();
