// The thruster hiss, switched by the keys held.
#pragma once

#include <SDL/SDL_mixer.h>

// Loops chunk on the thruster channel while a thruster key is held and fades
// it out when none is.
void updateThrusterSound(Mix_Chunk* chunk);
