// The approach and docked scenes: crops, levels, placements, and real drawing
// with SDL_gfx on made-up pictures.
#include "view/scene.h"

#include <SDL/SDL_rotozoom.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "flight/flight.h"
#include "shell/media.h"
#include "test_support.h"
#include "view/surface.h"

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
const Rgb blue = {0, 0, 200};
const Rgb grey = {128, 128, 128};
const Rgb red = {255, 0, 0};
const Rgb black = {0, 0, 0};
const Rgb white = {255, 255, 255};

float cosOf(float degrees) {
    return static_cast<float>(std::cos(degrees * 3.14159265 / 180));
}
float sinOf(float degrees) {
    return static_cast<float>(std::sin(degrees * 3.14159265 / 180));
}

void paint(SDL_Surface* surface, int x, int y, int w, int h, Rgb colour) {
    SDL_Rect rect = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                     static_cast<Uint16>(h)};
    SDL_FillRect(surface, &rect,
                 SDL_MapRGB(surface->format, static_cast<Uint8>(colour.r),
                            static_cast<Uint8>(colour.g), static_cast<Uint8>(colour.b)));
}

// A picture as loadImage makes it: display format, white colour key.
SDL_Surface* makePicture(int w, int h, Rgb colour) {
    SDL_Surface* raw = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0, 0, 0, 0);
    SDL_Surface* picture = SDL_DisplayFormat(raw);
    SDL_FreeSurface(raw);
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 255, 255, 255));
    fillSurface(picture, colour);
    return picture;
}

// Every pixel different from its neighbours, never pure white or black.
SDL_Surface* makePatternPicture(int w, int h) {
    SDL_Surface* picture = makePicture(w, h, grey);
    for (int y = 0; y < h; ++y) {
        Uint32* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(picture->pixels) + y * picture->pitch);
        for (int x = 0; x < w; ++x) {
            row[x] = SDL_MapRGB(picture->format, static_cast<Uint8>(x * 7),
                                static_cast<Uint8>(y * 5), static_cast<Uint8>(60 + (x + y) % 90));
        }
    }
    return picture;
}

SceneInputs inputsFor(float scale, float relativeRoll, float roll, float offsetX, float offsetY) {
    return {
        scale,       relativeRoll, roll, offsetX, offsetY, cosOf(relativeRoll), sinOf(relativeRoll),
        cosOf(roll), sinOf(roll)};
}

class SceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { openTestScreen(); }

    void SetUp() override {
        media.backgroundImage = media.stationLow = media.stationMed = media.stationFull = nullptr;
        fillSurface(media.screen, blue);
        resetLargestSceneSurfaces();
    }

    void TearDown() override {
        for (SDL_Surface** picture :
             {&media.backgroundImage, &media.stationLow, &media.stationMed, &media.stationFull}) {
            SDL_FreeSurface(*picture);
            *picture = nullptr;
        }
    }

    // Draws with the cached cosines and sines set as the roll step leaves them.
    static void draw(const SceneInputs& in) {
        FlightState state = flightState();
        state.rollAngle = in.rollAngle;
        state.relativeRollAngle = in.relativeRollAngle;
        state.rollCos = in.rollCos;
        state.rollSin = in.rollSin;
        state.relativeRollCos = in.relativeRollCos;
        state.relativeRollSin = in.relativeRollSin;
        setFlightState(state);
        drawApproachScene(in.approachScale, in.relativeRollAngle, in.rollAngle, in.offsetX,
                          in.offsetY);
    }

    // Stations of a quarter, half and whole size, as the levels expect.
    static void makeStations(int fullSide, Rgb colour) {
        media.stationLow = makePicture(fullSide / 4, fullSide / 4, colour);
        media.stationMed = makePicture(fullSide / 2, fullSide / 2, colour);
        media.stationFull = makePicture(fullSide, fullSide, colour);
    }
};

