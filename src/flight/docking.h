// The judgement of an approach that has reached the station.
#pragma once

// The score of the current state, 0 (a crash) to 18984.
int assessDocking();
