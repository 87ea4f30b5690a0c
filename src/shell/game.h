// The main loop: the event poll, the frame time and the work of one frame.
#pragma once

#include <SDL/SDL.h>

enum ApproachPhase { Flying = 0, Docked = 1, Crashed = 2 };

// Control codes of pollInput.
constexpr int pollNothing = 0;
constexpr int pollQuit = 1;
constexpr int pollTryAgain = 2;

// The loop's variables, kept together so that one frame can be run alone.
struct GameLoop {
    int pollResult = pollNothing;
    Uint32 lastTicks = 0;
    Uint32 frameMs = 0;
    float approachScale = 0.0f;  // 1 / distance of the last Flying frame
    ApproachPhase approachPhase = Flying;
    int points = 0;
};

// The last event that pollInput took; the thruster keys read it too.
extern SDL_Event inputEvent;

// Drains SDL's event queue: 1 on a window close or Escape, 2 on Return, else
// 0; the last of Return and Escape wins, a window close ends the poll.
int pollInput();

// Start-up up to the loop's entry. False when the systems or the media that a
// game cannot run without are missing (the program then exits with 1).
bool startGame(GameLoop& loop);

// One pass of the loop: poll, frame time, the frame's work, flip.
void runFrame(GameLoop& loop);

// The frame's work for the phase, with pollResult and frameMs already set:
// the arrival test, then the Flying frame or the outcome screen.
void runFrameWork(GameLoop& loop);

// The motion steps, the scene, the cockpit and the thruster sound.
void drawFlyingFrame(GameLoop& loop);

// The program: start-up, the loop until quit, shutdown. Returns the exit code.
int runGame(int argc, char* argv[]);
