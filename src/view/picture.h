// Picture files turned into surfaces: read once, decoded by SDL_image, converted for the display.
#pragma once

#include <SDL/SDL.h>

#include <string>

// Decodes a picture file (PNG, JPEG, ...) as SDL_image reads it, unconverted.
// The file is read once. One that begins like a PNG must be a whole PNG, every
// chunk complete with its checksum right, or it is refused before libpng sees
// it (libpng would print its own complaint). Null when the file cannot be
// read or decoded, with the reason in SDL_GetError.
SDL_Surface* decodePicture(const std::string& fileName);

// The decoded picture converted to the display's format, with pure white as
// its colour key; frees decoded. Null when decoded is null or the conversion
// fails. Needs the video mode to be set.
SDL_Surface* displayPicture(SDL_Surface* decoded);
