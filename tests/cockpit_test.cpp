// The cockpit: the handle, lamps, controls and ship icon, the readouts' texts
// and places, and both drawn on the dummy screen with the run directory's
// pictures and font.
#include <climits>
#include <utility>

#include "cockpit/panel.h"
#include "cockpit/readouts.h"
#include "test_support.h"

namespace {

// The handle and controls take any counters (no overflow in their sum).
TEST(Cockpit, IconStepsOnceAfterMoreThanTwoSecondsAndTheHandleTakesAnyCounters) {
    EXPECT_EQ(handleHeight(INT_MAX, INT_MAX), 390);
    EXPECT_EQ(controlsIndex(INT_MIN, INT_MAX), 2);
    // now, step, time of the last step; then the frame's step, time, stepped.
    const std::tuple<Uint32, int, Uint32, int, Uint32, bool> cases[] = {
        {5000, 2, 3000, 2, 3000, false},                // exactly 2000 ms
        {5001, 2, 3000, 3, 5001, true},                 // 2001 ms
        {2501, 8, 500, 0, 2501, true},                  // after the last picture, the first
        {1745, 5, 0xFFFFFF00u, 6, 1745, true},          // 2001 ms across the tick wrap
        {1744, 5, 0xFFFFFF00u, 5, 0xFFFFFF00u, false},  // 2000 ms across it
        {100, 12, 100, 0, 100, false}};                 // a step outside the sheet
    for (const auto& [now, step, time, nextStep, nextTime, stepped] : cases) {
        const IconFrame frame = nextIconFrame(now, step, time);
        EXPECT_EQ(std::make_tuple(frame.step, frame.picture, frame.time, frame.stepped),
                  std::make_tuple(nextStep, nextStep, nextTime, stepped))
            << now << " step " << step;
    }
}

// A quotient of -0.001 keeps its sign; 0.005 rounds down as the float it is.
TEST(Cockpit, ReadoutTexts) {
    const std::tuple<int, float, const char*> cases[] = {{KindVX, 0.0f, "vX   0.00"},
                                                         {KindVY, -0.05f, "vY   -0.00"},
                                                         {KindVZ, 61725.0f, "vZ   1234.50"},
                                                         {KindWZ, -7.0f, "wZ   -0.70"},
                                                         {KindVZ, 0.25f, "vZ   0.00"},
                                                         {KindDistance, 1234.5f, "`1234.50"},
                                                         {5, 12.0f, ""},
                                                         {-1, 12.0f, ""}};
    for (const auto& [kind, value, text] : cases) {
        EXPECT_EQ(formatReadout(kind, value), text) << kind << " " << value;
    }
    // The label follows the station: offsets turned by the roll's cosine and sine.
    const std::tuple<float, float, float, float, int, int> places[] = {
        {10, 20, 0.5f, 0.866f, 342, 201}, {-320.7f, 0, 1, 0, 0, 200}, {-321.5f, 0, 1, 0, -1, 200}};
    for (const auto& [offsetX, offsetY, rollCos, rollSin, x, y] : places) {
        const ScreenPoint point = stationScreenPoint(offsetX, offsetY, rollCos, rollSin);
        EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(x, y))
            << offsetX << ", " << offsetY << " roll " << rollCos << ", " << rollSin;
    }
}

// The real game's cockpit pictures and font, drawn on the dummy screen.
class CockpitScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        GameLoop loop;
        ASSERT_TRUE(startTestGame(loop, 1));
    }
    static void TearDownTestSuite() { shutdownGame(); }

    void SetUp() override { setIconClock(0, SDL_GetTicks()); }
    void TearDown() override { setFlightState(FlightState()); }
};