TEST(SceneGeometry, ViewportHalfExtentsCoverTheTurnedViewport) {
    const struct {
        float angle, halfWidth, halfHeight;
    } cases[] = {{0, 308.87f, 218.40f},  {10, 308.87f, 253.01f}, {30, 308.87f, 298.34f},
                 {45, 308.87f, 308.87f}, {60, 298.34f, 308.87f}, {90, 218.40f, 308.87f},
                 {180, 308.87f, 218.40f}};
    for (const auto& c : cases) {
        const HalfExtents extents = viewportHalfExtents(c.angle, cosOf(c.angle), sinOf(c.angle));
        EXPECT_NEAR(extents.halfWidth, c.halfWidth, 0.01) << c.angle;
        EXPECT_NEAR(extents.halfHeight, c.halfHeight, 0.01) << c.angle;
    }
}

void expectRect(const SceneCrop& crop, int x, int y, int w, int h) {
    EXPECT_TRUE(crop.drawable);
    EXPECT_EQ(crop.rect.x, x);
    EXPECT_EQ(crop.rect.y, y);
    EXPECT_EQ(crop.rect.w, w);
    EXPECT_EQ(crop.rect.h, h);
}

TEST(SceneGeometry, Crops) {
    const auto background = [](float roll, float offsetX, float offsetY) {
        return backgroundCrop(1024, 768, viewportHalfExtents(roll, cosOf(roll), sinOf(roll)),
                              offsetX, offsetY);
    };
    expectRect(background(0, 0, 0), 203, 165, 617, 436);
    expectRect(background(0, 40, -20), 183, 175, 617, 436);
    EXPECT_EQ(background(45, 0, 0).rect.w, 617);
    EXPECT_EQ(background(45, 0, 0).rect.h, 617);
    EXPECT_EQ(background(90, 0, 0).rect.w, 436);
    EXPECT_EQ(background(90, 0, 0).rect.h, 617);
    EXPECT_FALSE(background(nan, 0, 0).drawable);
    EXPECT_FALSE(background(0, inf, 0).drawable);
    // Far out, the crop is clamped into SDL's 16-bit fields and still drawn (black).
    expectRect(background(0, 1e9f, -1e9f), -32768, 32767, 617, 436);

    SceneInputs in = inputsFor(0.8f, 180, 180, 30, -10);
    in.rollCos = in.relativeRollCos = -1;
    in.rollSin = in.relativeRollSin = 0;
    const StationLook look = stationLook(0.8f, nullptr, nullptr, nullptr);
    expectRect(
        stationCrop(800, 600, viewportHalfExtents(180, in.relativeRollCos, in.relativeRollSin),
                    look.zoom, 30, -10, 1.0, 0.0),
        -23, 39, 772, 546);
    const LayerPlan plan = stationPlan(in, look, 800, 600);
    EXPECT_EQ(plan.crop.x, -23);
    EXPECT_EQ(plan.crop.w, 772);
    const ScreenPoint point = stationScreenPoint(30, -10, in.rollCos, in.rollSin);
    EXPECT_EQ(point.x, 290);
    EXPECT_EQ(point.y, 210);

    expectRect(dockedBackgroundCrop(1024, 768), 242, 234, 540, 300);
    expectRect(dockedStationCrop(800, 600, 1.0), 130, 150, 540, 300);
    // Above zoom 1: the same centre, even sides, one picture pixel of margin.
    expectRect(dockedStationCrop(800, 600, 3.0), 309, 249, 182, 102);
    expectRect(dockedStationCrop(800, 600, 200.0), 398, 299, 4, 2);
    EXPECT_FALSE(dockedStationCrop(800, 600, nan).drawable);
}

