#pragma once

namespace platform {

// Seeds the generator from the clock.
void randomize();

// A number drawn uniformly from [0, 1).
double rnd();

} // namespace platform
