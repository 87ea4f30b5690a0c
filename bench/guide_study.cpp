// The pilot's guide (README, man page) flown to the letter by an imprecise
// human hand, with the game's own flight model, reading only what the screen
// shows: the readouts as printed, the label's tip and whether the station is
// in the window. The hand reacts 0.3 to 1.5 s late to what it sees; its
// shortest tap lasts 17 to 33 ms; a key held to bring a readout to a value is
// let go within 0.05 of it (in the time a drift readout takes to change by
// 0.05), so faster readouts stop less exactly; frames take 5 to 20 ms, and a
// key counts for the frames whose poll finds it down. Everything is drawn
// from one seeded generator, so that a run repeats.
//   build/.../bench/guide_study [approaches]     (1000 by default)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "cockpit/readouts.h"
#include "flight/docking.h"
#include "flight/flight.h"
#include "flight/motion.h"
#include "pilot.h"
#include "shell/media.h"
#include "view/geometry.h"

namespace {

std::mt19937 draw(20261209);

double uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(draw);
}

// The clock, the keys on their way to the next poll, and the hand.
struct KeyEvent {
    double ms;
    SDLKey key;
    bool down;
};
double now = 0;
std::vector<KeyEvent> pending;
double tapMs = 20;
bool arrived = false;
// When a search began, and when the station first showed since (or -1).
double searchFrom = -1;
double seenAt = -1;
bool inView();

// One frame as the game runs it: the poll takes the keys pressed or released
// since the last one, then the motion advances by the frame's length.
void frame() {
    const auto length = static_cast<Uint32>(std::uniform_int_distribution<int>(5, 20)(draw));
    now += length;
    std::stable_sort(pending.begin(), pending.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.ms < b.ms; });
    while (!pending.empty() && pending.front().ms <= now) {
        applyKeyNow(pending.front().key, pending.front().down);
        pending.erase(pending.begin());
    }
    advanceMotion(length);
    arrived = arrived || flightState().distance <= 1.0f;
    if (searchFrom >= 0 && seenAt < 0 && inView()) {
        seenAt = now;
    }
}

// Flies on until the time has passed, the condition holds (seen at the end of
// a frame) or the craft has arrived; whether the condition held.
bool flyUntil(double untilMs, const std::function<bool()>& seen = [] { return false; }) {
    while (now < untilMs && !arrived) {
        frame();
        if (seen()) {
            return true;
        }
    }
    return false;
}
void flyFor(double ms) {
    flyUntil(now + ms);
}
void react() {
    flyFor(uniform(300, 1500));
}

// What the screen shows.
double shown(int kind) {
    return std::stod(readoutText(kind).substr(kind == KindDistance ? 1 : 5));
}
ScreenPoint tip() {
    const ScreenPoint p = stationScreenPoint(offsetX(), offsetY(), rollCos(), rollSin());
    return {p.x - viewportCentreX, p.y - viewportCentreY};
}
double tipDistance() {
    return std::hypot(tip().x, tip().y);
}
// The station shows once its centre is within 10 pixels beyond an edge,
// where its picture (some 17 pixels round at the start) shows at the least.
bool inView() {
    const ScreenPoint p = tip();
    return std::abs(p.x) <= viewportWidth / 2 + 10 && std::abs(p.y) <= viewportHeight / 2 + 10;
}
// How far the orange arrow is turned counter-clockwise from straight down.
double arrowOff() {
    return std::remainder(flightState().relativeRollAngle - 180.0, 360.0);
}

// A readout and the keys that raise and lower it, and how fast a held key
// changes it (per second).
struct Control {
    int kind;
    SDLKey raise;
    SDLKey lower;
    double rate;
};
const Control vX = {KindVX, SDLK_d, SDLK_a, 1.2};
const Control vY = {KindVY, SDLK_w, SDLK_s, 1.2};
const Control vZ = {KindVZ, SDLK_UP, SDLK_DOWN, 1.2};
const Control wZ = {KindWZ, SDLK_RIGHT, SDLK_LEFT, 6.0};

void tap(SDLKey key) {
    pending.push_back({now, key, true});
    pending.push_back({now + tapMs, key, false});
}

