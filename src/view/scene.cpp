#include "view/scene.h"

// Placeholder until the scene lands.
void drawApproachScene(float, float, float, float, float) {}
void drawDockedScene(float) {}
