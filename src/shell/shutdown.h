// Shutdown: the media set freed and the libraries closed, in a fixed order.
#pragma once

// Frees every medium, then closes the libraries (closeSystems).
void shutdownGame();

// Closes the mixer, the fonts still open, SDL_ttf and SDL, in that order, and
// empties the media set: the end of shutdown, and of a start that cannot go on.
void closeSystems();
