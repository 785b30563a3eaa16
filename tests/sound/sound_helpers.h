// What the sound tests share: WAV files built byte by byte, and an engine on a
// host in manual time, where nothing mixes but the test itself (host::PumpAudio).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sound/zq_sound.h"

namespace sound_test {

// A RIFF/WAVE file assembled chunk by chunk; no pad bytes are added.
struct WavBytes {
  std::vector<uint8_t> chunks;
  WavBytes& Chunk(const char* id, const std::vector<uint8_t>& payload, uint32_t statedSize);
  WavBytes& Chunk(const char* id, const std::vector<uint8_t>& payload) {
    return Chunk(id, payload, static_cast<uint32_t>(payload.size()));
  }
  WavBytes& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
  // A sampler chunk whose first loop runs from frame `start` to `end` (inclusive).
  WavBytes& Sampler(uint32_t loops, uint32_t start, uint32_t end);
  std::vector<uint8_t> File() const;
};

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes);
// 22050 Hz 16-bit mono, every sample `level`; looped over all of it when `loop`.
std::string Tone(const std::string& name, int frames, int16_t level, bool loop = false);
// A sound the game ships, from the generated game folder.
std::string GameSound(const char* name);

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Mixes `frames` device frames; left, right, left, ...
  static std::vector<int16_t> Pump(int frames);
  // Lets the notification thread run until `done` holds (bounded; no timing is asserted).
  template <typename Done>
  static bool Eventually(Done done) {
    for (int i = 0; i < 20000 && !done(); ++i) Yield();
    return done();
  }
  static void Yield();
  static bool Playing(SNDSample* sample) { return sample != nullptr && sample->SamplePlaying() != 0; }
  static DWORD Flags(SNDSample* sample) { return std::atomic_ref<DWORD>(sample->m_dwFlags).load(); }
};

}  // namespace sound_test
