#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "flight/flight.h"
#include "shell/game.h"
#include "shell/media.h"
#include "test_support.h"

namespace {

void sendKey(SDLKey key, bool down, SDLMod modifiers = KMOD_NONE) {
    inputEvent = SDL_Event();
    inputEvent.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    inputEvent.key.type = inputEvent.type;
    inputEvent.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    inputEvent.key.keysym.sym = key;
    inputEvent.key.keysym.mod = modifiers;
    applyThrusterKey();
}

// The commands and counters as one comparable row.
struct Controls {
    int thrustX, thrustY, thrustZ, thrustRoll;
    int firing, forward, reverse, upperLeft, upperRight, lowerLeft, lowerRight;
    bool operator==(const Controls& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

Controls controls() {
    const FlightState& s = flightState();
    return {s.thrustX,        s.thrustY,       s.thrustZ,       s.thrustRoll,
            s.firingCount,    s.forwardLamp,   s.reverseLamp,   s.upperLeftLamp,
            s.upperRightLamp, s.lowerLeftLamp, s.lowerRightLamp};
}

std::ostream& operator<<(std::ostream& out, const Controls& c) {
    return out << "thrust " << c.thrustX << "," << c.thrustY << "," << c.thrustZ << ","
               << c.thrustRoll << " firing " << c.firing << " lamps " << c.forward << ","
               << c.reverse << "," << c.upperLeft << "," << c.upperRight << "," << c.lowerLeft
               << "," << c.lowerRight;
}

constexpr Controls idle = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

bool sameMotion(const FlightState& a, const FlightState& b) {
    return a.velocityX == b.velocityX && a.velocityY == b.velocityY && a.velocityZ == b.velocityZ &&
           a.offsetX == b.offsetX && a.offsetY == b.offsetY && a.distance == b.distance &&
           a.rollRate == b.rollRate && a.rollAngle == b.rollAngle &&
           a.relativeRollRate == b.relativeRollRate && a.relativeRollAngle == b.relativeRollAngle;
}

class ThrusterKeys : public ::testing::Test {
protected:
    void SetUp() override {
        media.stationSpin = 0;
        std::srand(11);
        resetApproach();
    }
};

TEST_F(ThrusterKeys, EachKeyFeedsItsThrustAndLampsAndItsReleaseUndoesIt) {
    struct Row {
        SDLKey key;
        Controls pressed;
    };
    const Row rows[] = {
        {SDLK_a, {60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1}},
        {SDLK_d, {-60, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0}},
        {SDLK_w, {0, 60, 0, 0, 1, 0, 0, 0, 0, 1, 1}},
        {SDLK_s, {0, -60, 0, 0, 1, 0, 0, 1, 1, 0, 0}},
        {SDLK_UP, {0, 0, 60, 0, 1, 1, 0, 0, 0, 0, 0}},
        {SDLK_DOWN, {0, 0, -60, 0, 1, 0, 1, 0, 0, 0, 0}},
        {SDLK_RIGHT, {0, 0, 0, 60, 1, 0, 0, 1, 0, 0, 1}},
        {SDLK_LEFT, {0, 0, 0, -60, 1, 0, 0, 0, 1, 1, 0}},
    };
    const FlightState before = flightState();
    for (const Row& row : rows) {
        sendKey(row.key, true);
        EXPECT_EQ(controls(), row.pressed) << "key " << row.key;
        sendKey(row.key, false);
        EXPECT_EQ(controls(), idle) << "key " << row.key;
    }
    EXPECT_TRUE(sameMotion(flightState(), before));
}

TEST_F(ThrusterKeys, OtherEventsAndKeysChangeNothing) {
    const FlightState before = flightState();
    for (SDLKey key : {SDLK_RETURN, SDLK_ESCAPE, SDLK_q, SDLK_e, SDLK_SPACE, SDLK_LSHIFT}) {
        sendKey(key, true);
        sendKey(key, false);
    }
    for (Uint8 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_QUIT, SDL_ACTIVEEVENT}) {
        inputEvent = SDL_Event();
        inputEvent.type = type;
        applyThrusterKey();
    }
    EXPECT_EQ(std::memcmp(&flightState(), &before, sizeof before), 0);
}

TEST_F(ThrusterKeys, KeysHeldTogetherAddUp) {
    sendKey(SDLK_a, true);
    sendKey(SDLK_d, true);
    EXPECT_EQ(controls(), (Controls{0, 0, 0, 0, 2, 0, 0, 1, 1, 1, 1}));
    sendKey(SDLK_d, false);
    sendKey(SDLK_a, false);
    EXPECT_EQ(controls(), idle);

    sendKey(SDLK_a, true);
    sendKey(SDLK_s, true);
    EXPECT_EQ(flightState().upperRightLamp, 2);
    sendKey(SDLK_s, false);
    EXPECT_EQ(controls(), (Controls{60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1}));
    sendKey(SDLK_a, false);

    sendKey(SDLK_UP, true);
    sendKey(SDLK_RIGHT, true);
    EXPECT_EQ(controls(), (Controls{0, 0, 60, 60, 2, 1, 0, 1, 0, 0, 1}));
    sendKey(SDLK_UP, false);
    sendKey(SDLK_RIGHT, false);
    EXPECT_EQ(controls(), idle);
}

TEST_F(ThrusterKeys, ShiftedKeyActsLikeThePlainOne) {
    sendKey(SDLK_a, true, KMOD_LSHIFT);
    EXPECT_EQ(controls(), (Controls{60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1}));
    sendKey(SDLK_a, false, KMOD_LSHIFT);
    EXPECT_EQ(controls(), idle);

    // The same through SDL's own queue and the game's poll.
    openTestScreen();
    pushKey(SDLK_a, true, static_cast<SDLMod>(KMOD_RSHIFT | KMOD_CAPS));
    EXPECT_EQ(pollInput(), pollNothing);
    EXPECT_EQ(controls(), (Controls{60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1}));
    pushKey(SDLK_a, false, KMOD_NONE);
    pollInput();
    EXPECT_EQ(controls(), idle);
    closeTestScreen();
}

TEST_F(ThrusterKeys, KeyHeldAcrossAResetLeavesNoPhantomThrust) {
    sendKey(SDLK_a, true);
    sendKey(SDLK_UP, true);
    resetApproach();
    EXPECT_EQ(controls(), idle);
    sendKey(SDLK_a, false);
    sendKey(SDLK_UP, false);
    EXPECT_EQ(controls(), idle);
    // Pressed again after the reset, the key acts as usual.
    sendKey(SDLK_a, true);
    EXPECT_EQ(controls(), (Controls{60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1}));
    sendKey(SDLK_a, false);
    EXPECT_EQ(controls(), idle);
}

TEST_F(ThrusterKeys, RepeatedPressOrReleaseCountsOnce) {
    sendKey(SDLK_w, true);
    sendKey(SDLK_w, true);
    EXPECT_EQ(controls(), (Controls{0, 60, 0, 0, 1, 0, 0, 0, 0, 1, 1}));
    sendKey(SDLK_w, false);
    sendKey(SDLK_w, false);
    EXPECT_EQ(controls(), idle);
    sendKey(SDLK_LEFT, false);
    EXPECT_EQ(controls(), idle);
}

// Random presses, releases and resets: the record must always equal what
// the keys counted since the last reset would give, never below zero.
TEST_F(ThrusterKeys, CountersFollowTheCountedKeysUnderRandomEvents) {
    const SDLKey keys[] = {SDLK_a,  SDLK_d,    SDLK_w,     SDLK_s,
                           SDLK_UP, SDLK_DOWN, SDLK_RIGHT, SDLK_LEFT};
    bool counted[8] = {};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const unsigned pick = random() % 100;
        if (pick == 0) {
            resetApproach();
            for (bool& c : counted) {
                c = false;
            }
        } else {
            const unsigned k = random() % 8;
            const bool down = random() % 2 == 0;
            sendKey(keys[k], down);
            counted[k] = down;
        }
        const auto on = [&](int k) { return counted[k] ? 1 : 0; };
        const Controls want = {
            60 * (on(0) - on(1)),
            60 * (on(2) - on(3)),
            60 * (on(4) - on(5)),
            60 * (on(6) - on(7)),
            on(0) + on(1) + on(2) + on(3) + on(4) + on(5) + on(6) + on(7),
            on(4),
            on(5),
            on(1) + on(3) + on(6),
            on(0) + on(3) + on(7),
            on(1) + on(2) + on(7),
            on(0) + on(2) + on(6),
        };
        ASSERT_EQ(controls(), want) << "event " << i;
    }
}

// The real loop on an outcome screen: keys change the commands while the
// craft stands still, and Return with A held starts clean.
TEST(ThrusterKeysInTheLoop, ActOnAnOutcomeScreenAndStartCleanAfterReturn) {
    GameLoop loop;
    ASSERT_TRUE(startTestGame(loop, 3));
    loop.approachPhase = Crashed;
    const FlightState frozen = flightState();

    pushKey(SDLK_a, true);
    pushKey(SDLK_UP, true);
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Crashed);
    EXPECT_EQ(controls(), (Controls{60, 0, 60, 0, 2, 1, 0, 0, 1, 0, 1}));
    EXPECT_TRUE(sameMotion(flightState(), frozen));

    pushKey(SDLK_UP, false);
    pushKey(SDLK_RETURN, true);
    runFrame(loop);
    EXPECT_EQ(loop.approachPhase, Flying);
    EXPECT_EQ(controls(), idle);

    pushKey(SDLK_RETURN, false);
    pushKey(SDLK_a, false);
    runFrame(loop);
    EXPECT_EQ(controls(), idle);

    pushKey(SDLK_a, true);
    runFrame(loop);
    EXPECT_EQ(controls(), (Controls{60, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1}));
    pushKey(SDLK_a, false);
    runFrame(loop);
    EXPECT_EQ(controls(), idle);
    shutdownGame();
}

}  // namespace
