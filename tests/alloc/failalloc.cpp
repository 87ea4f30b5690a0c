// A shim preloaded into the real game: fails the main thread's Nth heap allocation, or every one
// from the Nth on, plays a scripted game through SDL_Flip, and names where a signal struck.
//
// Driven by the environment: FAILALLOC_NTH (0: fail none), FAILALLOC_MODE ("from": every
// allocation from the Nth on), FAILALLOC_QUIT (the frame after which SDL_QUIT is pushed),
// FAILALLOC_LOG (the file it writes its lines to). Other threads (SDL_mixer's audio thread)
// are never failed. The game's own clock and seed are made fixed, so that one N is the same
// allocation in every run: each frame takes frameStepMs, and time() gives the game 1.
#include <SDL/SDL.h>
#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

constexpr Uint32 frameStepMs = 500;  // an approach ends within about 50 frames
constexpr unsigned long keyEvery = 10;

pthread_t mainThread;
bool counting = false;
unsigned long allocations = 0;
unsigned long failAt = 0;
bool failFrom = false;
bool failedYet = false;
unsigned long frames = 0;
unsigned long quitFrame = 5;
int logFile = -1;
uintptr_t gameLow = 0;
uintptr_t gameHigh = 0;
uintptr_t gameBase = 0;

int (*realFlip)(SDL_Surface*) = nullptr;
int (*realPushEvent)(SDL_Event*) = nullptr;
Uint32 (*realGetTicks)() = nullptr;
void (*realExit)(int) = nullptr;
time_t (*realTime)(time_t*) = nullptr;

// One log line, formatted on the stack (no heap, no lock) and written at once.
__attribute__((format(printf, 1, 2))) void logLine(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (logFile >= 0 && length > 0) {
        ssize_t ignored = write(logFile, text, strnlen(text, sizeof text));
        (void)ignored;
    }
}

bool inGame(uintptr_t address) {
    return address >= gameLow && address < gameHigh;
}

// Where an address lies: its object (the game itself is called halvanne) and
// the offset into it.
struct Place {
    const char* object;
    uintptr_t offset;
};
Place placeOf(uintptr_t address) {
    Dl_info info;
    if (inGame(address)) {
        return {"halvanne", address - gameBase};
    }
    if (dladdr(reinterpret_cast<void*>(address), &info) == 0 || info.dli_fname == nullptr) {
        return {"unknown", address};
    }
    return {info.dli_fname, address - reinterpret_cast<uintptr_t>(info.dli_fbase)};
}

bool failThisOne() {
    if (!counting || !pthread_equal(pthread_self(), mainThread)) {
        return false;
    }
    ++allocations;
    const bool fail = failAt != 0 && (allocations == failAt || (failFrom && allocations > failAt));
    if (fail && !failedYet) {
        failedYet = true;
        logLine("failed %lu frame %lu\n", allocations, frames);
    }
    if (fail) {
        errno = ENOMEM;
    }
    return fail;
}

void onSignal(int signal, siginfo_t*, void* context) {
    counting = false;
    const uintptr_t pc =
        static_cast<uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
    const Place place = placeOf(pc);
    logLine("signal %d frame %lu at %s +%#lx\n", signal, frames, place.object, place.offset);
    // The first frame of the game's own code on the stack: who called the library.
    void* stack[64];
    const int depth = backtrace(stack, 64);
    for (int i = 0; i < depth; ++i) {
        const uintptr_t address = reinterpret_cast<uintptr_t>(stack[i]);
        if (inGame(address) && address != pc) {
            logLine("called from halvanne +%#lx\n", address - 1 - gameBase);
            break;
        }
    }
    // SA_RESETHAND: on return the fault strikes again, or abort raises again,
    // and the default action ends the process.
}

int findGame(dl_phdr_info* info, size_t, void*) {
    // The first object is the program itself.
    gameBase = info->dlpi_addr;
    gameLow = UINTPTR_MAX;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD) {
            const uintptr_t start = info->dlpi_addr + header.p_vaddr;
            gameLow = start < gameLow ? start : gameLow;
            gameHigh = start + header.p_memsz > gameHigh ? start + header.p_memsz : gameHigh;
        }
    }
    return 1;
}

