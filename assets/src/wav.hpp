#pragma once
// PCM WAV writing. The game's reader walks chunks without pad bytes, so the
// file holds only "fmt " (16 bytes) and "data" (always an even size).
#include <string>
#include <vector>

namespace gg {

inline constexpr int kSampleRate = 22050;

// Samples in [-1, 1]; stereo data is interleaved left, right.
void writeWav(const std::string& path, const std::vector<float>& samples, int channels);

}  // namespace gg
