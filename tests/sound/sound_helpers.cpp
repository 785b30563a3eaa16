#include "sound/sound_helpers.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "host/audio_control.h"
#include "host/control.h"

namespace sound_test {

namespace {

void Put(std::vector<uint8_t>& bytes, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void Put16(std::vector<uint8_t>& bytes, uint16_t value) { Put(bytes, value, 2); }

}  // namespace

WavBytes& WavBytes::Chunk(const char* id, const std::vector<uint8_t>& payload, uint32_t statedSize) {
  chunks.insert(chunks.end(), id, id + 4);
  Put(chunks, statedSize);
  chunks.insert(chunks.end(), payload.begin(), payload.end());
  return *this;
}

WavBytes& WavBytes::Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  std::vector<uint8_t> payload;
  const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
  for (uint16_t word : {tag, channels}) Put16(payload, word);
  for (uint32_t word : {rate, rate * block}) Put(payload, word);
  for (uint16_t word : {block, bits}) Put16(payload, word);
  return Chunk("fmt ", payload);
}

WavBytes& WavBytes::Sampler(uint32_t loops, uint32_t start, uint32_t end) {
  std::vector<uint8_t> payload;
  for (int word = 0; word < 9; ++word) Put(payload, word == 7 ? loops : 0);
  for (uint32_t value : {0u, 0u, start, end, 0u, 0u}) Put(payload, value);
  return Chunk("smpl", payload);
}

std::vector<uint8_t> WavBytes::File() const {
  std::vector<uint8_t> file{'R', 'I', 'F', 'F'};
  Put(file, static_cast<uint32_t>(chunks.size() + 4));
  file.insert(file.end(), {'W', 'A', 'V', 'E'});
  file.insert(file.end(), chunks.begin(), chunks.end());
  return file;
}

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return name;
}

std::string Tone(const std::string& name, int frames, int16_t level, bool loop) {
  std::vector<uint8_t> data;
  for (int i = 0; i < frames; ++i) data.insert(data.end(), {static_cast<uint8_t>(level), static_cast<uint8_t>(level >> 8)});
  WavBytes wav;
  wav.Format(1, 1, 22050, 16);
  if (loop) wav.Sampler(1, 0, static_cast<uint32_t>(frames - 1));
  return WriteFile(name, wav.Chunk("data", data).File());
}

std::string GameSound(const char* name) { return std::string(GLOOMGRID_DIST_DIR) + "/sounds/" + name; }

// A clean headless host in manual time with an audio device that plays nowhere.
void EngineTest::SetUp() {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  host::ResetForTest();
  host::settings() = host::Settings{};
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  host::audioSettings().noDevice = false;
  ASSERT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), 200), 1);
}

void EngineTest::TearDown() {
  zqSound.Exit();
  host::ResetForTest();
}

std::vector<int16_t> EngineTest::Pump(int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  host::PumpAudio(frames, out.data());
  return out;
}

void EngineTest::Yield() { std::this_thread::sleep_for(std::chrono::microseconds(200)); }

}  // namespace sound_test
