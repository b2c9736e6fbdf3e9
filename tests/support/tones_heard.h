#pragma once

#include <utility>
#include <vector>

// What a listener hears in `sound` (mono, at the tone shape's sample rate, frame 0 in the phase
// of every tone's sine at `hz`): each run of sound between silent frames, as its 50 % points in
// frames. A frame is silent where it is exactly 0 and the sine is not; the 50 % points are read
// from the envelope (the sound over the sine) where the sine is away from 0.
std::vector<std::pair<double, double>> tonesHeard(const std::vector<float>& sound, int hz);