// Flying, the panel shows the lamps lit by their counters, the handle by the
// roll thrust and the controls by the lateral ones; the outcome screens (with
// or without the sight) rest them all whatever is held.
TEST_F(CockpitScreen, PanelShowsLampsHandleAndControls) {
    // Lamp counters; roll and lateral thrusts; 0 flying, 1 resting, 2 resting
    // without the sight; the lit lamps, the handle's height and picture, the cell.
    const std::tuple<LampCounters, std::array<int, 3>, int, std::array<bool, 6>, std::array<int, 3>>
        cases[] = {{{1, 1, 0, 1, 0, 1}, {0, 0, 0}, 0, {1, 1, 0, 1, 0, 1}, {390, 0, 4}},
                   {{1, -1, 1, 0, 1, 0}, {-30, 40, -40}, 0, {1, 0, 1, 0, 1, 0}, {410, 1, 6}},
                   {{0, 1, 0, 0, 0, 0}, {30, -40, 40}, 0, {0, 1, 0, 0, 0, 0}, {430, 2, 2}},
                   {{1, 0, 0, 0, 1, 0}, {-30, 40, 0}, 1, {}, {410, 0, 4}},
                   {{1, 0, 0, 0, 1, 0}, {-30, 40, 0}, 2, {}, {410, 0, 4}}};
    for (const auto& [lamps, thrusts, mode, lit, handle] : cases) {
        SCOPED_TRACE(testing::Message() << thrusts[0] << " in mode " << mode);
        FlightState s;
        std::tie(s.forwardLamp, s.reverseLamp, s.upperLeftLamp, s.upperRightLamp, s.lowerLeftLamp,
                 s.lowerRightLamp) =
            std::tie(lamps[0], lamps[1], lamps[2], lamps[3], lamps[4], lamps[5]);
        std::tie(s.thrustRoll, s.thrustX, s.thrustY) = std::tie(thrusts[0], thrusts[1], thrusts[2]);
        fillSurface(media.screen, {0, 0, 255});
        setFlightState(s);
        mode == 0 ? drawFlightInstruments() : drawIdlePanel(mode == 1);
        const int places[6][2] = {{180, 410}, {200, 410}, {180, 430},
                                  {200, 430}, {180, 450}, {200, 450}};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(shows(media.lightImage, places[i][0], places[i][1]), lit[i]) << "lamp " << i;
        }
        const auto at = [](int x, int y) { return static_cast<Sint16>(x * y); };
        EXPECT_TRUE(shows(media.handleImage, 220, handle[0], {0, at(20, handle[1]), 50, 20}));
        EXPECT_TRUE(shows(media.controlsImage, 290, 380,
                          {at(80, handle[2] % 3), at(80, handle[2] / 3), 80, 80}));
        EXPECT_EQ(pixelAt(media.screen, 10, 240), pixelAt(media.panelImage, 10, 240));
        EXPECT_TRUE(shows(media.needleImage, 170, 370));
        // The half transparent sight at the view's centre, over the blue.
        EXPECT_EQ(pixelAt(media.screen, 320, 200) == (Rgb{0, 0, 255}), mode == 2);
    }
}

// The outcome screens never step the icon; the first Flying frame after them
// steps it once, however long they lasted.
TEST_F(CockpitScreen, IconStepsOnceAfterTheOutcomeScreens) {
    const Uint32 before = SDL_GetTicks();
    setIconClock(iconPictures - 1, before - 10000);
    drawIdlePanel(true);
    drawIdlePanel(false);
    EXPECT_EQ(iconStep(), iconPictures - 1);
    drawFlightInstruments();
    EXPECT_EQ(iconStep(), 0);
    EXPECT_GE(iconStepTime(), before);
    drawFlightInstruments();
    EXPECT_EQ(iconStep(), 0);
    EXPECT_TRUE(shows(media.shipImage, 70, 370, {0, 0, 100, 100}));
}

// Each drawing matches its readouts rendered in its colour at their places on
// a black screen, and shows that colour. The red label opens with the
// distance mark, an arrow pointing up and left whose tip, the label's
// top-left pixel, lies on the station's centre: the pixels around the tip,
// the mark's seven columns and the free column before the first digit. A
// backtick (three pixels stepping down) or a 1 (a flag and a stem as tall as
// the digits) is not it.
TEST_F(CockpitScreen, ReadoutsAreGreenAndTheLabelRedWithItsTipOnTheStation) {
    FlightState state;
    std::tie(state.velocityZ, state.rollCos, state.rollSin, state.offsetX, state.offsetY) =
        std::make_tuple(61725.0f, 0.5f, 0.866f, 40.0f, -25.0f);
    setFlightState(state);
    const ScreenPoint tip = stationScreenPoint(40, -25, 0.5f, 0.866f);
    const std::tuple<void (*)(), SDL_Color, Rgb, std::vector<std::pair<int, ScreenPoint>>> cases[] =
        {{drawReadouts,
          textGreen,
          {40, 100, 50},
          {{KindVX, {415, 395}}, {KindVY, {415, 410}}, {KindVZ, {415, 425}}, {KindWZ, {415, 440}}}},
         {drawDistanceLabel, textRed, {255, 0, 0}, {{KindDistance, tip}}}};
    for (const auto& [draw, colour, rgb, readouts] : cases) {
        SCOPED_TRACE(readouts.size());
        SDL_Surface* expected = makeScreenCopy({0, 0, 0});
        for (const auto& [kind, place] : readouts) {
            SDL_Surface* text = renderReadout(kind, media.readoutFont, colour);
            applySurface(place.x, place.y, text, expected);
            SDL_FreeSurface(text);
        }
        fillSurface(media.screen, {0, 0, 0});
        draw();
        EXPECT_EQ(differingPixels(media.screen, expected), 0);
        EXPECT_GT(pixelsOf(media.screen, rgb), 0);
        SDL_FreeSurface(expected);
    }
    std::string mark;
    for (int y = tip.y - 1; y < tip.y + 6; ++y) {
        for (int x = tip.x - 1; x < tip.x + 8; ++x) {
            mark += pixelAt(media.screen, x, y) == Rgb{255, 0, 0} ? '#' : '.';
        }
        mark += ' ';
    }
    EXPECT_EQ(mark, "......... .#####... .####.... .####.... .##.##... .#...##.. ......##. ");
}

}  // namespace
