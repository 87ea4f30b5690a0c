// A scripted pilot that flies the craft with nothing but the eight thruster
// keys: it rolls the station to the docked half turn, nulls the offsets and
// drift, and closes at a speed the tolerances allow.
#pragma once

#include <SDL/SDL.h>

enum PilotKey { keyA, keyD, keyW, keyS, keyUp, keyDown, keyRight, keyLeft, pilotKeyCount };

// How the pilot's key presses and releases reach the game.
using KeySender = void (*)(SDLKey key, bool down);

// Hands the key straight to the thruster keys, as pollInput would.
void applyKeyNow(SDLKey key, bool down);

// Queues the key in SDL's event queue for the next pollInput.
void queueKey(SDLKey key, bool down);

// One frame of the motion steps, in the game's order; the approach scale.
float advanceMotion(Uint32 frameMs);

struct Pilot {
    KeySender send = applyKeyNow;
    bool held[pilotKeyCount] = {};
};

// One decision, from the flight state of the last frame.
void flyPilot(Pilot& pilot);

void releasePilotKeys(Pilot& pilot);
