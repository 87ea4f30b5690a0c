// The thruster hiss: looped on its channel while a thruster key is held, faded out when none is.
#include "flight/sound.h"

#include "flight/flight.h"

void updateThrusterSound(Mix_Chunk* chunk) {
    if (firingCount() > 0) {
        // A channel still fading out counts as playing and is left to finish.
        if (chunk != nullptr && Mix_Playing(thrusterChannel) == 0) {
            Mix_PlayChannelTimed(thrusterChannel, chunk, -1, -1);
        }
        return;
    }
    fadeThrusterSound();
}

void fadeThrusterSound() {
    Mix_FadeOutChannel(thrusterChannel, thrusterFadeMs);
}
