// The instrument panel: panel picture, crosshairs, needle, ship icon, handle,
// thruster lamps and the controls picture.
#pragma once

#include <SDL/SDL.h>

#include <array>

// The ship icon's sheet: nine pictures shown in turn, three to a row.
constexpr int iconPictures = 9;
constexpr int iconColumns = 3;

extern SDL_Rect controlsClips[9];
extern SDL_Rect shipClips[iconPictures];
extern SDL_Rect handleClips[3];

// A top-left corner on the screen.
struct PanelPoint {
    int x;
    int y;
};

// Fills the three clip tables.
void setupClips();

// Takes the ship icon's first time reading, just before the loop starts.
void startIconClock();

// The cockpit of a Flying frame, readouts and distance label included.
void drawFlightInstruments();

// The resting cockpit of the outcome screens.
void drawIdlePanel(bool withCrosshairs);

// The handle's top edge: 410 at rest, 390 when forward thrust wins, 430 when
// reverse thrust wins.
int handleHeight(int forwardLamp, int reverseLamp);

// The handle strip: 0 without roll thrust, 1 rolling negative, 2 positive.
int handlePicture(int thrustRoll);

// The cell of the controls sheet, 3 * row + column, from the signs of the
// lateral thrusts (column by thrustX, row by thrustY: positive, zero,
// negative).
int controlsIndex(int thrustX, int thrustY);

// The ship icon for one Flying frame: the step and the time of the last step
// after it, and the cell of shipClips to draw.
struct IconFrame {
    int step;
    int picture;
    Uint32 time;
    bool stepped;
};

// Steps once when more than 2000 ms (unsigned difference) have passed since
// iconStepTime, however long the gap; after step 8 comes step 0.
IconFrame nextIconFrame(Uint32 now, int iconStep, Uint32 iconStepTime);

// The ship icon's animation state, kept for the whole run.
int iconStep();
Uint32 iconStepTime();
void setIconClock(int step, Uint32 time);

// Lamp counters in the order forward, reverse, upper left, upper right, lower
// left, lower right.
using LampCounters = std::array<int, 6>;

// The places of the lit lamps (counter above 0), in the order of the counters.
struct LampList {
    int count;
    std::array<PanelPoint, 6> places;
};
LampList litLamps(const LampCounters& counters);
