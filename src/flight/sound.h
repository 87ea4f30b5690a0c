// The thruster hiss, switched by the keys held.
#pragma once

#include <SDL/SDL_mixer.h>

// How quickly the hiss dies away, when the keys are released and on the
// outcome screens.
constexpr int thrusterFadeMs = 10;

// Loops chunk on the thruster channel while a thruster key is held and fades
// it out when none is.
void updateThrusterSound(Mix_Chunk* chunk);