// Brings readouts into their ranges [low, high]: holds each key that moves
// one towards its range's middle and lets go within the hand's precision of
// it, then taps until each reads within its range. False when 40 looks have
// not got there.
struct Goal {
    Control control;
    double low;
    double high;
};
bool setTo(const std::vector<Goal>& goals) {
    struct Hold {
        Goal goal;
        SDLKey key;
        double stopAt;
        int sign;
        double untilMs;  // let go by then, should the readout turn away
    };
    std::vector<Hold> holds;
    for (const Goal& g : goals) {
        const double value = shown(g.control.kind);
        const double middle = (g.low + g.high) / 2;
        if (std::fabs(value - middle) > g.control.rate * 0.05) {
            const int sign = middle > value ? 1 : -1;
            const double slip = uniform(-0.05, 0.05) * g.control.rate / 1.2;
            const double untilMs = now + 1000 * std::fabs(middle - value) / g.control.rate + 300;
            holds.push_back(
                {g, sign > 0 ? g.control.raise : g.control.lower, middle + slip, sign, untilMs});
            pending.push_back({now, holds.back().key, true});
        }
    }
    while (!holds.empty() && !arrived) {
        frame();
        for (auto h = holds.begin(); h != holds.end();) {
            if ((shown(h->goal.control.kind) - h->stopAt) * h->sign >= 0 || now >= h->untilMs) {
                pending.push_back({now, h->key, false});
                h = holds.erase(h);
            } else {
                ++h;
            }
        }
    }
    for (int look = 0; look < 40 && !arrived; ++look) {
        react();
        bool done = true;
        for (const Goal& g : goals) {
            const double value = shown(g.control.kind);
            if (value < g.low - 1e-6) {
                tap(g.control.raise);
                done = false;
            } else if (value > g.high + 1e-6) {
                tap(g.control.lower);
                done = false;
            }
        }
        if (done) {
            return true;
        }
    }
    return arrived;
}

bool tracing = false;
void trace(const char* what) {
    if (tracing) {
        std::printf("%7.1f %-10s tip %4d %4d  %s %s %s %s arrow %6.1f label %.0f\n", now / 1000,
                    what, tip().x, tip().y, readoutText(KindVX).c_str(),
                    readoutText(KindVY).c_str(), readoutText(KindVZ).c_str(),
                    readoutText(KindWZ).c_str(), arrowOff(), shown(KindDistance));
    }
}

// The guide's steps. Each returns false when it did not work, and the
// approach then goes where the guide says.
bool winged() {
    return media.stationSpin != 0;
}
double matchedTurn() {
    return winged() ? -10.0 : 0.0;
}

// "Stop the drift": vX and vY between -within and within.
bool stopDrift(double within = 0.05) {
    return setTo({{vX, -within, within}, {vY, -within, within}});
}
// "Match the station's turn": wZ within 0.15 of 0.00 (ring) or -10.00 (winged).
bool matchTurn() {
    return setTo({{wZ, matchedTurn() - 0.15, matchedTurn() + 0.15}});
}

// The taps that move the station towards the sight's centre along the
// window's width and height: D moves it left, A right, W down and S up.
std::vector<SDLKey> towardsTheSight(double least) {
    std::vector<SDLKey> keys;
    const ScreenPoint p = tip();
    if (std::abs(p.x) > least) {
        keys.push_back(p.x > 0 ? SDLK_d : SDLK_a);
    }
    if (std::abs(p.y) > least) {
        keys.push_back(p.y > 0 ? SDLK_s : SDLK_w);
    }
    return keys;
}

// Far off (more than 60 pixels), holds the keys that move it towards the
// sight until the readouts they change read 0.50 (0.40 to 0.60), and stops
// the drift once it has come within 60 pixels or stops coming closer.
void pushTowardsTheSight() {
    std::vector<Goal> goals;
    const ScreenPoint p = tip();
    const double least = tipDistance() / 2;
    if (std::abs(p.x) > least) {
        goals.push_back({vX, p.x > 0 ? 0.4 : -0.6, p.x > 0 ? 0.6 : -0.4});
    }
    if (std::abs(p.y) > least) {
        goals.push_back({vY, p.y > 0 ? -0.6 : 0.4, p.y > 0 ? -0.4 : 0.6});
    }
    trace("push");
    setTo(goals);
    double last = tipDistance();
    while (!arrived) {
        react();
        const double d = tipDistance();
        if (d <= 60 || d >= last) {
            break;
        }
        last = d;
    }
    trace("near");
    stopDrift();
}

// "Bring it to the sight". False when it left the window.
bool bringToTheSight() {
    for (int tries = 0; tries < 6 && inView(); ++tries) {
        if (tipDistance() <= 60) {
            return true;
        }
        pushTowardsTheSight();
    }
    return inView();
}

// "Keep it on the sight": at each look, more than 8 pixels off, a tap of
// each key that moves it towards the sight (along the window's width or
// height where it is off by more than half its distance); once it is back
// within 3 pixels, or stops coming closer, vX and vY back between -0.03 and
// 0.03.
struct Centring {
    bool pushing = false;
    double last = 0;
};
Centring centring;
void keepOnTheSight() {
    const double d = tipDistance();
    if (!centring.pushing && d > 8) {
        for (const SDLKey key : towardsTheSight(d / 2)) {
            tap(key);
        }
        centring.pushing = true;
    } else if (centring.pushing && (d <= 3 || d >= centring.last)) {
        stopDrift(0.03);
        centring.pushing = false;
    }
    centring.last = tipDistance();
}