TEST(SceneGeometry, LevelOfDetail) {
    SDL_Surface pictures[3] = {};
    SDL_Surface* low = &pictures[0];
    SDL_Surface* medium = &pictures[1];
    SDL_Surface* full = &pictures[2];
    const float belowQuarter = std::nextafter(0.25f, 0.0f);
    const float belowHalf = std::nextafter(0.5f, 0.0f);
    const struct {
        float scale;
        StationLevel level;
        SDL_Surface* picture;
        double zoom;
        int key;
    } cases[] = {{0.05f, LevelLow, low, 0.2, 255},
                 {belowQuarter, LevelLow, low, 4.0 * belowQuarter, 255},
                 {0.25f, LevelMedium, medium, 0.5, 0},
                 {belowHalf, LevelMedium, medium, 2.0 * belowHalf, 0},
                 {0.5f, LevelFull, full, 0.5, 0},
                 {-0.1f, LevelLow, low, -0.4, 255}};
    for (const auto& c : cases) {
        const StationLook look = stationLook(c.scale, low, medium, full);
        EXPECT_EQ(look.level, c.level) << c.scale;
        EXPECT_EQ(look.picture, c.picture) << c.scale;
        EXPECT_NEAR(look.zoom, c.zoom, 1e-7) << c.scale;
        EXPECT_EQ(look.keyGrey, c.key) << c.scale;
    }
    EXPECT_LT(4.0 * belowQuarter, 1.0);
}

TEST(SceneGeometry, StationScreenPointIsDefinedForAnyValue) {
    EXPECT_EQ(stationScreenPoint(1e30f, 0, 1, 0).x, INT_MAX);
    EXPECT_EQ(stationScreenPoint(-1e30f, 0, 1, 0).x, INT_MIN);
    EXPECT_EQ(stationScreenPoint(nan, 0, 1, 0).x, 0);
    EXPECT_EQ(stationScreenPoint(10.7f, 0, 1, 0).x, 330);
    EXPECT_EQ(stationScreenPoint(-400.5f, 0, 1, 0).x, -80);  // toward zero
}

// The red centre of each level's picture lands on the station screen point.
TEST_F(SceneTest, StationCentreLandsOnTheStationScreenPoint) {
    makeStations(400, grey);
    paint(media.stationLow, 46, 46, 8, 8, red);
    paint(media.stationMed, 92, 92, 16, 16, red);
    paint(media.stationFull, 184, 184, 32, 32, red);
    const SceneInputs cases[] = {
        inputsFor(0.05f, 300, 20, 150, 60), inputsFor(0.1f, 0, 0, 0, 0),
        inputsFor(0.2f, 30, 10, 60, -30),   inputsFor(0.3f, 75, 30, -100, 40),
        inputsFor(0.45f, -20, 45, 30, 20),  inputsFor(0.6f, 180, 180, 30, -10),
        inputsFor(0.9f, 120, 200, -50, -40)};
    for (const SceneInputs& in : cases) {
        fillSurface(media.screen, blue);
        draw(in);
        double sumX = 0;
        double sumY = 0;
        int count = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (pixelAt(media.screen, x, y) == red) {
                    sumX += x + 0.5;
                    sumY += y + 0.5;
                    ++count;
                }
            }
        }
        ASSERT_GT(count, 0) << in.approachScale;
        const ScreenPoint point =
            stationScreenPoint(in.offsetX, in.offsetY, in.rollCos, in.rollSin);
        EXPECT_NEAR(sumX / count, point.x, 2.0) << in.approachScale;
        EXPECT_NEAR(sumY / count, point.y, 2.0) << in.approachScale;
    }
}

// White is the low level's key, black the medium and full levels'; the turned
// corners and the crop outside the picture are transparent at every level.
TEST_F(SceneTest, StationKeysAndTransparentCorners) {
    makeStations(400, grey);
    for (SDL_Surface* picture : {media.stationLow, media.stationMed, media.stationFull}) {
        const int quarter = picture->w / 4;
        paint(picture, 0, 0, quarter, quarter, black);
        paint(picture, 3 * quarter, 3 * quarter, quarter, quarter, white);
    }
    const struct {
        float scale;
        Rgb blackCorner;
    } cases[] = {{0.2f, black}, {0.4f, blue}, {0.8f, blue}};
    for (const auto& c : cases) {
        fillSurface(media.screen, blue);
        const SceneInputs in = inputsFor(c.scale, 0, 0, 0, 0);
        draw(in);
        // Every level shows the station 400 * scale wide; the blocks are
        // its top-left and bottom-right quarters.
        const int half = static_cast<int>(200 * c.scale);
        const int inset = half / 4;
        EXPECT_EQ(pixelAt(media.screen, 320, 200), grey) << c.scale;
        EXPECT_EQ(pixelAt(media.screen, 320 - half + inset, 200 - half + inset), c.blackCorner)
            << c.scale;
        EXPECT_EQ(pixelAt(media.screen, 320 + half - inset, 200 + half - inset), blue) << c.scale;

        fillSurface(media.screen, blue);
        const SceneInputs turned = inputsFor(c.scale, 30, 0, 0, 0);
        draw(turned);
        const LayerPlan plan = stationPlan(
            turned, stationLook(c.scale, media.stationLow, media.stationMed, media.stationFull),
            400, 400);
        for (const ScreenPoint corner :
             {ScreenPoint{plan.x + 1, plan.y + 1}, ScreenPoint{viewportLeft + 1, viewportTop + 1},
              ScreenPoint{589, 349}}) {
            if (corner.x >= 0 && corner.y >= 0 && corner.x < 640 && corner.y < 480) {
                EXPECT_EQ(pixelAt(media.screen, corner.x, corner.y), blue) << c.scale;
            }
        }
    }
}

