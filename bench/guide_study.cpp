// The pilot's guide (README, man page) flown to the letter by an imprecise
// human hand, with the game's own flight model, reading only what the screen
// shows: the readouts as printed, the label's tip, the arrow's turn and
// whether the station is in the window. The hand reacts 0.3 to 1.5 s late to
// what it sees, but times what it sees coming (the arrow nearing the
// triangle) within 0.1 s; its shortest tap lasts 17 to 33 ms; a key held to
// bring a readout to a value is let go within 0.05 of it (in the time a drift
// readout takes to change by 0.05, so the faster wZ stops less exactly);
// frames take 5 to 20 ms, and a key counts for the frames whose poll finds it
// down. It flies 1000 approaches to each station and 1000 stations left to
// drift for 10 to 60 s, then brought back and docked; each run is drawn from
// its own seed, so that a run repeats alone:
//   build/rel/bench/guide_study [runs]      GUIDE_TRACE=<seed> prints its steps
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
bool flyUntil(
    double untilMs, const std::function<bool()>& seen = [] { return false; }) {
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
// The hand's delay before it acts on what it saw; meanwhile it goes on doing
// what it was doing, at each frame.
void react(const std::function<void()>& meanwhile = [] {}) {
    flyUntil(now + uniform(300, 1500), [&] {
        meanwhile();
        return false;
    });
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

// A key pressed now and let go ms later; a tap lasts tapMs.
void press(SDLKey key, double ms) {
    pending.push_back({now, key, true});
    pending.push_back({now + ms, key, false});
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
int settings = 0;
int unreached = 0;
bool setTo(const std::vector<Goal>& goals) {
    ++settings;
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
                press(g.control.raise, tapMs);
                done = false;
            } else if (value > g.high + 1e-6) {
                press(g.control.lower, tapMs);
                done = false;
            }
        }
        if (done) {
            return true;
        }
    }
    unreached += !arrived;
    return arrived;
}

// GUIDE_TRACE=<seed> prints each step of that approach or way back.
bool tracing = false;
void trace(const char* step) {
    if (tracing) {
        std::printf(
            "%7.1f s %-9s off %7.1f %7.1f tip %5d %5d  %s  %s  %s  %s  arrow %6.1f  label %.0f\n",
            now / 1000, step, offsetX(), offsetY(), tip().x, tip().y, readoutText(KindVX).c_str(),
            readoutText(KindVY).c_str(), readoutText(KindVZ).c_str(), readoutText(KindWZ).c_str(),
            arrowOff(), shown(KindDistance));
    }
}

// The guide's steps, each as the guide words it.
double matchedTurn() {
    return media.stationSpin != 0 ? -10.0 : 0.0;
}
// "Stop the drift": vX and vY between -within and within.
bool stopDrift(double within = 0.05) {
    return setTo({{vX, -within, within}, {vY, -within, within}});
}
bool stopTheRoll() {
    return setTo({{wZ, -0.15, 0.15}});
}
// "Match the station's turn": wZ within 0.15 of 0.00 (ring) or -10.00 (winged).
bool matchTheTurn() {
    return setTo({{wZ, matchedTurn() - 0.15, matchedTurn() + 0.15}});
}
bool rollAtTen() {
    return setTo({{wZ, -10.5, -9.5}});
}

// "Push it towards the sight": the keys that move it that way in the window
// (D left, A right, W down, S up), along the width or the height or both,
// whichever it is off by more than half its distance: held for about half a
// second (0.4 to 0.6 s) when it is more than 60 pixels off, tapped once
// otherwise.
void pushTowardsTheSight(bool hold) {
    const ScreenPoint p = tip();
    const double least = tipDistance() / 2;
    const double ms = hold ? uniform(400, 600) : tapMs;
    for (const auto& [off, more, less] :
         {std::make_tuple(p.x, SDLK_d, SDLK_a), std::make_tuple(p.y, SDLK_s, SDLK_w)}) {
        if (std::abs(off) > least) {
            press(off > 0 ? more : less, ms);
        }
    }
    flyFor(ms);
}