// "Line up the arrow": more than 5 degrees off, turn the station the shorter
// way at 6 degrees a second (wZ 6.00 above or below the matched turn), and
// match the turn again once the arrow is 5 degrees from the triangle, which
// the hand sees coming and times within a tenth of a second.
void lineUpTheArrow() {
    const double off = arrowOff();
    if (std::fabs(off) <= 5) {
        return;
    }
    const double turn = matchedTurn() + (off > 0 ? -6.0 : 6.0);
    setTo({{wZ, turn - 0.5, turn + 0.5}});
    const double lead = uniform(-0.1, 0.1) * 6;
    flyUntil(now + 60000, [&] { return std::fabs(arrowOff()) <= 5 + lead || arrowOff() * off < 0; });
    matchTurn();
}

// While closing: keep the arrow within 5 degrees with single taps, the other
// way once it is back within 2.
struct Aligning {
    SDLKey pushed = SDLK_UNKNOWN;
};
Aligning aligning;
void keepTheArrow() {
    const double off = arrowOff();
    if (aligning.pushed == SDLK_UNKNOWN && std::fabs(off) > 5) {
        aligning.pushed = off > 0 ? SDLK_LEFT : SDLK_RIGHT;
        tap(aligning.pushed);
    } else if (aligning.pushed != SDLK_UNKNOWN && std::fabs(off) <= 2) {
        tap(aligning.pushed == SDLK_LEFT ? SDLK_RIGHT : SDLK_LEFT);
        aligning.pushed = SDLK_UNKNOWN;
    }
    if (std::fabs(off) > 12) {
        lineUpTheArrow();
        aligning.pushed = SDLK_UNKNOWN;
    }
}

// "Finding the station", from the start or when it has left the window:
// stop the drift, then hold the Left arrow until wZ reads -10.00 and keep
// rolling until it shows; then, still rolling, push it towards the sight.
// The time until it showed.
double findTheStation() {
    const double start = now;
    searchFrom = now;
    seenAt = -1;
    trace("lost");
    stopDrift();
    trace("stopped");
    if (!inView()) {
        setTo({{wZ, -10.5, -9.5}});
        flyUntil(start + 120000, [] { return seenAt >= 0; });
    }
    const double found = (seenAt >= 0 ? seenAt : now) - start;
    searchFrom = -1;
    react();
    pushTowardsTheSight();
    return found;
}

// One approach to its end; whether it docked.
struct Approach {
    bool docked;
    double searchMs;  // -1: in view at the start
};
Approach flyTheGuide(unsigned seed, bool station) {
    media.stationSpin = station ? 100 : 0;
    draw.seed(seed);
    std::srand(seed);
    resetApproach();
    advanceMotion(0);
    pending.clear();
    arrived = false;
    now = 0;
    centring = {};
    aligning = {};
    tapMs = uniform(17, 33);
    tracing = std::getenv("GUIDE_TRACE") && std::atoi(std::getenv("GUIDE_TRACE")) == static_cast<int>(seed);
    Approach result = {false, -1};
    react();
    if (!inView()) {
        result.searchMs = findTheStation();
        if (std::getenv("GUIDE_DEBUG") && result.searchMs > 30000) {
            std::printf("seed %u search %.1f s\n", seed, result.searchMs / 1000);
        }
    }
    // The order of a docking.
    for (int step = 0; step < 20 && !arrived; ++step) {
        if (!inView()) {
            react();
            findTheStation();
            react();
        }
        trace("order");
        stopDrift();
        setTo({{wZ, -0.15, 0.15}});
        trace("stopped");
        if (!bringToTheSight()) {
            continue;
        }
        trace("centred");
        matchTurn();
        trace("matched");
        lineUpTheArrow();
        trace("lined up");
        if (!inView()) {
            continue;
        }
        setTo({{vZ, 4.5, 5.5}});
        while (!arrived && inView()) {
            react();
            if (shown(KindDistance) < 100 && shown(KindVZ) > 0.9) {
                setTo({{vZ, 0.5, 0.9}});
            }
            keepOnTheSight();
            keepTheArrow();
            trace("closing");
        }
    }
    flyUntil(now + 600000, [] { return false; });
    trace("arrived");
    result.docked = arrived && assessDocking() > 0;
    if (std::getenv("GUIDE_DEBUG") && !result.docked) {
        const FlightState& f = flightState();
        std::printf("seed %u %s t %.0f arrived %d off %.1f %.1f rel %.1f v %.1f %.1f %.1f rr %.1f\n",
                    seed, station ? "winged" : "ring", now / 1000, arrived, f.offsetX, f.offsetY,
                    f.relativeRollAngle, f.velocityX, f.velocityY, f.velocityZ, f.relativeRollRate);
    }
    for (const KeyEvent& e : pending) {
        applyKeyNow(e.key, e.down);
    }
    return result;
}

