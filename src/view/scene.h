// The view out of the cockpit: the background and the station.
#pragma once

// Draws the background turned by rollAngle and shifted by half the offset,
// and the station turned by relativeRollAngle, zoomed by approachScale, at the
// station screen point.
void drawApproachScene(float approachScale, float relativeRollAngle, float rollAngle,
                       float offsetX, float offsetY);

// The docked picture: the centres of the background and the full station,
// both upside down, the station at the last approachScale.
void drawDockedScene(float approachScale);
