#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <utility>

#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

// Thrusts X, Y, Z, roll, then firingCount and the forward, reverse,
// upper-left, upper-right, lower-left and lower-right lamps.
using Controls = std::array<int, 11>;
constexpr Controls idle = {};
constexpr Controls aHeld = {60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1};

Controls controls() {
    const FlightState& s = flightState();
    return {s.thrustX,        s.thrustY,       s.thrustZ,       s.thrustRoll,
            s.firingCount,    s.forwardLamp,   s.reverseLamp,   s.upperLeftLamp,
            s.upperRightLamp, s.lowerLeftLamp, s.lowerRightLamp};
}

// A letter is its own key; ^ v > < are the arrows, whose codes run in that order.
SDLKey keyOf(char c) {
    const std::string_view arrows = "^v><";
    const std::size_t arrow = arrows.find(c);
    return static_cast<SDLKey>(arrow == arrows.npos ? c : SDLK_UP + arrow);
}

// Two characters an event, spaces between: +key press, -key release, *key
// press with Shift, ~key a mouse event carrying the key's symbol, !! a reset.
void play(std::string_view events) {
    for (std::size_t i = 0; i + 1 < events.size(); i += 3) {
        const char action = events[i];
        if (action == '!') {
            resetApproach();
            continue;
        }
        inputEvent = SDL_Event();
        inputEvent.key.keysym.sym = keyOf(events[i + 1]);
        inputEvent.key.keysym.mod = action == '*' ? KMOD_LSHIFT : KMOD_NONE;
        inputEvent.type = action == '-'   ? SDL_KEYUP
                          : action == '~' ? SDL_MOUSEBUTTONUP
                                          : SDL_KEYDOWN;
        applyThrusterKey();
        for (int c = 4; c < 11; ++c) {
            ASSERT_GE(controls()[c], 0) << "counter " << c << " after event " << i / 3;
        }
    }
}

TEST(ThrusterKeys, EventSequences) {
    const std::pair<const char*, Controls> cases[] = {
        {"+a", aHeld},
        {"+d", {-60, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0}},
        {"+w", {0, 60, 0, 0, 1, 0, 0, 0, 0, 1, 1}},
        {"+s", {0, -60, 0, 0, 1, 0, 0, 1, 1, 0, 0}},
        {"+^", {0, 0, 60, 0, 1, 1, 0, 0, 0, 0, 0}},
        {"+v", {0, 0, -60, 0, 1, 0, 1, 0, 0, 0, 0}},
        {"+>", {0, 0, 0, 60, 1, 0, 0, 1, 0, 0, 1}},
        {"+<", {0, 0, 0, -60, 1, 0, 0, 0, 1, 1, 0}},
        {"+a +d +w +s +^ +v +> +< -a -d -w -s -^ -v -> -<", idle},
        {"+a +d", {0, 0, 0, 0, 2, 0, 0, 1, 1, 1, 1}},
        {"+a +s", {60, -60, 0, 0, 2, 0, 0, 1, 2, 0, 1}},
        {"+a +s -s", aHeld},
        {"+^ +>", {0, 0, 60, 60, 2, 1, 0, 1, 0, 0, 1}},
        {"*a", aHeld},
        {"+a +a", aHeld},
        {"-a", idle},
        {"+a +q +e +1 ~a", aHeld},
        {"+a +^ !! -a -^", idle},  // held across a reset, the releases do nothing
        {"+a !! -a +a", aHeld},
    };
    for (const auto& [events, want] : cases) {
        SCOPED_TRACE(events);
        media.stationSpin = 0;
        resetApproach();
        play(events);
        EXPECT_EQ(controls(), want);
    }
}

// The real loop and SDL's queue: keys act on an outcome screen while the
// craft stands still, and Return with A held starts clean.
TEST(ThrusterKeys, ActOnAnOutcomeScreenAndStartCleanAfterReturn) {
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 3));
    loop.approachPhase = Crashed;
    const FlightState frozen = flightState();

    pushKey(SDLK_a, true, KMOD_RSHIFT);
    pushKey(SDLK_UP, true);
    loop.lastTicks -= 1000;  // a long frame, which would move a flying craft
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Crashed);
    EXPECT_EQ(controls(), (Controls{60, 0, 60, 0, 2, 1, 0, 0, 1, 0, 1}));
    EXPECT_EQ(flightState().offsetX, frozen.offsetX);
    EXPECT_EQ(flightState().distance, frozen.distance);

    pushKey(SDLK_UP, false);
    pushKey(SDLK_RETURN, true);
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(controls(), idle);

    pushKey(SDLK_a, false);
    runFrame(loop);
    EXPECT_EQ(controls(), idle);
    shutdownGame();
}

}  // namespace
