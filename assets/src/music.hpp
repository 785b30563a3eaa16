#pragma once
#include "synth.hpp"

namespace gg {
// The background music: a music-box waltz in D minor, interleaved stereo.
// Its last sample runs straight into its first, so it loops without a seam.
synth::Buffer musicLoop();
}  // namespace gg
