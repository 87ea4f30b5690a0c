// The approach and docked scenes: crops, levels, and real drawing with SDL_gfx
// on made-up pictures.
#include <SDL/SDL_rotozoom.h>

#include <limits>

#include "test_support.h"

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
const Rgb blue = {0, 0, 200}, grey = {128, 128, 128}, red = {255, 0, 0}, green = {0, 255, 0},
          black = {0, 0, 0}, white = {255, 255, 255};

float cosOf(float degrees) {
    return static_cast<float>(std::cos(degrees * M_PI / 180));
}
float sinOf(float degrees) {
    return static_cast<float>(std::sin(degrees * M_PI / 180));
}

SceneInputs inputsFor(float scale, float relativeRoll, float roll, float offsetX, float offsetY) {
    return {
        scale,       relativeRoll, roll, offsetX, offsetY, cosOf(relativeRoll), sinOf(relativeRoll),
        cosOf(roll), sinOf(roll)};
}

void paint(SDL_Surface* surface, int x, int y, int side, Rgb colour) {
    SDL_Rect rect = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(side),
                     static_cast<Uint16>(side)};
    SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
}

// A picture as loadImage makes it: display format, white colour key; with
// pattern, every pixel differs from its neighbours and is neither white nor
// black.
SDL_Surface* makePicture(int w, int h, Rgb colour, bool pattern = false) {
    SDL_Surface* raw = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0, 0, 0, 0);
    SDL_Surface* picture = SDL_DisplayFormat(raw);
    SDL_FreeSurface(raw);
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 255, 255, 255));
    fillSurface(picture, colour);
    for (int y = 0; pattern && y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            static_cast<Uint32*>(picture->pixels)[y * picture->pitch / 4 + x] =
                SDL_MapRGB(picture->format, static_cast<Uint8>(x * 7), static_cast<Uint8>(y * 5),
                           static_cast<Uint8>(60 + (x + y) % 90));
        }
    }
    return picture;
}

// The pixels of colour in the viewport.
Patch find(Rgb colour) {
    return patchIn(media.screen, [colour](Rgb c) { return c == colour; });
}

class SceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { openTestScreen(); }

    void SetUp() override { fillSurface(media.screen, blue); }

    void TearDown() override {
        for (SDL_Surface** picture :
             {&media.backgroundImage, &media.stationLow, &media.stationMed, &media.stationFull}) {
            SDL_FreeSurface(*picture);
            *picture = nullptr;
        }
    }

    // With the cached cosines and sines set as the roll step leaves them.
    static void draw(const SceneInputs& in) {
        FlightState s = flightState();
        std::tie(s.rollAngle, s.relativeRollAngle, s.rollCos, s.rollSin, s.relativeRollCos,
                 s.relativeRollSin) = std::tie(in.rollAngle, in.relativeRollAngle, in.rollCos,
                                               in.rollSin, in.relativeRollCos, in.relativeRollSin);
        setFlightState(s);
        drawApproachScene(in.approachScale, in.relativeRollAngle, in.rollAngle, in.offsetX,
                          in.offsetY);
    }

    // The screen as the scene draws it without its station, over blue.
    static SDL_Surface* withoutStation(const SceneInputs& in) {
        SDL_Surface* stations[] = {media.stationLow, media.stationMed, media.stationFull};
        media.stationLow = media.stationMed = media.stationFull = nullptr;
        fillSurface(media.screen, blue);
        draw(in);
        std::tie(media.stationLow, media.stationMed, media.stationFull) =
            std::tie(stations[0], stations[1], stations[2]);
        SDL_Surface* copy = makeScreenCopy(blue);
        SDL_BlitSurface(media.screen, nullptr, copy, nullptr);
        return copy;
    }

    // SDL_gfx makes each turned surface of the plans exactly as large as the
    // plan predicts; the largest side so far goes into largest.
    static void expectPlannedSizes(const ScenePlans& plans, int& largest) {
        for (const LayerPlan& plan : {plans.background, plans.station}) {
            ASSERT_TRUE(plan.drawn);
            SDL_Surface* crop = plan.cropped ? SDL_CreateRGBSurface(SDL_SWSURFACE, plan.crop.w,
                                                                    plan.crop.h, 32, 0, 0, 0, 0)
                                             : nullptr;
            SDL_Surface* turned = rotozoomSurface(crop != nullptr ? crop : plans.look.picture,
                                                  plan.angle, plan.zoom, 0);
            EXPECT_EQ(std::make_pair(turned->w, turned->h),
                      std::make_pair(plan.turnedWidth, plan.turnedHeight));
            largest = std::max({largest, turned->w, turned->h});
            // Opaque: SDL_gfx's surface alpha of 255 goes before the blit (SDL 2 blends it).
            applySurface(0, 0, turned, media.screen);
            EXPECT_FALSE(turned->flags & SDL_SRCALPHA);
            SDL_FreeSurface(turned);
            SDL_FreeSurface(crop);
        }
    }

    // Stations of a quarter, half and whole size, as the levels expect.
    static void makeStations(int fullSide) {
        media.stationLow = makePicture(fullSide / 4, fullSide / 4, grey);
        media.stationMed = makePicture(fullSide / 2, fullSide / 2, grey);
        media.stationFull = makePicture(fullSide, fullSide, grey);
    }
};

