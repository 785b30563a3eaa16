// The software mixer, pumped block by block: what the device hears, where the
// cursors stand and which notifications have fired, with real sample data.
#include <cmath>
#include <thread>

#include "host/dsound_helpers.h"

namespace {

using sound_test::Bytes16;
using sound_test::DirectSoundTest;

constexpr int kDevice = host::kAudioDeviceRate;

std::vector<int16_t> Left(const std::vector<int16_t>& out) {
  std::vector<int16_t> left;
  for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
  return left;
}

class MixerTest : public DirectSoundTest {
 protected:
  HANDLE Event() {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    events.push_back(event);
    return event;
  }
  void Notify(LPDIRECTSOUNDBUFFER buffer, std::vector<DSBPOSITIONNOTIFY> positions) {
    LPDIRECTSOUNDNOTIFY notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
    ASSERT_EQ(notify->SetNotificationPositions(static_cast<DWORD>(positions.size()), positions.data()), DS_OK);
    notify->Release();
  }
  static bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }
  void TearDown() override {
    DirectSoundTest::TearDown();
    for (HANDLE event : events) CloseHandle(event);
  }
  std::vector<HANDLE> events;
};

TEST_F(MixerTest, OneShotBufferStopsAtItsEndRewindsAndSignalsStop) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(Bytes16(std::vector<int16_t>(441, 1000)), kDevice, 1, 16);
  HANDLE stop = Event(), middle = Event();
  Notify(buffer, {{DSBPN_OFFSETSTOP, stop}, {400, middle}});
  buffer->Play(0, 0, 0);
  std::vector<int16_t> out = Pump(400);
  EXPECT_TRUE(Signalled(middle));
  EXPECT_FALSE(Signalled(stop));
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_PLAYING));
  out = Pump(100);
  EXPECT_TRUE(Signalled(stop));
  EXPECT_EQ(Status(buffer), 0u);
  EXPECT_EQ(PlayCursor(buffer), 0u) << "the next Play starts the sound again";
  EXPECT_EQ(out[2 * 40], 1000) << "the last sample is heard";
  EXPECT_EQ(out[2 * 41], 0) << "then silence";
}

TEST_F(MixerTest, NotificationsFireAsTheCursorPassesThemBlockByBlock) {
  // 8 segments of 100 frames, like the music ring; played from position 1.
  LPDIRECTSOUNDBUFFER ring = MakeBuffer(Bytes16(std::vector<int16_t>(800, 0)), kDevice, 1, 16);
  std::vector<DSBPOSITIONNOTIFY> positions;
  for (DWORD i = 0; i < 8; ++i) positions.push_back({i * 200, Event()});
  Notify(ring, positions);
  ring->SetCurrentPosition(2);
  ring->Play(0, 0, DSBPLAY_LOOPING);
  struct Step {
    int frames;
    std::vector<int> fired;
  } steps[] = {
      {50, {}},         // frames 1-50
      {49, {}},         // up to 99
      {1, {1}},         // frame 100 starts segment 1
      {250, {2, 3}},    // to 350
      {500, {4, 5, 6, 7, 0}},  // through the end and the start: 850 = frame 50 of the next pass
      {800, {1, 2, 3, 4, 5, 6, 7, 0}},  // a whole pass fires each once
  };
  for (const Step& step : steps) {
    Pump(step.frames);
    std::vector<int> fired;
    for (int i = 0; i < 8; ++i)
      if (Signalled(positions[i].hEventNotify)) fired.push_back(i);
    std::sort(fired.begin(), fired.end());
    std::vector<int> expected = step.fired;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(fired, expected) << "after " << step.frames << " more frames, cursor " << PlayCursor(ring);
  }
}

