// The cockpit's pictures: clip tables, the Flying and resting orders, handle, lamps, ship icon.
#include "cockpit/panel.h"

#include "cockpit/readouts.h"
#include "flight/flight.h"
#include "shell/media.h"
#include "view/geometry.h"
#include "view/surface.h"

SDL_Rect controlsClips[9];
SDL_Rect shipClips[iconPictures];
SDL_Rect handleClips[3];

namespace {

constexpr Uint32 iconStepMs = 2000;

// The crosshairs cover the viewport from its corner.
constexpr PanelPoint crosshairsPlace = {viewportLeft, viewportTop};
constexpr PanelPoint needlePlace = {170, 370};
constexpr PanelPoint shipPlace = {70, 370};
constexpr int handleX = 220;
constexpr int restingHandleY = 410;
constexpr PanelPoint controlsPlace = {290, 380};
constexpr int restingControls = 4;

constexpr std::array<PanelPoint, 6> lampPlaces = {
    {{180, 410}, {200, 410}, {180, 430}, {200, 430}, {180, 450}, {200, 450}}};

int iconStepNow = 0;
Uint32 iconStepTimeNow = 0;

SDL_Rect gridCell(int index, int columns, int width, int height) {
    SDL_Rect cell;
    cell.x = static_cast<Sint16>(width * (index % columns));
    cell.y = static_cast<Sint16>(height * (index / columns));
    cell.w = static_cast<Uint16>(width);
    cell.h = static_cast<Uint16>(height);
    return cell;
}

int signColumn(int value) {
    if (value > 0) {
        return 0;
    }
    return value == 0 ? 1 : 2;
}

void drawWhole(PanelPoint place, SDL_Surface* image) {
    applySurface(place.x, place.y, image, media.screen);
}

// Blits from a copy of the clip, so that the tables stay as set up.
void drawClip(int x, int y, SDL_Surface* sheet, SDL_Rect clip) {
    applySurface(x, y, sheet, media.screen, &clip);
}

void drawShipIcon() {
    IconFrame frame = nextIconFrame(SDL_GetTicks(), iconStepNow, iconStepTimeNow);
    if (frame.stepped) {
        // The next interval counts from after this frame's check.
        frame.time = SDL_GetTicks();
    }
    iconStepNow = frame.step;
    iconStepTimeNow = frame.time;
    drawClip(shipPlace.x, shipPlace.y, media.shipImage, shipClips[frame.picture]);
}

}  // namespace

void setupClips() {
    for (int i = 0; i < 9; ++i) {
        controlsClips[i] = gridCell(i, 3, 80, 80);
    }
    for (int i = 0; i < iconPictures; ++i) {
        shipClips[i] = gridCell(i, iconColumns, 100, 100);
    }
    for (int i = 0; i < 3; ++i) {
        handleClips[i] = gridCell(i, 1, 50, 20);
    }
}

void startIconClock() {
    iconStepTimeNow = SDL_GetTicks();
}

int iconStep() {
    return iconStepNow;
}

Uint32 iconStepTime() {
    return iconStepTimeNow;
}

void setIconClock(int step, Uint32 time) {
    iconStepNow = step;
    iconStepTimeNow = time;
}

int handleHeight(int forwardLamp, int reverseLamp) {
    // Summed wide: no counter values can overflow it.
    if (static_cast<long long>(forwardLamp) + reverseLamp == 0) {
        return restingHandleY;
    }
    return forwardLamp > 0 ? 390 : 430;
}

int handlePicture(int thrustRoll) {
    if (thrustRoll == 0) {
        return 0;
    }
    return thrustRoll < 0 ? 1 : 2;
}

int controlsIndex(int thrustX, int thrustY) {
    return 3 * signColumn(thrustY) + signColumn(thrustX);
}

IconFrame nextIconFrame(Uint32 now, int iconStep, Uint32 iconStepTime) {
    IconFrame frame = {iconStep, iconStep, iconStepTime, false};
    // Unsigned: right across the wrap of the tick counter.
    if (now - iconStepTime > iconStepMs) {
        frame.step = iconStep + 1;
        frame.time = now;
        frame.stepped = true;
    }
    // Anything past the last picture starts over, so the clip index stays in
    // the sheet even for a step set from outside.
    if (frame.step < 0 || frame.step >= iconPictures) {
        frame.step = 0;
    }
    frame.picture = frame.step;
    return frame;
}

LampList litLamps(const LampCounters& counters) {
    LampList list = {0, {}};
    for (std::size_t i = 0; i < lampPlaces.size(); ++i) {
        if (counters[i] > 0) {
            list.places[static_cast<std::size_t>(list.count)] = lampPlaces[i];
            ++list.count;
        }
    }
    return list;
}

void drawFlightInstruments() {
    drawDistanceLabel();
    drawWhole(crosshairsPlace, media.crosshairsImage);
    drawWhole(needlePlace, media.needleImage);
    drawWhole({0, 0}, media.panelImage);
    drawShipIcon();
    drawClip(handleX, handleHeight(forwardLamp(), reverseLamp()), media.handleImage,
             handleClips[handlePicture(thrustRoll())]);
    const LampList lamps = litLamps({forwardLamp(), reverseLamp(), upperLeftLamp(),
                                     upperRightLamp(), lowerLeftLamp(), lowerRightLamp()});
    for (int i = 0; i < lamps.count; ++i) {
        drawWhole(lamps.places[static_cast<std::size_t>(i)], media.lightImage);
    }
    drawClip(controlsPlace.x, controlsPlace.y, media.controlsImage,
             controlsClips[controlsIndex(thrustX(), thrustY())]);
    drawReadouts();
}

void drawIdlePanel(bool withCrosshairs) {
    if (withCrosshairs) {
        drawWhole(crosshairsPlace, media.crosshairsImage);
    }
    drawWhole(needlePlace, media.needleImage);
    drawWhole({0, 0}, media.panelImage);
    drawClip(handleX, restingHandleY, media.handleImage, handleClips[0]);
    drawClip(controlsPlace.x, controlsPlace.y, media.controlsImage, controlsClips[restingControls]);
}