TEST_F(SceneTest, BackgroundTurnsMovesWithHalfTheOffsetAndRepaintsTheView) {
    media.backgroundImage = makePicture(1024, 768, grey);
    paint(media.backgroundImage, 502, 374, 20, 20, white);  // the centre
    const struct {
        float roll, offsetX, offsetY;
        int x, y;  // where the white centre shows black
    } cases[] = {
        {0, 0, 0, 320, 200}, {0, 40, -20, 340, 190}, {90, 40, 0, 320, 180}, {180, 30, 0, 305, 200}};
    for (const auto& c : cases) {
        fillSurface(media.screen, red);  // the last frame's picture
        draw(inputsFor(0.1f, c.roll, c.roll, c.offsetX, c.offsetY));
        EXPECT_EQ(pixelAt(media.screen, c.x, c.y), black) << c.roll;
        int leftOver = 0;
        for (int y = viewportTop; y < viewportTop + viewportHeight; ++y) {
            for (int x = viewportLeft; x < viewportLeft + viewportWidth; ++x) {
                leftOver += pixelAt(media.screen, x, y) == red ? 1 : 0;
            }
        }
        EXPECT_EQ(leftOver, 0) << c.roll;
        EXPECT_EQ(pixelAt(media.screen, c.x + 30, c.y), grey) << c.roll;
    }
    // A background smaller than the crop leaves black bands in the view.
    SDL_FreeSurface(media.backgroundImage);
    media.backgroundImage = makePicture(300, 200, grey);
    draw(inputsFor(0.1f, 0, 0, 0, 0));
    EXPECT_EQ(pixelAt(media.screen, 55, 55), black);
    EXPECT_EQ(pixelAt(media.screen, 320, 200), grey);
}

TEST_F(SceneTest, DockedSceneIsUpsideDownAtTheLastScale) {
    media.backgroundImage = makePicture(1024, 768, grey);
    paint(media.backgroundImage, 307, 279, 10, 10, red);  // 200 left of and 100 above the centre
    media.stationFull = makePicture(800, 800, white);
    paint(media.stationFull, 370, 380, 10, 10, {0, 255, 0});  // 25 left, 15 above
    for (const float scale : {1.0f, 2.0f}) {
        fillSurface(media.screen, blue);
        drawDockedScene(scale);
        EXPECT_EQ(pixelAt(media.screen, 520, 300), red) << scale;
        EXPECT_EQ(pixelAt(media.screen, 320 + static_cast<int>(25 * scale),
                          200 + static_cast<int>(15 * scale)),
                  (Rgb{0, 255, 0}))
            << scale;
        EXPECT_EQ(pixelAt(media.screen, 320, 200), grey) << scale;
    }
}

TEST_F(SceneTest, MissingPicturesDrawNothing) {
    draw(inputsFor(0.3f, 30, 10, 0, 0));
    drawDockedScene(1.5f);
    EXPECT_EQ(pixelAt(media.screen, 320, 200), blue);
    EXPECT_EQ(largestSceneSurfaces().largestTurned.width, 0);
}

