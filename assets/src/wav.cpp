#include "wav.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace gg {

namespace {
void put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 255));
}
void tag(std::vector<uint8_t>& out, const char* t) { out.insert(out.end(), t, t + 4); }
}  // namespace

void writeWav(const std::string& path, const std::vector<float>& samples, int channels) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * 2;
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  tag(out, "RIFF");
  put(out, 36 + dataBytes, 4);
  tag(out, "WAVE");
  tag(out, "fmt ");
  put(out, 16, 4);
  put(out, 1, 2);  // PCM
  put(out, channels, 2);
  put(out, kSampleRate, 4);
  put(out, kSampleRate * channels * 2, 4);
  put(out, channels * 2, 2);
  put(out, 16, 2);
  tag(out, "data");
  put(out, dataBytes, 4);
  for (float s : samples) {
    const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    put(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xffff, 2);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("failed writing " + path);
}

}  // namespace gg