unsigned long numberFrom(const char* name, unsigned long otherwise) {
    const char* value = getenv(name);
    return value != nullptr ? strtoul(value, nullptr, 10) : otherwise;
}

template <typename Function>
void resolve(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void startShim() {
    mainThread = pthread_self();
    dl_iterate_phdr(findGame, nullptr);
    resolve(realFlip, "SDL_Flip");
    resolve(realPushEvent, "SDL_PushEvent");
    resolve(realGetTicks, "SDL_GetTicks");
    resolve(realExit, "exit");
    resolve(realTime, "time");
    failAt = numberFrom("FAILALLOC_NTH", 0);
    quitFrame = numberFrom("FAILALLOC_QUIT", quitFrame);
    const char* mode = getenv("FAILALLOC_MODE");
    failFrom = mode != nullptr && strcmp(mode, "from") == 0;
    const char* log = getenv("FAILALLOC_LOG");
    if (log != nullptr) {
        logFile = open(log, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    // Loads the unwinder now, not inside a signal handler.
    void* stack[4];
    backtrace(stack, 4);
    struct sigaction action = {};
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND;
    const int signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
    for (int signal : signals) {
        sigaction(signal, &action, nullptr);
    }
    counting = true;
}

__attribute__((destructor)) void stopShim() {
    counting = false;
    logLine("allocations %lu frames %lu\n", allocations, frames);
}

void pushKey(SDLKey key, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    realPushEvent(&event);
}

// Forward thrust ends each approach in a crash; the roll turns the scene;
// Return starts the next approach, after which the thrusters are pressed anew.
void scriptFrame() {
    if (frames % keyEvery == 1) {
        pushKey(SDLK_UP, false);
        pushKey(SDLK_RIGHT, false);
        pushKey(SDLK_RETURN, true);
        pushKey(SDLK_RETURN, false);
        pushKey(SDLK_UP, true);
        pushKey(SDLK_RIGHT, true);
    }
    if (frames == quitFrame) {
        logLine("quit %lu\n", allocations);
        SDL_Event event = {};
        event.type = SDL_QUIT;
        realPushEvent(&event);
    }
}

}  // namespace

extern "C" {

void* malloc(size_t size) noexcept {
    return failThisOne() ? nullptr : __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
    return failThisOne() ? nullptr : __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) noexcept {
    // A realloc to 0 frees.
    return size != 0 && failThisOne() ? nullptr : __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
    return failThisOne() ? nullptr : __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    return memalign(alignment, size);
}

int posix_memalign(void** block, size_t alignment, size_t size) noexcept {
    void* made = memalign(alignment, size);
    if (made == nullptr) {
        return ENOMEM;
    }
    *block = made;
    return 0;
}

int SDL_Flip(SDL_Surface* screen) {
    if (frames == 0) {
        logLine("startup %lu\n", allocations);
    }
    const int result = realFlip(screen);
    ++frames;
    scriptFrame();
    return result;
}

// The game's clock: each frame takes frameStepMs. Libraries keep the real one.
Uint32 SDL_GetTicks() {
    if (inGame(reinterpret_cast<uintptr_t>(__builtin_return_address(0)))) {
        return 1000 + static_cast<Uint32>(frames) * frameStepMs;
    }
    return realGetTicks();
}

// The game's seed. Libraries keep the real time.
time_t time(time_t* result) noexcept {
    if (!inGame(reinterpret_cast<uintptr_t>(__builtin_return_address(0)))) {
        return realTime(result);
    }
    if (result != nullptr) {
        *result = 1;
    }
    return 1;
}

// A library that ends the process itself is named.
void exit(int code) noexcept {
    counting = false;
    const Place place = placeOf(reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    logLine("exit %d from %s +%#lx\n", code, place.object, place.offset);
    realExit(code);
    _exit(code);
}

}  // extern "C"
