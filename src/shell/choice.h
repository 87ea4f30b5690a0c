// A rule of the game: which background and which station come next.
#pragma once

// Loads one of the three backgrounds at random (one or two rand draws): each
// has a chance of one third.
void chooseBackground();

// Loads the next station: after a docking the other one, otherwise one drawn
// at random (one rand draw).
void chooseStation(bool afterDocking);