// "Bring it to the sight": more than 60 pixels off, push it (held), and stop
// the drift once it is within 60 pixels or stops coming closer. False when it
// left the window.
bool bringToTheSight() {
    for (int push = 0; push < 6 && inView() && tipDistance() > 60; ++push) {
        trace("push");
        pushTowardsTheSight(true);
        for (double last = 1e9; !arrived && tipDistance() > 60 && tipDistance() < last;) {
            last = tipDistance();
            react();
        }
        stopDrift();
    }
    return inView();
}

// "Keep it on the sight", at each look: more than 8 pixels off, a tap
// towards the sight; once it is back within 3 pixels, or stops coming
// closer, vX and vY back between -0.03 and 0.03.
bool pushing = false;
double lastDistance = 0;
void keepOnTheSight() {
    const double d = tipDistance();
    if (!pushing && d > 8) {
        pushTowardsTheSight(false);
        pushing = true;
    } else if (pushing && (d <= 3 || d >= lastDistance)) {
        stopDrift(0.03);
        pushing = false;
    }
    lastDistance = tipDistance();
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
    flyUntil(now + 60000,
             [&] { return std::fabs(arrowOff()) <= 5 + lead || arrowOff() * off < 0; });
    matchTheTurn();
}

// "Keep the arrow": more than 5 degrees off, one tap of the arrow key that
// turns it back; once it is within 2 degrees, one tap of the other; more
// than 12 degrees off, line it up again.
SDLKey turnedBack = SDLK_UNKNOWN;
void keepTheArrow() {
    const double off = arrowOff();
    if (std::fabs(off) > 12) {
        lineUpTheArrow();
        turnedBack = SDLK_UNKNOWN;
    } else if (turnedBack == SDLK_UNKNOWN && std::fabs(off) > 5) {
        turnedBack = off > 0 ? SDLK_LEFT : SDLK_RIGHT;
        press(turnedBack, tapMs);
    } else if (turnedBack != SDLK_UNKNOWN && std::fabs(off) <= 2) {
        press(turnedBack == SDLK_LEFT ? SDLK_RIGHT : SDLK_LEFT, tapMs);
        turnedBack = SDLK_UNKNOWN;
    }
}

// Watching for the station from now on.
void search() {
    searchFrom = now;
    seenAt = -1;
}
bool seen() {
    return seenAt >= 0;
}

// "Finding the station": stop the drift and let it run a little past 0.00
// (each of vX and vY to a tenth of what it reads, sign turned, within 0.05),
// so that the station comes back a little way; hold the Left arrow until wZ
// reads -10.00 and keep rolling until it shows, at most one turn of the
// picture (40 s); then push it towards the sight.
void findTheStation() {
    trace("find");
    const double x = -0.1 * shown(KindVX);
    const double y = -0.1 * shown(KindVY);
    setTo({{vX, x - 0.05, x + 0.05}, {vY, y - 0.05, y + 0.05}});
    if (!seen()) {
        rollAtTen();
        flyUntil(now + 40000, seen);
    }
    trace("seen");
    react();
    bringToTheSight();
}

// Whether the drift runs on a slant: vY reads one to three times vX, signs
// aside.
bool onASlant() {
    const double x = std::fabs(shown(KindVX));
    const double y = std::fabs(shown(KindVY));
    return y >= x && y <= 3 * x;
}

