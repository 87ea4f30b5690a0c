// A rule of the game: which background and station come next, at start-up and at every restart.
#include "shell/choice.h"

#include <cstdlib>

#include "shell/media.h"

void chooseBackground() {
    int n = 3;
    if (std::rand() % 3 == 0) {
        n = 1;
    } else if (std::rand() % 2 == 0) {
        n = 2;
    }
    loadBackground(n);
}

void chooseStation(bool afterDocking) {
    if (afterDocking) {
        loadStationSet(media.station == 2 ? 1 : 2);
    } else {
        loadStationSet(std::rand() % 2 == 0 ? 1 : 2);
    }
}
