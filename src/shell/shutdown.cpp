// Shutdown: every medium freed, then the mixer, the fonts, SDL_ttf and SDL closed, in that order.
#include "shell/shutdown.h"

#include "shell/media.h"

void shutdownGame() {
    Mix_FreeMusic(media.musicTrack);
    Mix_FreeChunk(media.engineLoop);
    Mix_FreeChunk(media.thrusterSound);
    SDL_Surface* surfaces[] = {media.crosshairsImage, media.backgroundImage, media.panelImage,
                               media.stationLow,      media.stationMed,      media.stationFull,
                               media.handleImage,     media.controlsImage,   media.needleImage,
                               media.lightImage,      media.shipImage};
    for (SDL_Surface* surface : surfaces) {
        SDL_FreeSurface(surface);
    }
    forgetUnloadedMedia();
    closeSystems();
}

void closeSystems() {
    Mix_CloseAudio();
    // Fonts are closed before SDL_ttf; none is open yet when a start ends early.
    if (media.readoutFont != nullptr) {
        TTF_CloseFont(media.readoutFont);
    }
    if (media.messageFont != nullptr) {
        TTF_CloseFont(media.messageFont);
    }
    TTF_Quit();
    SDL_Quit();
    media = MediaSet();
}