// "Put its path on a slant": the Left arrow held, let go once wZ reads about
// -10.00 (within 0.5), and the roll stopped once vY reads one to three times
// vX, which the hand watches from the moment it presses.
void rollTillOnASlant() {
    pending.push_back({now, SDLK_LEFT, true});
    const double letGo = -10 + uniform(-0.5, 0.5);
    bool held = true;
    const auto letGoAtTen = [&] {
        if (held && shown(KindWZ) <= letGo) {
            pending.push_back({now, SDLK_LEFT, false});
            held = false;
        }
    };
    flyUntil(now + 60000, [&] {
        letGoAtTen();
        return onASlant() || seen();
    });
    react(letGoAtTen);
    if (held) {
        pending.push_back({now, SDLK_LEFT, false});
    }
    stopTheRoll();
}

// "A station lost far out": stop the roll; if vX and vY both read 0.05 or
// less, find the station as above. Otherwise put the drift on a slant, then
// send the station back twice as fast (each readout to twice the opposite of
// what it reads, within 0.02) and wait half as long as it was lost and 15 s
// more; until it shows, reverse the drift again (to just the opposite) and
// wait 20 s.
void bringBackFromFarOut(double lostMs) {
    search();
    react();
    stopTheRoll();
    if (std::fabs(shown(KindVX)) <= 0.05 && std::fabs(shown(KindVY)) <= 0.05) {
        findTheStation();
        return;
    }
    if (!onASlant() && !seen()) {
        trace("slant");
        rollTillOnASlant();
    }
    for (int reversal = 0; reversal < 6 && !seen(); ++reversal) {
        const double start = now;
        const double factor = reversal == 0 ? 2 : 1;
        const double x = -factor * shown(KindVX);
        const double y = -factor * shown(KindVY);
        trace("reverse");
        setTo({{vX, x - 0.02, x + 0.02}, {vY, y - 0.02, y + 0.02}});
        trace("wait");
        flyUntil(reversal == 0 ? start + lostMs / 2 + 15000 : start + 20000, seen);
    }
}

// One approach to its end, from a start the game draws from seed.
struct Approach {
    bool docked;
    int score;
    double ms;
    double searchMs;  // until the station first showed; -1: in view at the start
};
void begin(unsigned seed, bool winged) {
    media.stationSpin = winged ? 100 : 0;
    draw.seed(seed * 2 + winged);
    std::srand(seed);
    resetApproach();
    advanceMotion(0);
    pending.clear();
    arrived = false;
    now = 0;
    searchFrom = -1;
    pushing = false;
    turnedBack = SDLK_UNKNOWN;
    tapMs = uniform(17, 33);
    const char* traced = std::getenv("GUIDE_TRACE");
    tracing = traced != nullptr && std::atoi(traced) == static_cast<int>(seed * 2 + winged);
}
void end() {
    for (const KeyEvent& e : pending) {
        applyKeyNow(e.key, e.down);
    }
    pending.clear();
    searchFrom = -1;
}

// The order of a docking, again from the top whenever the station has left
// the window; the score on arrival.
int flyTheOrder() {
    while (!arrived) {
        if (!inView()) {
            search();
            react();
            findTheStation();
        }
        trace("stop");
        stopDrift();
        stopTheRoll();
        if (!bringToTheSight()) {
            continue;
        }
        trace("centred");
        matchTheTurn();
        lineUpTheArrow();
        trace("lined up");
        setTo({{vZ, 4.5, 5.5}});
        while (!arrived && inView()) {
            react();
            if (shown(KindDistance) < 100 && shown(KindVZ) > 0.9) {
                setTo({{vZ, 0.5, 0.9}});
            }
            keepOnTheSight();
            keepTheArrow();
        }
    }
    trace("arrived");
    return assessDocking();
}

Approach flyTheGuide(unsigned seed, bool winged) {
    begin(seed, winged);
    Approach result = {false, 0, 0, -1};
    if (!inView()) {
        search();
        react();
        if (!seen()) {
            findTheStation();
        }
        result.searchMs = seen() ? seenAt : now;
    }
    result.score = flyTheOrder();
    result.docked = result.score > 0;
    result.ms = now;
    end();
    return result;
}

