// The media set: the display surface, fonts, pictures, music and sounds that
// the game loads at start-up and releases at shutdown.
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
    int stationSpin = 0;  // 0 for station 1, 100 for the spinning station 2
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

// True for sdl12-compat, SDL 1.2's interface over SDL 2, which reports itself
// as 1.2.50 or later; the classic SDL 1.2 stays below.
bool isSdl12Compat(const SDL_version& linked);

// False for the video drivers that draw into memory and show nothing.
bool showsWindow(const char* driverName);

// Opens SDL, the 640 x 480 window, SDL_ttf and the mixer, then sets the
// caption and icon. False as soon as one of the four openings fails.
bool initSystems();

// Checks that the fonts, backgrounds and stations can be loaded; on the first
// that cannot, prints one line naming it and the reason and returns false.
// The pictures of background number firstBackground and station number
// firstStation stay decoded for the loadBackground and loadStationSet that
// follow, which then need not decode them again.
bool checkRequiredMedia(int firstBackground, int firstStation);

// Loads the fonts, the cockpit pictures, the music and both sound chunks; a
// missing picture or sound is reported with one warning line and left null.
void loadMediaSet();

// Draws the number (1 to 3) of the next background: one or two rand draws,
// each background one time in three.
int drawBackgroundNumber();

// Loads background number n (1 to 3), freeing the previous one.
void loadBackground(int n);

// Loads one of the three backgrounds at random, freeing the previous one.
void chooseBackground();

// Loads station n (1 or 2) at its three levels of detail and sets stationSpin.
void loadStationSet(int n);

// Frees every medium and closes the mixer, SDL_ttf and SDL.
void shutdownGame();

// Closes what initSystems opened, for a start that cannot go on.
void closeSystems();
