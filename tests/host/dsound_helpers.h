// A DirectSound device for the host's sound tests: manual time, so nothing mixes
// but the test itself (host::PumpAudio), and buffers made in one line.
#pragma once

#include <gtest/gtest.h>

#include <dsound.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/audio_control.h"
#include "host/control.h"

namespace sound_test {

// A clean headless host in manual time with an audio device that takes sound
// and plays it nowhere, unless told otherwise.
inline void StartManualAudioHost() {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  host::ResetForTest();
  host::settings() = host::Settings{};
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  host::audioSettings().noDevice = false;
}

class DirectSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartManualAudioHost();
    ASSERT_EQ(DirectSoundCreate(nullptr, &directSound, nullptr), DS_OK);
    ASSERT_EQ(directSound->SetCooperativeLevel(reinterpret_cast<HWND>(1), DSSCL_EXCLUSIVE), DS_OK);
  }
  void TearDown() override {
    for (LPDIRECTSOUNDBUFFER buffer : buffers) buffer->Release();
    if (directSound) directSound->Release();
    host::ResetForTest();
  }

  // A secondary buffer (released by the fixture) filled with `data`.
  LPDIRECTSOUNDBUFFER MakeBuffer(const std::vector<uint8_t>& data, DWORD rate, WORD channels, WORD bits,
                                 DWORD flags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, rate, 0, static_cast<WORD>(channels * bits / 8), bits, 0};
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = static_cast<DWORD>(data.size());
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(directSound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (!buffer) return nullptr;
    Fill(buffer, 0, data);
    buffers.push_back(buffer);
    return buffer;
  }

  static void Fill(LPDIRECTSOUNDBUFFER buffer, DWORD offset, const std::vector<uint8_t>& data) {
    LPVOID first = nullptr, second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    ASSERT_EQ(buffer->Lock(offset, static_cast<DWORD>(data.size()), &first, &firstBytes, &second, &secondBytes, 0),
              DS_OK);
    std::copy(data.begin(), data.begin() + firstBytes, static_cast<uint8_t*>(first));
    if (second) std::copy(data.begin() + firstBytes, data.end(), static_cast<uint8_t*>(second));
    ASSERT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
  }

  LPDIRECTSOUNDBUFFER Duplicate(LPDIRECTSOUNDBUFFER original) {
    LPDIRECTSOUNDBUFFER copy = nullptr;
    EXPECT_EQ(directSound->DuplicateSoundBuffer(original, &copy), DS_OK);
    if (copy) buffers.push_back(copy);
    return copy;
  }

  static DWORD Status(LPDIRECTSOUNDBUFFER buffer) {
    DWORD status = 0xDEAD;
    EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
    return status;
  }

  static DWORD PlayCursor(LPDIRECTSOUNDBUFFER buffer) {
    DWORD play = 0xDEAD, write = 0xDEAD;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    return play;
  }

  // Mixes `frames` device frames and returns them (left, right, left, ...).
  static std::vector<int16_t> Pump(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    host::PumpAudio(frames, out.data());
    return out;
  }

  LPDIRECTSOUND directSound = nullptr;
  std::vector<LPDIRECTSOUNDBUFFER> buffers;
};

// 16-bit little-endian samples as bytes.
inline std::vector<uint8_t> Bytes16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

}  // namespace sound_test