TEST(SceneGeometry, ConversionsAreDefinedForEveryValue) {
    const double big = std::numeric_limits<double>::infinity();
    const std::tuple<double, int, int, int> cases[] = {
        // value, truncToInt, clampToSint16, clampToUint16
        {-0.7, 0, 0, 0},
        {2.9, 2, 2, 2},
        {-2.9, -2, -2, 0},
        {nan, 0, 0, 0},
        {big, std::numeric_limits<int>::max(), 32767, 65535},
        {-1e300, std::numeric_limits<int>::min(), -32768, 0},
        {40000.0, 40000, 32767, 40000},
        {-40000.0, -40000, -32768, 0},
        {1e9, 1000000000, 32767, 65535}};
    for (const auto& [value, asInt, asSint16, asUint16] : cases) {
        EXPECT_EQ(std::make_tuple(truncToInt(value), int{clampToSint16(value)},
                                  int{clampToUint16(value)}),
                  std::make_tuple(asInt, asSint16, asUint16))
            << value;
    }
}

TEST(SceneGeometry, Crops) {
    const auto background = [](float roll, float offsetX, float offsetY) {
        return backgroundCrop(1024, 768, viewportHalfExtents(roll, cosOf(roll), sinOf(roll)),
                              offsetX, offsetY);
    };
    const double fullZoom = stationLook(0.8f, nullptr, nullptr, nullptr).zoom;
    const std::pair<SceneCrop, std::array<int, 4>> cases[] = {
        {background(0, 0, 0), {203, 165, 617, 436}},
        {background(0, 40, -20), {183, 175, 617, 436}},
        {background(45, 0, 0), {203, 75, 617, 617}},
        {background(90, 0, 0), {293, 75, 436, 617}},
        {stationCrop(800, 600, viewportHalfExtents(180, -1, 0), fullZoom, 30, -10, 1, 0),
         {-23, 39, 772, 546}},
        {dockedBackgroundCrop(1024, 768), {242, 234, 540, 300}},
        // Above zoom 1 the docked station crop keeps its centre and even sides.
        {dockedStationCrop(800, 600, 1.05), {142, 157, 516, 286}},
        {dockedStationCrop(800, 600, 3.0), {309, 249, 182, 102}},
        {dockedStationCrop(800, 600, 200.0), {398, 299, 4, 2}},
        // Zoomed 500 times even two picture pixels pass maxTurnedSide: no crop.
        {dockedStationCrop(800, 600, 500.0), {0, 0, 0, 0}},
        {dockedStationCrop(800, 600, nan), {0, 0, 0, 0}}};
    for (const auto& [crop, rect] : cases) {
        SCOPED_TRACE(rect[0]);
        EXPECT_EQ(crop.drawable, rect[2] > 0);
        EXPECT_EQ((std::array<int, 4>{crop.rect.x, crop.rect.y, crop.rect.w, crop.rect.h}), rect);
    }
    // A crop too large to turn loses a pixel on each side.
    SDL_Rect shrunk = {10, 20, 30, 5};
    EXPECT_TRUE(shrinkCrop(shrunk) && shrunk.x == 11 && shrunk.y == 21 && shrunk.w == 28 &&
                shrunk.h == 3);
}

TEST(SceneGeometry, LevelChangesAtAQuarterAndAHalf) {
    SDL_Surface pictures[3] = {};
    const float belowQuarter = std::nextafter(0.25f, 0.0f);
    const float belowHalf = std::nextafter(0.5f, 0.0f);
    const std::tuple<float, StationLevel, double, int> cases[] = {
        {belowQuarter, LevelLow, 4.0 * belowQuarter, 255},
        {0.25f, LevelMedium, 0.5, 0},
        {belowHalf, LevelMedium, 2.0 * belowHalf, 0},
        {0.5f, LevelFull, 0.5, 0}};
    for (const auto& [scale, level, zoom, keyGrey] : cases) {
        SCOPED_TRACE(scale);
        const StationLook look = stationLook(scale, &pictures[0], &pictures[1], &pictures[2]);
        EXPECT_EQ(look.level, level);
        EXPECT_EQ(look.picture, &pictures[level]);
        EXPECT_NEAR(look.zoom, zoom, 1e-7);
        EXPECT_EQ(look.keyGrey, keyGrey);
    }
}

