// The engine hum's and the thruster hiss's mixer channels, and the hiss, switched by the keys held.
#pragma once

#include <SDL/SDL_mixer.h>

// Mixer channels: the thruster hiss and the engine hum.
constexpr int thrusterChannel = 1;
constexpr int engineChannel = 2;

// How quickly the hiss dies away, when the keys are released and on the
// outcome screens.
constexpr int thrusterFadeMs = 10;

// Loops chunk on the thruster channel while a thruster key is held and fades
// it out when none is.
void updateThrusterSound(Mix_Chunk* chunk);

// Fades the hiss out; a channel already fading or silent is left as it is.
void fadeThrusterSound();
