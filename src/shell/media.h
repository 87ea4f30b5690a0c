// The media set: the display surface, fonts, pictures, music and sounds, and
// their checks and loads at start-up and at a restart.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <SDL/SDL_ttf.h>

struct MediaSet {
    SDL_Surface* screen = nullptr;  // owned by SDL
    TTF_Font* readoutFont = nullptr;
    TTF_Font* messageFont = nullptr;
    SDL_Surface* panelImage = nullptr;
    SDL_Surface* crosshairsImage = nullptr;
    SDL_Surface* lightImage = nullptr;
    SDL_Surface* handleImage = nullptr;
    SDL_Surface* controlsImage = nullptr;
    SDL_Surface* needleImage = nullptr;
    SDL_Surface* shipImage = nullptr;
    SDL_Surface* backgroundImage = nullptr;
    SDL_Surface* stationLow = nullptr;
    SDL_Surface* stationMed = nullptr;
    SDL_Surface* stationFull = nullptr;
    int station = 0;      // the station up, 1 or 2 (0 before the first)
    int stationSpin = 0;  // its spin: 0 for station 1, spinningStationSpin for station 2
    Mix_Music* musicTrack = nullptr;
    Mix_Chunk* engineLoop = nullptr;
    Mix_Chunk* thrusterSound = nullptr;
};

extern MediaSet media;

extern const SDL_Color textRed;
extern const SDL_Color textGreen;

// Loads a picture with loadImage; null when it cannot be loaded, also for want
// of memory.
SDL_Surface* loadPicture(const char* fileName);

// Before anything loads: the font, the three backgrounds and the six station
// pictures are plain files that can be opened for reading. On the first that
// is not, prints one line naming it and the reason and returns false.
bool requiredMediaPresent();

// Opens the fonts, loads the cockpit pictures, the music and both sound
// chunks, and makes the crosshairs half transparent. A cockpit picture or
// sound that cannot be used is named in one warning line and left null.
void loadMediaSet();

// Loads background n (1 to 3), freeing the previous one.
void loadBackground(int n);

// Loads station n (1 or 2) at its three levels of detail, freeing the
// previous ones, and sets station and stationSpin.
void loadStationSet(int n);

// Names each font or scene picture that came back null since the last call,
// in one line on standard error. At start-up the first one ends the game
// (false, and only that one is named); at a restart the game goes on without
// the missing layer (true).
bool reportUnloadedMedia(bool startingUp);

// Drops the lines not yet reported, when the game shuts down without them.
void forgetUnloadedMedia();