// A layer is drawn exactly when it covers a pixel of the screen: moved just
// off each edge it is not, a pixel back it is.
TEST(SceneGeometry, LayerIsDrawnExactlyWhenItReachesTheScreen) {
    const StationLook look = stationLook(0.1f, nullptr, nullptr, nullptr);
    const auto plan = [&look](float offsetX, float offsetY) {
        return stationPlan(inputsFor(0.1f, 0, 0, offsetX, offsetY), look, 200, 200);
    };
    const LayerPlan centred = plan(0, 0);
    EXPECT_FALSE(centred.cropped);  // it fits: turned whole, no copy
    const float right = 640.0f - centred.x, below = 480.0f - centred.y;
    const float left = -centred.x - centred.turnedWidth, above = -centred.y - centred.turnedHeight;
    for (const auto& [x, y, back] : {std::make_tuple(right, 0.0f, -1.0f),
                                     {0.0f, below, -1.0f},
                                     {left, 0.0f, 1.0f},
                                     {0.0f, above, 1.0f}}) {
        EXPECT_FALSE(plan(x, y).drawn) << x << "," << y;
        EXPECT_TRUE(plan(x == 0 ? 0 : x + back, y == 0 ? 0 : y + back).drawn) << x << "," << y;
    }
}

// The red centre of each level's picture lands on the station screen point,
// what the turn adds around the picture stays transparent, and a station
// close enough to fill the viewport leaves none of its blue background
// uncovered. The turned surfaces have their planned sizes up to the caps:
// the largest turns of a frame, a low station cut close up at a slant, one
// just passed (negative zoom), a close full station.
TEST_F(SceneTest, StationCentreLandsOnTheScreenPointAndItsCornersAreClear) {
    int largest = 0;
    makeStations(400);
    media.backgroundImage = makePicture(1024, 768, blue);
    paint(media.stationLow, 46, 46, 8, red);
    paint(media.stationMed, 92, 92, 16, red);
    paint(media.stationFull, 184, 184, 32, red);
    for (const SceneInputs& in :
         {inputsFor(0.05f, 300, 20, 150, 60), inputsFor(0.2f, 30, 10, 60, -30),
          inputsFor(-2.0f, 30, 10, 20, -10), inputsFor(0.3f, 75, 30, -100, 40),
          inputsFor(0.45f, -20, 45, 30, 20), inputsFor(0.6f, 150, 180, 30, -10),
          inputsFor(0.8f, 30, 0, 0, 40), inputsFor(3.0f, 200, 30, 10, 20),
          inputsFor(0.3f, 45, 45, 0, 0), inputsFor(0.24f, 30, 10, 20, -10)}) {
        SCOPED_TRACE(in.approachScale);
        // Unturned (roll 0), SDL_gfx keeps an odd width that its size function makes even.
        if (in.rollAngle != 0) {
            expectPlannedSizes(approachPlans(in), largest);
        }
        SDL_Surface* bare = withoutStation(in);
        fillSurface(media.screen, blue);
        draw(in);
        const Patch centre = find(red);
        ASSERT_GT(centre.count, 0);
        const ScreenPoint point =
            stationScreenPoint(in.offsetX, in.offsetY, in.rollCos, in.rollSin);
        // The full level's crop is cut at whole picture pixels, which the zoom enlarges.
        const double tolerance = std::max(2.0, 2.0 * in.approachScale);
        EXPECT_NEAR(centre.x, point.x, tolerance);
        EXPECT_NEAR(centre.y, point.y, tolerance);
        if (std::fabs(in.approachScale) >= 2) {
            EXPECT_EQ(find(blue).count, 0);
        }
        // Just inside the corner of the turned picture's box lies none of it.
        const int half =
            static_cast<int>(200 * std::fabs(in.approachScale) *
                             (std::fabs(in.relativeRollCos) + std::fabs(in.relativeRollSin)));
        if (point.x - half >= 0 && point.y - half >= 0) {
            EXPECT_EQ(pixelAt(media.screen, point.x - half + 2, point.y - half + 2),
                      pixelAt(bare, point.x - half + 2, point.y - half + 2));
        }
        SDL_FreeSurface(bare);
    }
    EXPECT_GT(largest, maxTurnedSide - 20);
    EXPECT_LE(largest, maxTurnedSide);
}

