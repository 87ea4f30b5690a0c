// Start-up's openings, in their order: SDL, the window, SDL_ttf and the mixer, then caption and
// icon.
#include "shell/systems.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <SDL/SDL_ttf.h>

#include "shell/media.h"
#include "shell/video.h"
#include "view/geometry.h"

bool initSystems() {
    if (SDL_Init(SDL_INIT_EVERYTHING & ~SDL_INIT_VIDEO) == -1 || initVideo() == -1) {
        return false;
    }
    media.screen = SDL_SetVideoMode(screenWidth, screenHeight, 32, 0);
    if (media.screen == nullptr) {
        return false;
    }
    if (TTF_Init() == -1) {
        return false;
    }
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 4096) == -1) {
        return false;
    }
    SDL_WM_SetCaption("Halvanne", nullptr);
    // SDL keeps its own copy of the icon.
    SDL_Surface* icon = loadPicture("halvanne.png");
    if (icon != nullptr) {
        SDL_WM_SetIcon(icon, nullptr);
        SDL_FreeSurface(icon);
    }
    return true;
}