// The design's steps drawn onto a screen-sized reference, however large the
// turned surface.
SDL_Surface* referenceDrawing(SDL_Surface* picture, SDL_Rect* crop, double angle, double zoom,
                              Uint8 keyGrey, double centreX, double centreY) {
    SDL_Surface* reference = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0, 0, 0, 0);
    fillSurface(reference, blue);
    SDL_Surface* source = picture;
    if (crop != nullptr) {
        source = SDL_CreateRGBSurface(SDL_SWSURFACE, crop->w, crop->h, 32, 0, 0, 0, 0);
        applySurface(0, 0, picture, source, crop);
    }
    SDL_Surface* turned = rotozoomSurface(source, angle, zoom, 0);
    SDL_SetColorKey(turned, SDL_SRCCOLORKEY, SDL_MapRGB(turned->format, keyGrey, keyGrey, keyGrey));
    applySurface(truncToInt(centreX - turned->w / 2), truncToInt(centreY - turned->h / 2), turned,
                 reference);
    SDL_FreeSurface(turned);
    if (source != picture) {
        SDL_FreeSurface(source);
    }
    return reference;
}

// Viewport pixels of the screen found nowhere within reach pixels of the
// same place in the reference.
int viewportMismatches(SDL_Surface* reference, int reach) {
    int mismatches = 0;
    for (int y = viewportTop; y < viewportTop + viewportHeight; ++y) {
        for (int x = viewportLeft; x < viewportLeft + viewportWidth; ++x) {
            const Rgb shown = pixelAt(media.screen, x, y);
            bool found = false;
            for (int dy = -reach; dy <= reach && !found; ++dy) {
                for (int dx = -reach; dx <= reach && !found; ++dx) {
                    found = pixelAt(reference, x + dx, y + dy) == shown;
                }
            }
            mismatches += found ? 0 : 1;
        }
    }
    return mismatches;
}

// The medium and full levels show exactly what their whole crop, cut with a
// keyed blit, turned and blitted whole, shows: on the whole screen.
TEST_F(SceneTest, StationShowsItsWholeCropsPixels) {
    for (SDL_Surface** picture : {&media.stationMed, &media.stationFull}) {
        *picture = makePatternPicture(picture == &media.stationMed ? 200 : 400,
                                      picture == &media.stationMed ? 160 : 320);
        paint(*picture, 30, 30, 40, 20, white);
        paint(*picture, 80, 60, 30, 30, black);
    }
    for (const SceneInputs& in :
         {inputsFor(0.3f, 50, 30, 20, -10), inputsFor(0.45f, 0, 10, -60, 30),
          inputsFor(0.6f, 200, 30, 100, 40), inputsFor(0.9f, -70, 0, 0, 0)}) {
        const StationLook look =
            stationLook(in.approachScale, nullptr, media.stationMed, media.stationFull);
        const LayerPlan plan = stationPlan(in, look, look.picture->w, look.picture->h);
        SDL_Rect crop = plan.crop;
        SDL_Surface* reference =
            referenceDrawing(look.picture, &crop, plan.angle, plan.zoom, 0, 320, 200);
        fillSurface(media.screen, blue);
        draw(in);
        int mismatches = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                mismatches += pixelAt(media.screen, x, y) == pixelAt(reference, x, y) ? 0 : 1;
            }
        }
        EXPECT_EQ(mismatches, 0) << in.approachScale;
        SDL_FreeSurface(reference);
    }
}

TEST_F(SceneTest, DockedStationAboveZoomOneShowsTheWholeCropsPixels) {
    media.stationFull = makePatternPicture(800, 600);
    paint(media.stationFull, 380, 290, 20, 20, black);
    for (const float scale : {1.0f, 1.5f, 2.7f, 3.0f, 7.3f}) {
        SDL_Rect crop = {130, 150, 540, 300};
        SDL_Surface* reference =
            referenceDrawing(media.stationFull, &crop, 180.0, scale, 0, 320, 200);
        fillSurface(media.screen, blue);
        drawDockedScene(scale);
        EXPECT_EQ(viewportMismatches(reference, 0), 0) << scale;
        SDL_FreeSurface(reference);
    }
    // Far beyond any arrival, the station is still drawn, from a tiny crop.
    resetLargestSceneSurfaces();
    fillSurface(media.screen, blue);
    drawDockedScene(200.0f);
    EXPECT_FALSE(pixelAt(media.screen, 320, 200) == blue);
    EXPECT_LE(largestSceneSurfaces().largestTurned.width, maxTurnedSide);
}

