// The event poll and its control codes.
#include <gtest/gtest.h>

#include "shell/game.h"
#include "test_support.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        openTestScreen();
        while (pollInput() != pollNothing) {
        }
    }
    void TearDown() override { closeTestScreen(); }
};

struct PollCase {
    const char* name;
    std::vector<SDLKey> presses;  // SDLK_UNKNOWN stands for a window close
    int expected;
};

TEST_F(InputTest, ControlCodes) {
    const PollCase cases[] = {
        {"no event", {}, pollNothing},
        {"Escape", {SDLK_ESCAPE}, pollQuit},
        {"Return", {SDLK_RETURN}, pollTryAgain},
        {"Escape then Return", {SDLK_ESCAPE, SDLK_RETURN}, pollTryAgain},
        {"Return then Escape", {SDLK_RETURN, SDLK_ESCAPE}, pollQuit},
        {"keypad Enter is no Return", {SDLK_KP_ENTER}, pollNothing},
        {"a thruster key", {SDLK_a}, pollNothing},
        {"window close", {SDLK_UNKNOWN}, pollQuit},
    };
    for (const PollCase& poll : cases) {
        SCOPED_TRACE(poll.name);
        for (SDLKey key : poll.presses) {
            if (key == SDLK_UNKNOWN) {
                pushQuit();
            } else {
                pushKey(key, true);
                pushKey(key, false);
            }
        }
        EXPECT_EQ(pollInput(), poll.expected);
        while (pollInput() != pollNothing) {
        }
    }
}

TEST_F(InputTest, ShiftEscapeQuits) {
    pushKey(SDLK_ESCAPE, true, KMOD_LSHIFT);
    EXPECT_EQ(pollInput(), pollQuit);
}

TEST_F(InputTest, WindowCloseEndsThePollAndLeavesLaterEventsQueued) {
    pushKey(SDLK_RETURN, true);
    pushQuit();
    pushKey(SDLK_RETURN, true);
    EXPECT_EQ(pollInput(), pollQuit);
    EXPECT_EQ(pollInput(), pollTryAgain);
    EXPECT_EQ(pollInput(), pollNothing);
}

TEST_F(InputTest, HundredsOfEventsInOneFrame) {
    for (int i = 0; i < 120; ++i) {  // SDL 1.2 queues at most 127 events
        pushKey(i % 2 == 0 ? SDLK_LEFT : SDLK_RIGHT, i % 4 < 2);
    }
    pushKey(SDLK_RETURN, true);
    EXPECT_EQ(pollInput(), pollTryAgain);
    EXPECT_EQ(pollInput(), pollNothing);
}

}  // namespace