TEST_F(MixerTest, LoopingBufferWrapsWithoutAGap) {
  // A ramp whose end leads straight back into its start, resampled 22050 -> 44100:
  // every output step is the same size, across the end too.
  std::vector<int16_t> ramp;
  for (int i = 0; i < 100; ++i) ramp.push_back(static_cast<int16_t>((i % 50) * 400 - 10000));
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(Bytes16(ramp), 22050, 1, 16);
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  std::vector<int16_t> left = Left(Pump(600));
  // Interpolation spreads each fall of the ramp over two output steps of -9800,
  // whether it is the fall in the middle of the data or the one at the loop
  // point; a gap or a repeated sample at the loop point shows as another step.
  int falls = 0, odd = 0;
  for (size_t i = 1; i < left.size(); ++i) {
    int step = left[i] - left[i - 1];
    if (step == -9800)
      ++falls;
    else if (step != 200)
      ++odd;
  }
  EXPECT_EQ(odd, 0);
  EXPECT_EQ(falls, 11);
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
}

TEST_F(MixerTest, SampleFormatsMapOntoStereo) {
  struct Case {
    const char* what;
    std::vector<uint8_t> frame;  // one frame, repeated
    WORD channels, bits;
    int16_t left, right;
  } cases[] = {
      {"8-bit silence", {0x80}, 1, 8, 0, 0},
      {"8-bit mono", {0xC0}, 1, 8, 0x4000, 0x4000},
      {"8-bit stereo", {0x00, 0xFF}, 2, 8, -32768, 0x7F00},
      {"16-bit mono", {0x34, 0x12}, 1, 16, 0x1234, 0x1234},
      {"16-bit stereo", {0x00, 0x10, 0x00, 0xF0}, 2, 16, 0x1000, -0x1000},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> data;
    for (int i = 0; i < 64; ++i) data.insert(data.end(), c.frame.begin(), c.frame.end());
    LPDIRECTSOUNDBUFFER buffer = MakeBuffer(data, 22050, c.channels, c.bits);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    std::vector<int16_t> out = Pump(10);
    EXPECT_EQ(out[10], c.left) << c.what;
    EXPECT_EQ(out[11], c.right) << c.what;
    buffer->Stop();
  }
}

TEST_F(MixerTest, VoicesAddUpAndClip) {
  LPDIRECTSOUNDBUFFER loud = MakeBuffer(Bytes16(std::vector<int16_t>(64, 30000)), kDevice, 1, 16);
  LPDIRECTSOUNDBUFFER copy = Duplicate(loud);
  LPDIRECTSOUNDBUFFER negative = MakeBuffer(Bytes16(std::vector<int16_t>(64, -20000)), kDevice, 1, 16);
  LPDIRECTSOUNDBUFFER negativeCopy = Duplicate(negative);
  loud->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(Pump(1)[0], 30000);
  copy->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(Pump(1)[0], 32767) << "two copies of one sound clip instead of wrapping";
  negative->Play(0, 0, DSBPLAY_LOOPING);
  negativeCopy->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(Pump(1)[0], 20000) << "clipping comes after the sum, not voice by voice";
  EXPECT_EQ(PlayCursor(loud), 6u);
  EXPECT_EQ(PlayCursor(copy), 4u) << "the duplicate has its own cursor";
}

TEST_F(MixerTest, ResamplingKeepsLengthAndPitch) {
  // One second of a 441 Hz tone at 22050 Hz: 50 samples per period.
  std::vector<int16_t> tone;
  for (int i = 0; i < 22050; ++i) tone.push_back(static_cast<int16_t>(10000 * std::sin(2 * M_PI * 441 * i / 22050.0)));
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(Bytes16(tone), 22050, 1, 16);
  buffer->Play(0, 0, 0);
  std::vector<int16_t> left = Left(Pump(kDevice + 100));
  int played = 0, rises = 0;
  for (size_t i = 0; i < left.size(); ++i) {
    if (left[i] != 0) played = static_cast<int>(i) + 1;
    if (i > 0 && left[i - 1] < 0 && left[i] >= 0) ++rises;
  }
  EXPECT_NEAR(played, kDevice, 2) << "one second stays one second";
  EXPECT_NEAR(rises, 441, 1) << "the tone keeps its frequency";
  EXPECT_EQ(Status(buffer), 0u);
}

