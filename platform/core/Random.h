#pragma once

namespace platform {

// Seeds the generator from the clock.
void Randomize();

// A number drawn uniformly from [0, 1).
double Rnd();

} // namespace platform
