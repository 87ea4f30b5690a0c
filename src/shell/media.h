// The media set: the display surface, fonts, pictures, music and sounds that
// the game loads at start-up and releases at shutdown.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <SDL/SDL_ttf.h>

constexpr int spinningStationSpin = 100;  // station 2's: 10 degrees a second

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
    int stationSpin = 0;  // 0 for station 1, spinningStationSpin for station 2
    Mix_Music* musicTrack = nullptr;
    Mix_Chunk* engineLoop = nullptr;
    Mix_Chunk* thrusterSound = nullptr;
};

extern MediaSet media;

extern const SDL_Color textRed;
extern const SDL_Color textGreen;

// Mixer channels: the thruster hiss and the engine hum.
constexpr int thrusterChannel = 1;
constexpr int engineChannel = 2;

// Opens SDL, the 640 x 480 window, SDL_ttf and the mixer, then sets the
// caption and icon. False as soon as one of the four openings fails.
bool initSystems();

// Before anything loads: the font, the three backgrounds and the six station
// pictures are plain files that can be opened for reading. On the first that
// is not, prints one line naming it and the reason and returns false.
bool requiredMediaPresent();

// Opens the fonts, loads the cockpit pictures, the music and both sound
// chunks, and makes the crosshairs half transparent. A cockpit picture or
// sound that cannot be used is named in one warning line and left null.
void loadMediaSet();

// Loads one of the three backgrounds at random, freeing the previous one.
void chooseBackground();

// Loads the next station: after a docking the other one, otherwise one drawn
// at random (one rand draw).
void chooseStation(bool afterDocking);

// Loads station n (1 or 2) at its three levels of detail and sets stationSpin.
void loadStationSet(int n);

// Names each font or scene picture that came back null since the last call,
// in one line on standard error. At start-up the first one ends the game
// (false, and only that one is named); at a restart the game goes on without
// the missing layer (true).
bool reportUnloadedMedia(bool startingUp);

// Frees every medium and closes the mixer, SDL_ttf and SDL.
void shutdownGame();

// Closes what initSystems opened, for a start that cannot go on.
void closeSystems();
