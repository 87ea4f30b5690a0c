// The program's entry: everything happens in runGame.
#include "shell/game.h"

int main(int argc, char* argv[]) {
    return runGame(argc, argv);
}