// Whether the drift runs on a slant: vY reads one to three times vX, signs
// aside.
bool onASlant() {
    const double x = std::fabs(shown(KindVX));
    const double y = std::fabs(shown(KindVY));
    return y >= x && y <= 3 * x;
}

// "A station lost far out": reverse the drift (each readout to the opposite
// of what it reads, within 0.02), stop the roll, and, unless the drift then
// runs on a slant, hold the Left arrow until wZ reads -10.00, keep rolling
// until it does and stop the roll again. Then wait for the station. The
// time until it showed.
double bringBackFromFarOut(double limitMs) {
    const double start = now;
    react();
    setTo({{wZ, -0.15, 0.15}});
    if (std::fabs(shown(KindVX)) <= 0.05 && std::fabs(shown(KindVY)) <= 0.05) {
        return now - start + findTheStation();
    }
    searchFrom = start;
    seenAt = -1;
    const double x = -shown(KindVX);
    const double y = -shown(KindVY);
    trace("reverse");
    setTo({{vX, x - 0.02, x + 0.02}, {vY, y - 0.02, y + 0.02}});
    trace("reversed");
    if (!onASlant() && seenAt < 0) {
        setTo({{wZ, -10.5, -9.5}});
        flyUntil(now + 60000, [] { return onASlant() || seenAt >= 0; });
        react();
        setTo({{wZ, -0.15, 0.15}});
    }
    trace("slanted");
    flyUntil(start + limitMs, [] { return seenAt >= 0; });
    trace("found");
    searchFrom = -1;
    return (seenAt >= 0 ? seenAt : now) - start;
}

// A drawn start left to drift for 10 to 60 s: how long the way back took
// beyond that time, or -1 when the station was still in view.
double lostFarOut(unsigned seed, bool station) {
    media.stationSpin = station ? 100 : 0;
    draw.seed(seed + 1000000);
    std::srand(seed);
    resetApproach();
    advanceMotion(0);
    pending.clear();
    arrived = false;
    now = 0;
    tapMs = uniform(17, 33);
    tracing = std::getenv("GUIDE_LOST") && std::atoi(std::getenv("GUIDE_LOST")) == static_cast<int>(seed);
    const double driftMs = uniform(10000, 60000);
    flyUntil(driftMs);
    if (inView()) {
        return -1;
    }
    const double back = bringBackFromFarOut(600000);
    for (const KeyEvent& e : pending) {
        applyKeyNow(e.key, e.down);
    }
    if (std::getenv("GUIDE_DEBUG") && back - driftMs > 30000) {
        std::printf("lost seed %u drift %.1f s back %.1f s\n", seed, driftMs / 1000, back / 1000);
    }
    return back - driftMs;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    double docked[2] = {0, 0};
    std::vector<double> searches;
    for (int station = 0; station < 2; ++station) {
        for (int run = 0; run < runs; ++run) {
            const Approach a = flyTheGuide(static_cast<unsigned>(run * 2 + station), station == 1);
            docked[station] += a.docked;
            if (a.searchMs >= 0) {
                searches.push_back(a.searchMs / 1000);
            }
        }
    }
    std::vector<double> beyond;
    for (int run = 0; run < runs; ++run) {
        const double b = lostFarOut(static_cast<unsigned>(run), run % 2 == 1);
        if (b > -1e9 && b != -1) {
            beyond.push_back(b / 1000);
        }
    }
    std::printf("lost far out: %zu, found in a median %.1f s, 90%% within %.1f s beyond the drift\n",
                beyond.size(), percentile(beyond, 0.5), percentile(beyond, 0.9));
    std::printf("out of view at the start: %zu, found in a median %.1f s, 90%% within %.1f s\n",
                searches.size(), percentile(searches, 0.5), percentile(searches, 0.9));
    std::printf("guide study: docked ring %.1f%%, winged %.1f%%; out of view at the start found "
                "within %.1f s; lost far out found within %.1f s beyond its drift time\n",
                100.0 * docked[0] / runs, 100.0 * docked[1] / runs, percentile(searches, 1.0),
                percentile(beyond, 1.0));
    return 0;
}
