#pragma once
// Runs the asset generator once per test run into a temporary folder, and
// reads back the BMP and WAV files it wrote.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gg::test {

struct Generated {
  std::filesystem::path game, review;
  double seconds = 0;  // wall time of the run
};

// The first call generates; later calls return the same folders.
const Generated& generatedOnce();
// A fresh, separate run into new folders.
Generated generateInto(const std::filesystem::path& root);

struct Pixel {
  uint8_t r, g, b;
  bool isKey() const { return r == 0 && g == 0 && b == 255; }
  uint16_t as565() const { return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); }
};

struct Bitmap {
  int width = 0, height = 0;
  std::vector<Pixel> pixels;  // top row first
  const Pixel& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads an uncompressed 24-bit BMP; fails the current test on anything else.
Bitmap readBmp(const std::filesystem::path& path);

struct Wav {
  int formatTag = 0, channels = 0, sampleRate = 0, bitsPerSample = 0;
  bool oddChunkBeforeData = false;
  std::vector<int16_t> samples;  // interleaved
  double seconds() const { return static_cast<double>(samples.size()) / channels / sampleRate; }
};

// Walks the chunks the way the game's loader does (no pad bytes).
Wav readWav(const std::filesystem::path& path);

std::vector<uint8_t> readBytes(const std::filesystem::path& path);
// Runs a shell command and returns its standard output; exit code in *status.
std::string run(const std::string& command, int* status);

}  // namespace gg::test
