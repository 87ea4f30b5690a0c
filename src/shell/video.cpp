// The window driver: which SDL 1.2 library runs the game and which of its video drivers may serve.
#include "shell/video.h"

#include <cstdlib>
#include <cstring>

namespace {

// The classic SDL's drivers that open a window or the whole screen, in SDL's
// own order. Without a display it would fall back to drawing the game as text
// art in the terminal, which is no window; a driver named in SDL_VIDEODRIVER
// is taken as it is.
const char* const windowDrivers[] = {"x11", "dga", "fbcon", "directfb"};

}  // namespace

// Wayland's client library finds its session's socket through these; without
// them it cannot connect, and says so on standard error itself.
bool waylandReachable() {
    return std::getenv("WAYLAND_DISPLAY") != nullptr || std::getenv("WAYLAND_SOCKET") != nullptr ||
           std::getenv("XDG_RUNTIME_DIR") != nullptr;
}

namespace {

// sdl12-compat chooses among SDL 2's drivers, Wayland's among them, which the
// list above would leave out; it has no text art, but without a display it
// draws into memory, which is no window either. Where Wayland cannot be
// reached, SDL 2 is offered its other window drivers (a list it reads from
// SDL_VIDEODRIVER) rather than let Wayland's library print its own line.
int initCompatVideo() {
    const bool otherDrivers = !waylandReachable();
    if (otherDrivers) {
        setenv("SDL_VIDEODRIVER", "x11,kmsdrm", 1);
    }
    const int result = SDL_InitSubSystem(SDL_INIT_VIDEO);
    if (otherDrivers) {
        unsetenv("SDL_VIDEODRIVER");
    }
    if (result == -1) {
        return -1;
    }
    char name[64] = "";
    if (SDL_VideoDriverName(name, sizeof name) != nullptr && showsWindow(name)) {
        return 0;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetError("no window driver, only %s", name);
    return -1;
}

}  // namespace

bool isSdl12Compat(const SDL_version& linked) {
    return SDL_VERSIONNUM(linked.major, linked.minor, linked.patch) >= SDL_VERSIONNUM(1, 2, 50);
}

bool showsWindow(const char* driverName) {
    return std::strcmp(driverName, "offscreen") != 0 && std::strcmp(driverName, "dummy") != 0;
}

int initVideo() {
    if (std::getenv("SDL_VIDEODRIVER") != nullptr) {
        return SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (isSdl12Compat(*SDL_Linked_Version())) {
        return initCompatVideo();
    }
    for (const char* driver : windowDrivers) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        const int result = SDL_InitSubSystem(SDL_INIT_VIDEO);
        unsetenv("SDL_VIDEODRIVER");
        if (result == 0) {
            return 0;
        }
    }
    return -1;
}