// The background is opaque: its white shows black, and it repaints the view.
// A picture in a layout of its own (24-bit here) shows the same pixels.
TEST_F(SceneTest, BackgroundShowsWhiteAsBlackAndRepaintsTheView) {
    SDL_Surface* picture = makePicture(1024, 768, grey, true);
    paint(picture, 502, 374, 20, white);
    SDL_Surface* layout = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 24, 0xff, 0xff00, 0xff0000, 0);
    SDL_Surface* own = SDL_ConvertSurface(picture, layout->format, SDL_SWSURFACE);
    SDL_FreeSurface(layout);
    // Roll, offsets, and where the centre shows.
    const std::tuple<float, float, float, int, int> cases[] = {
        {0, 40, -20, 340, 190}, {90, 40, 0, 320, 180}, {180, 30, 0, 305, 200}};
    for (const auto& [roll, offsetX, offsetY, x, y] : cases) {
        SCOPED_TRACE(roll);
        SDL_Surface* shown = makeScreenCopy(red);
        for (SDL_Surface* background : {picture, own}) {
            media.backgroundImage = background;
            fillSurface(media.screen, red);
            draw(inputsFor(0.1f, roll, roll, offsetX, offsetY));
            EXPECT_EQ(pixelAt(media.screen, x, y), black);
            EXPECT_EQ(find(red).count, 0);
            std::swap(shown, media.screen);
        }
        EXPECT_EQ(differingPixels(media.screen, shown), 0);
        SDL_FreeSurface(shown);
    }
    SDL_FreeSurface(own);
    media.backgroundImage = picture;
}

// Without a background the view is filled black, and nothing else: nothing
// of the last picture (the docked screen, its messages, the label) stays
// under the station.
TEST_F(SceneTest, WithoutABackgroundTheViewIsBlack) {
    makeStations(400);
    fillSurface(media.screen, red);
    draw(inputsFor(0.3f, 30, 10, 20, -10));
    EXPECT_EQ(find(red).count, 0);
    EXPECT_GT(find(black).count, viewportWidth * viewportHeight / 4);
    EXPECT_EQ(pixelsOf(media.screen, red), 640 * 480 - viewportWidth * viewportHeight);
}

TEST_F(SceneTest, DockedSceneIsUpsideDownAtTheLastScale) {
    media.backgroundImage = makePicture(1024, 768, grey);
    paint(media.backgroundImage, 307, 279, 10, red);  // 200 left of and 100 above the centre
    media.stationFull = makePicture(800, 800, white);
    paint(media.stationFull, 370, 380, 10, green);  // 25 left, 15 above
    drawDockedScene(2.0f);
    EXPECT_EQ(pixelAt(media.screen, 520, 300), red);
    EXPECT_EQ(pixelAt(media.screen, 370, 230), green);
    EXPECT_EQ(pixelAt(media.screen, 320, 200), grey);
    int largest = 0;
    expectPlannedSizes(dockedPlans(2.0f), largest);
    expectPlannedSizes(dockedPlans(150.0f), largest);
}

// The medium and full levels show, pixel for pixel, what the straightforward
// steps show: the whole crop cut with a keyed blit, turned and blitted whole
// over the background.
TEST_F(SceneTest, StationShowsItsWholeCropsPixels) {
    media.backgroundImage = makePicture(1024, 768, blue);
    media.stationMed = makePicture(200, 160, grey, true);
    media.stationFull = makePicture(400, 320, grey, true);
    for (SDL_Surface* picture : {media.stationMed, media.stationFull}) {
        paint(picture, 30, 30, 20, white);
        paint(picture, 80, 60, 30, black);
    }
    // Close up the crop lies inside the picture, which is clear down its middle.
    for (int y = 0; y < 320; y += 20) {
        paint(media.stationFull, 190, y, 20, white);
    }
    for (const SceneInputs& in :
         {inputsFor(0.3f, 50, 30, 20, -10), inputsFor(0.6f, 200, 30, 100, 40),
          inputsFor(0.9f, -70, 0, 0, 0), inputsFor(3, 90, 0, 0, 0)}) {
        SCOPED_TRACE(in.approachScale);
        const StationLook look =
            stationLook(in.approachScale, nullptr, media.stationMed, media.stationFull);
        const LayerPlan plan = stationPlan(in, look, look.picture->w, look.picture->h);
        SDL_Surface* reference = withoutStation(in);
        SDL_Surface* crop =
            SDL_CreateRGBSurface(SDL_SWSURFACE, plan.crop.w, plan.crop.h, 32, 0, 0, 0, 0);
        SDL_Rect clip = plan.crop;
        applySurface(0, 0, look.picture, crop, &clip);
        SDL_Surface* turned = rotozoomSurface(crop, plan.angle, plan.zoom, 0);
        SDL_SetColorKey(turned, SDL_SRCCOLORKEY, SDL_MapRGB(turned->format, 0, 0, 0));
        applySurface(320 - turned->w / 2, 200 - turned->h / 2, turned, reference);
        fillSurface(media.screen, blue);
        draw(in);
        EXPECT_EQ(differingPixels(media.screen, reference), 0);
        SDL_FreeSurface(turned);
        SDL_FreeSurface(crop);
        SDL_FreeSurface(reference);
    }
}

}  // namespace
