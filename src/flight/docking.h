// The docking judgement and score of an approach that has reached the station.
#pragma once

// The score of the current state, 0 (a crash) to 18984.
int assessDocking();

// How far a relative roll angle is from 180 degrees once wrapped into a
// turn, in whole degrees (0 to 180); 180 for NaN and the infinities, so that
// they always fail the alignment.
int rollAlignmentError(float relativeRollAngle);