TEST_F(MixerTest, VirtualTimeMovesThePlayCursor) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(Bytes16(std::vector<int16_t>(22050, 0)), 22050, 1, 16);
  buffer->Play(0, 0, 0);
  host::StepTimer(10);  // 10 periods of 10 ms
  EXPECT_EQ(PlayCursor(buffer), 2205u * 2);
}

// The music ring as the engine streams it: a thread waits on the segment
// events and refills the segment just played, while the test pumps the mixer.
TEST_F(MixerTest, StreamingThreadRefillsSegmentsBehindTheCursor) {
  constexpr DWORD kSegment = 200, kSegments = 4;  // bytes; 100 frames each
  LPDIRECTSOUNDBUFFER ring = MakeBuffer(Bytes16(std::vector<int16_t>(kSegment * kSegments / 2, 1)), kDevice, 1, 16);
  std::vector<DSBPOSITIONNOTIFY> positions;
  for (DWORD i = 0; i < kSegments; ++i) positions.push_back({i * kSegment, Event()});
  positions.push_back({DSBPN_OFFSETSTOP, Event()});
  Notify(ring, positions);
  std::vector<HANDLE> handles;
  for (auto& p : positions) handles.push_back(p.hEventNotify);
  HANDLE refilled = Event();

  std::thread filler([&] {
    int16_t next = 2;
    for (;;) {
      DWORD which = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
      if (which == WAIT_OBJECT_0 + kSegments) return;
      DWORD segment = (which - WAIT_OBJECT_0 + kSegments - 1) % kSegments;
      Fill(ring, segment * kSegment, Bytes16(std::vector<int16_t>(kSegment / 2, next++)));
      SetEvent(refilled);
    }
  });
  ring->SetCurrentPosition(2);
  ring->Play(0, 0, DSBPLAY_LOOPING);
  std::vector<int16_t> heard;
  for (int block = 0; block < 8; ++block) {
    std::vector<int16_t> out = Left(Pump(100));
    heard.insert(heard.end(), out.begin(), out.end());
    WaitForSingleObject(refilled, INFINITE);  // the segment boundary passed fires one refill
  }
  ring->Stop();
  filler.join();
  // Each pass over a segment hears what the thread wrote on the pass before.
  EXPECT_EQ(heard[150], 1);
  EXPECT_EQ(heard[450], 2) << "segment 0 refilled after the first boundary";
  EXPECT_EQ(heard[550], 3);
  EXPECT_EQ(heard[650], 4);
}

// Real time: SDL's audio thread pulls the mix, and the cursor moves on its own.
TEST(RealTimeMixer, DeviceThreadMovesTheCursor) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  host::ResetForTest();
  host::settings() = host::Settings{};
  host::settings().headless = true;
  LPDIRECTSOUND directSound = nullptr;
  ASSERT_EQ(DirectSoundCreate(nullptr, &directSound, nullptr), DS_OK);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
  DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY, 8820, 0, &format, {}};
  LPDIRECTSOUNDBUFFER buffer = nullptr;
  ASSERT_EQ(directSound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
  HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  LPDIRECTSOUNDNOTIFY notify = nullptr;
  ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
  DSBPOSITIONNOTIFY position{DSBPN_OFFSETSTOP, stop};
  notify->SetNotificationPositions(1, &position);
  notify->Release();
  buffer->Play(0, 0, 0);
  // A fifth of a second of sound ends by itself, however long the machine takes.
  EXPECT_EQ(WaitForSingleObject(stop, INFINITE), WAIT_OBJECT_0);
  DWORD status = 1;
  buffer->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  buffer->Release();
  directSound->Release();
  CloseHandle(stop);
  host::ResetForTest();
}

}  // namespace
