// The readouts' numbers (drift in the craft's axes, the label's distance), texts and places.
#include "cockpit/readouts.h"

#include <array>
#include <cmath>
#include <new>
#include <sstream>

#include "flight/flight.h"
#include "shell/media.h"
#include "view/scene.h"
#include "view/surface.h"

namespace {

// Each fixed readout's label and the divisor that turns its flight value into
// the number shown; the distance label shows its number as it is.
struct ReadoutForm {
    const char* label;
    double divisor;
};
constexpr ReadoutForm readoutForms[] = {{"vX   ", readoutScale},
                                        {"vY   ", readoutScale},
                                        {"vZ   ", readoutScale},
                                        {"wZ   ", rollReadoutScale}};
constexpr const char* distanceLabel = "`";

// The label counts 50 to a unit of distance and one to 50 pixels of offset.
constexpr double labelScale = 50.0;

float narrow(double value) {
    return static_cast<float>(value);
}

constexpr std::array<PanelPoint, 4> readoutPlaces = {
    {{415, 395}, {415, 410}, {415, 425}, {415, 440}}};

float currentFlightValue(int kind) {
    switch (kind) {
        case KindVX:
            return readoutVelocityX();
        case KindVY:
            return readoutVelocityY();
        case KindVZ:
            return velocityZ();
        case KindWZ:
            return rollRate();
        case KindDistance:
            return readoutDistance();
        default:
            return 0.0f;
    }
}

}  // namespace

float readoutVelocityX() {
    const FlightState& s = flightState();
    return narrow(-(static_cast<double>(s.velocityX) * s.rollCos) -
                  static_cast<double>(s.velocityY) * s.rollSin);
}

float readoutVelocityY() {
    const FlightState& s = flightState();
    return narrow(static_cast<double>(s.velocityY) * s.rollCos -
                  static_cast<double>(s.velocityX) * s.rollSin);
}

float readoutDistance() {
    const FlightState& s = flightState();
    const double a = narrow(s.offsetX / labelScale);
    const double b = narrow(s.offsetY / labelScale);
    const double c = narrow(s.distance * labelScale - labelScale);
    const float sum = narrow(c * c + a * a + b * b);
    return narrow(std::sqrt(static_cast<double>(sum)));
}

std::string formatReadout(int kind, float flightValue) {
    if (kind < KindVX || kind > KindDistance) {
        return "";
    }
    std::stringstream text;
    text.setf(std::ios::fixed, std::ios::floatfield);
    text.precision(2);
    if (kind == KindDistance) {
        text << distanceLabel << flightValue;
    } else {
        const ReadoutForm& form = readoutForms[kind];
        text << form.label << static_cast<float>(flightValue / form.divisor);
    }
    return text.str();
}

std::string readoutText(int kind) {
    return formatReadout(kind, currentFlightValue(kind));
}

SDL_Surface* renderReadout(int kind, TTF_Font* font, SDL_Color colour) {
    if (font == nullptr) {
        return nullptr;
    }
    try {
        const std::string text = readoutText(kind);
        // SDL_ttf renders nothing for an empty text anyway; spare it the call.
        return text.empty() ? nullptr : TTF_RenderText_Solid(font, text.c_str(), colour);
    } catch (const std::bad_alloc&) {
        // Short of memory for the text: this frame goes without the readout.
        return nullptr;
    }
}

void drawReadouts() {
    for (int kind = KindVX; kind <= KindWZ; ++kind) {
        SDL_Surface* readout = renderReadout(kind, media.readoutFont, textGreen);
        const PanelPoint place = readoutPlaces[static_cast<std::size_t>(kind)];
        applySurface(place.x, place.y, readout, media.screen);
        SDL_FreeSurface(readout);
    }
}

void drawDistanceLabel() {
    // The label floats where the scene shows the station's centre.
    const ScreenPoint place = stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
    SDL_Surface* label = renderReadout(KindDistance, media.readoutFont, textRed);
    applySurface(place.x, place.y, label, media.screen);
    SDL_FreeSurface(label);
}
