#include "generated_assets.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>

namespace gg::test {

namespace {
// One temporary folder per test process, removed when the process ends.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() : path(std::filesystem::temp_directory_path() / ("gloomgrid-asset-tests-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

const std::filesystem::path& scratchRoot() {
  static const ScratchFolder folder;
  return folder.path;
}

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
  return v;
}
}  // namespace

std::string run(const std::string& command, int* status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) {
    *status = -1;
    return out;
  }
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  *status = pclose(p);
  return out;
}

Generated generateInto(const std::filesystem::path& root) {
  Generated g{root / "dist" / "GloomGrid", root / "review", 0};
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  const std::string out =
      run(std::string("'") + GLOOMGRID_ASSETGEN + "' '" + g.game.string() + "' '" + g.review.string() + "' 2>&1", &status);
  g.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(status, 0) << out;
  return g;
}

const Generated& generatedOnce() {
  static const Generated g = generateInto(scratchRoot() / "first");
  return g;
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bitmap readBmp(const std::filesystem::path& path) {
  Bitmap bmp;
  const std::vector<uint8_t> b = readBytes(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
    ADD_FAILURE() << path << " is not a BMP";
    return bmp;
  }
  const uint32_t offset = le(b, 10, 4), header = le(b, 14, 4);
  const int32_t w = static_cast<int32_t>(le(b, 18, 4)), h = static_cast<int32_t>(le(b, 22, 4));
  const int bpp = static_cast<int>(le(b, 28, 2)), compression = static_cast<int>(le(b, 30, 4));
  if (header != 40 || bpp != 24 || compression != 0 || w <= 0 || h <= 0) {
    ADD_FAILURE() << path << ": expected an uncompressed bottom-up 24-bit BMP";
    return bmp;
  }
  const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (b.size() < offset + row * h) {
    ADD_FAILURE() << path << " is truncated";
    return bmp;
  }
  bmp.width = w;
  bmp.height = h;
  bmp.pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const size_t src = offset + row * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      bmp.pixels[static_cast<size_t>(y) * w + x] = {b[src + 3 * x + 2], b[src + 3 * x + 1], b[src + 3 * x]};
    }
  }
  return bmp;
}

Wav readWav(const std::filesystem::path& path) {
  Wav wav;
  const std::vector<uint8_t> b = readBytes(path);
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    ADD_FAILURE() << path << " is not RIFF/WAVE";
    return wav;
  }
  bool sawFormat = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const uint32_t size = le(b, at + 4, 4);
    if (id == "fmt ") {
      wav.formatTag = static_cast<int>(le(b, at + 8, 2));
      wav.channels = static_cast<int>(le(b, at + 10, 2));
      wav.sampleRate = static_cast<int>(le(b, at + 12, 4));
      wav.bitsPerSample = static_cast<int>(le(b, at + 22, 2));
      sawFormat = true;
    } else if (id == "data") {
      if (!sawFormat || at + 8 + size > b.size()) break;
      for (size_t i = 0; i + 1 < size; i += 2) wav.samples.push_back(static_cast<int16_t>(le(b, at + 8 + i, 2)));
      return wav;
    }
    if (size % 2 != 0) wav.oddChunkBeforeData = true;
    at += 8 + size;  // the game's loader does not skip a pad byte
  }
  ADD_FAILURE() << path << " has no readable fmt and data chunks";
  return wav;
}

}  // namespace gg::test