// A drawn start left to drift for 10 to 60 s, brought back and then docked
// by the guide: how long the way back took beyond that time (-1 when the
// station was still in view), and whether it docked.
struct LostFarOut {
    double beyondMs;
    bool docked;
};
LostFarOut lostFarOut(unsigned seed, bool winged) {
    begin(seed + 100000, winged);
    const double driftMs = uniform(10000, 60000);
    trace("start");
    flyFor(driftMs);
    if (inView()) {
        return {-1, false};
    }
    bringBackFromFarOut(driftMs);
    const double beyond = (seen() ? seenAt : now) - 2 * driftMs;
    // Once it shows, on as when it is found.
    react();
    findTheStation();
    const bool docked = flyTheOrder() > 0;
    end();
    return {beyond, docked};
}

// The share of values at most the given one's rank: median 0.5, and so on.
double percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}
void printSpread(const char* what, const std::vector<double>& values, const char* unit) {
    std::printf("%s: median %.1f%s, 90%% within %.1f%s, all within %.1f%s (%zu", what,
                percentile(values, 0.5), unit, percentile(values, 0.9), unit,
                percentile(values, 1.0), unit, values.size());
    if (std::string(unit) == " s") {
        std::printf(", %ld over 30 s",
                    static_cast<long>(std::count_if(values.begin(), values.end(),
                                                    [](double v) { return v > 30; })));
    }
    std::printf(")\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const char* names[] = {"ring", "winged"};
    double docked[2] = {0, 0};
    std::vector<double> searches;
    for (int winged = 0; winged < 2; ++winged) {
        std::vector<double> minutes;
        std::vector<double> scores;
        for (int run = 0; run < runs; ++run) {
            const Approach a = flyTheGuide(static_cast<unsigned>(run), winged == 1);
            docked[winged] += a.docked;
            if (std::getenv("GUIDE_DEBUG") && (!a.docked || a.searchMs > 30000)) {
                std::printf("seed %d: score %d, search %.1f s\n", run * 2 + winged, a.score,
                            a.searchMs / 1000);
            }
            minutes.push_back(a.ms / 60000);
            if (a.docked) {
                scores.push_back(a.score);
            }
            if (a.searchMs >= 0) {
                searches.push_back(a.searchMs / 1000);
            }
        }
        std::printf("%s station: docked %.0f of %d, median score %.0f; ", names[winged],
                    docked[winged], runs, percentile(scores, 0.5));
        printSpread("minutes an approach", minutes, " min");
    }
    std::vector<double> beyond;
    int dockedAfter = 0;
    for (int run = 0; run < runs; ++run) {
        const LostFarOut lost = lostFarOut(static_cast<unsigned>(run), run % 2 == 1);
        if (std::getenv("GUIDE_DEBUG") &&
            (lost.beyondMs > 30000 || (lost.beyondMs != -1 && !lost.docked))) {
            std::printf("lost far out, seed %d: %.1f s beyond, %s\n", (run + 100000) * 2 + run % 2,
                        lost.beyondMs / 1000, lost.docked ? "docked" : "crashed");
        }
        if (lost.beyondMs != -1) {
            beyond.push_back(lost.beyondMs / 1000);
            dockedAfter += lost.docked;
        }
    }
    std::printf("lost far out and brought back: docked %d of %zu\n", dockedAfter, beyond.size());
    std::printf("readouts set to a range: %d times, not reached within 40 looks: %d\n", settings,
                unreached);
    printSpread("out of view at the start, found after", searches, " s");
    printSpread("lost far out, found beyond its drift time after", beyond, " s");
    std::printf(
        "guide study: docked ring %.1f%%, winged %.1f%%; out of view at the start found "
        "within %.0f s; lost far out found within %.0f s beyond its drift time\n",
        100.0 * docked[0] / runs, 100.0 * docked[1] / runs, percentile(searches, 1.0),
        percentile(beyond, 1.0));
    return 0;
}
