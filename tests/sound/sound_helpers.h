// WAV files built byte by byte, and an engine on a host where only the test mixes (host::PumpAudio).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/audio_control.h"
#include "host/control.h"
#include "sound/zq_sound.h"
#include "support/scratch_folder.h"

namespace sound_test {

// A RIFF/WAVE file assembled chunk by chunk; no pad bytes are added.
struct WavBytes {
  std::vector<uint8_t> chunks;
  static void Put(std::vector<uint8_t>& bytes, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  // A stated size of 0 stands for the payload's own.
  WavBytes& Chunk(const char* id, const std::vector<uint8_t>& payload, uint32_t statedSize = 0) {
    chunks.insert(chunks.end(), id, id + 4);
    Put(chunks, statedSize ? statedSize : static_cast<uint32_t>(payload.size()));
    chunks.insert(chunks.end(), payload.begin(), payload.end());
    return *this;
  }
  WavBytes& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<uint8_t> payload;
    const uint32_t block = channels * bits / 8u;
    for (auto [value, size] : {std::pair<uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4}, {rate * block, 4}, {block, 2},
                               {bits, 2}})
      Put(payload, value, size);
    return Chunk("fmt ", payload);
  }
  // A sampler chunk whose first loop runs from frame `start` to `end` (inclusive).
  WavBytes& Sampler(uint32_t loops, uint32_t start, uint32_t end) {
    std::vector<uint8_t> payload;
    for (uint32_t word : {0u, 0u, 0u, 0u, 0u, 0u, 0u, loops, 0u, 0u, 0u, start, end, 0u, 0u}) Put(payload, word);
    return Chunk("smpl", payload);
  }
  std::vector<uint8_t> File() const {
    std::vector<uint8_t> file{'R', 'I', 'F', 'F'};
    Put(file, static_cast<uint32_t>(chunks.size() + 4));
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
  }
};

inline std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  EXPECT_TRUE(testing_support::WriteFileBytes(name, bytes)) << name;
  return name;
}

// 22050 Hz 16-bit mono, every sample `level`; looped over all of it when `loop`.
inline std::string Tone(const std::string& name, int frames, int16_t level, bool loop = false) {
  std::vector<uint8_t> data;
  for (int i = 0; i < frames; ++i) data.insert(data.end(), {static_cast<uint8_t>(level), static_cast<uint8_t>(level >> 8)});
  WavBytes wav;
  wav.Format(1, 1, 22050, 16);
  if (loop) wav.Sampler(1, 0, static_cast<uint32_t>(frames - 1));
  return WriteFile(name, wav.Chunk("data", data).File());
}

// A sound the game ships, from the generated game folder.
inline std::string GameSound(const char* name) { return std::string(GLOOMGRID_DIST_DIR) + "/sounds/" + name; }

// A clean headless host in manual time with an audio device that plays nowhere.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    host::settings().timeMode = host::TimeMode::Manual;
    host::audioSettings().noDevice = false;
    ASSERT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), 200), 1);
  }
  void TearDown() override {
    zqSound.Exit();
    host::ResetForTest();
  }
  // Mixes `frames` device frames; left, right, left, ...
  static std::vector<int16_t> Pump(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    host::PumpAudio(frames, out.data());
    return out;
  }
  // Lets the notification thread run until `done` holds (bounded; no timing is asserted).
  template <typename Done>
  static bool Eventually(Done done) {
    for (int i = 0; i < 20000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::microseconds(200));
    return done();
  }
  static bool Playing(SNDSample* sample) { return sample != nullptr && sample->SamplePlaying() != 0; }
  static DWORD Flags(SNDSample* sample) { return std::atomic_ref<DWORD>(sample->m_dwFlags).load(); }
};

}  // namespace sound_test
