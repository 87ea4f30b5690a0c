// How large a surface the view may make each frame: the caps, their reasons and their checks,
// with SDL_gfx's own turn arithmetic that predicts the sizes it makes.
#pragma once

#include <SDL/SDL.h>

#include <cmath>

// SDL_gfx turns by angle × M_PI / 180 (not by the flight's degreesToRadians):
// the code that predicts the sizes it makes and where it puts a pixel uses its
// factor, so that the prediction matches to the last pixel.
constexpr double gfxDegreesToRadians = M_PI / 180.0;

// Every crop and turned surface is made anew each frame, so their sizes are
// capped whatever the flight state; a layer that cannot keep within them is
// not drawn (the low and docked station crops shrink first).
//
// maxTurnedSide (880): the largest turn of an ordinary frame is a 617 x 617
// crop (twice the viewport's half-diagonal) turned by 45 degrees, 872 x 872,
// plus room for SDL_gfx's rounding. Only a huge zoom asks for more.
//
// maxCropSide (1236): the largest crop is the medium station's at its smallest
// zoom, 2R / 0.5; the background's is at most 617 on a side, the docked ones
// 540 x 300, and the low station's is cut to its picture.
constexpr int maxTurnedSide = 880;
constexpr int maxCropSide = 1236;

// Whether a crop (when the layer is cropped at all) keeps within maxCropSide.
bool cropSizeWithin(bool cropped, const SDL_Rect& crop);

// The size rotozoomSurface will make of a width x height source, unless it
// would exceed maxTurnedSide (false).
bool turnedSizeWithin(int width, int height, double angle, double zoom, int& turnedWidth,
                      int& turnedHeight);

// The largest half side, in whole source pixels, that a zoom by zoom keeps
// within maxTurnedSide with a pixel to spare, for a turn that keeps the axes
// (the docked picture's 180 degrees).
double largestUnturnedHalf(double zoom);

// Shrinks a crop that turns out too large by a source pixel on each side,
// around its centre; false when it is too small to shrink further.
bool shrinkCrop(SDL_Rect& crop);