// A station that the craft has just passed is mirrored and zoomed far beyond
// the view; its crop shows what the whole turned picture would.
TEST_F(SceneTest, MirroredCloseStationShowsTheWholePicturesPixels) {
    media.stationLow = makePatternPicture(100, 100);
    paint(media.stationLow, 40, 40, 12, 12, white);
    paint(media.stationLow, 52, 52, 12, 12, black);
    for (const SceneInputs& in :
         {inputsFor(-2.0f, 30, 10, 20, -10), inputsFor(-2.0f, 0, 0, 5, 5),
          inputsFor(-5.0f, 200, 30, -15, 10), inputsFor(-6.0f, -40, 0, 0, 0)}) {
        const StationLook look = stationLook(in.approachScale, media.stationLow, nullptr, nullptr);
        ASSERT_TRUE(stationPlan(in, look, 100, 100).cropped);
        const double pointX =
            320.0 + double{in.offsetX} * in.rollCos + double{in.offsetY} * in.rollSin;
        const double pointY =
            200.0 - double{in.offsetX} * in.rollSin + double{in.offsetY} * in.rollCos;
        SDL_Surface* reference = referenceDrawing(media.stationLow, nullptr, in.relativeRollAngle,
                                                  look.zoom, 255, pointX, pointY);
        fillSurface(media.screen, blue);
        resetLargestSceneSurfaces();
        draw(in);
        EXPECT_EQ(viewportMismatches(reference, 1), 0) << in.approachScale;
        EXPECT_LE(largestSceneSurfaces().largestTurned.width, maxTurnedSide);
        SDL_FreeSurface(reference);
    }
}

TEST_F(SceneTest, EveryCallFreesWhatItMakes) {
    media.backgroundImage = makePicture(1024, 768, grey);
    makeStations(400, grey);
    for (const float scale : {0.1f, 0.3f, 0.8f, -2.0f}) {
        const SceneInputs in = inputsFor(scale, 30, 10, 20, -10);
        draw(in);
        const std::size_t before = heapInUse();
        draw(in);
        EXPECT_EQ(heapInUse(), before) << scale;
    }
    drawDockedScene(1.2f);
    const std::size_t before = heapInUse();
    drawDockedScene(1.2f);
    EXPECT_EQ(heapInUse(), before);
}

TEST_F(SceneTest, ExtremeValuesMakeNoLargeSurface) {
    media.backgroundImage = makePicture(1600, 1200, grey);
    makeStations(800, grey);
    const float scales[] = {-inf,  -1e30f, -1e6f, -1e3f, -100, -4,   -1e-30f, -0.0f, 0,   1e-30f,
                            1e-3f, 0.3f,   3,     437,   600,  1e3f, 1e6f,    1e30f, inf, nan};
    for (const float scale : scales) {
        for (const SceneInputs& in :
             {inputsFor(scale, 30, 10, 20, -10), inputsFor(scale, 0, 0, 0, 0),
              inputsFor(scale, 1e30f, nan, 1e30f, -1e30f), inputsFor(scale, nan, 45, nan, inf),
              inputsFor(scale, 45, 1e9f, 4e4f, -4e4f), inputsFor(scale, -7e5f, 3e6f, -1e7f, 0)}) {
            resetLargestSceneSurfaces();
            draw(in);
            drawDockedScene(scale);
            const SceneSurfaces made = largestSceneSurfaces();
            EXPECT_LE(made.largestTurned.width, maxTurnedSide) << scale;
            EXPECT_LE(made.largestTurned.height, maxTurnedSide) << scale;
            EXPECT_LE(made.largestCrop.width, maxCropSide) << scale;
            EXPECT_LE(made.largestCrop.height, maxCropSide) << scale;
        }
    }
}

}  // namespace
