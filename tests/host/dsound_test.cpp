// DirectSound as the sound engine meets it: buffers made, locked and checked, refused controls, duplicates,
// notifications; on the host only, the software mixer, with manual time so that nothing mixes but the test
// itself (Pump). Under Wine a failing DirectSoundCreate (no sound device) skips the cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "conformance.h"
#include <dsound.h>
#if GLOOM_HOST_HOOKS
#include "host/audio_control.h"
#endif

namespace {

using Bytes = std::vector<uint8_t>;
using Words = std::vector<DWORD>;
using Samples = std::vector<int16_t>;
using Results = std::vector<HRESULT>;
constexpr int kDevice = 44100;  // the host's mixing rate: one buffer frame per device frame

// 16-bit samples as little-endian bytes.
Bytes Bytes16(const Samples& samples) {
  Bytes bytes;
  for (int16_t s : samples) bytes.insert(bytes.end(), {uint8_t(s & 0xFF), uint8_t((s >> 8) & 0xFF)});
  return bytes;
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Start(true);
    if (!GLOOM_HOST_HOOKS && created != DS_OK) GTEST_SKIP() << "DirectSoundCreate failed (0x" << std::hex << created
                                                            << "): no sound device";
    ASSERT_EQ(created, DS_OK);
  }
  void TearDown() override { Finish(); }
  // On the host, manual time or real time (SDL's audio thread mixing).
  void Start(bool manualTime) {
    conformance::ResetHost();
#if GLOOM_HOST_HOOKS
    host::settings().timeMode = manualTime ? host::TimeMode::Manual : host::TimeMode::Real;
    host::audioSettings().noDevice = false;
#endif
    created = DirectSoundCreate(nullptr, &directSound, nullptr);
    if (created != DS_OK) return;
    ASSERT_EQ(directSound->SetCooperativeLevel(reinterpret_cast<HWND>(1), DSSCL_EXCLUSIVE), DS_OK);
  }
  void Finish() {
    for (LPDIRECTSOUNDBUFFER buffer : buffers) buffer->Release();
    if (directSound) directSound->Release();
    for (HANDLE event : events) CloseHandle(event);
    buffers.clear(), events.clear(), directSound = nullptr;
    conformance::ResetHost();
  }

  // A buffer holding `data`, by default with the engine's flags; released by the fixture.
  LPDIRECTSOUNDBUFFER Make(const Bytes& data, DWORD rate, WORD channels = 1, WORD bits = 16,
                           DWORD flags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY) {
    const WORD block = static_cast<WORD>(channels * bits / 8);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, rate, rate * block, block, bits, 0};
    DSBUFFERDESC desc{sizeof desc, flags, static_cast<DWORD>(data.size()), 0, &format, {}};
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(directSound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (buffer) buffers.push_back(buffer), Fill(buffer, data);
    return buffer;
  }
  LPDIRECTSOUNDBUFFER Duplicate(LPDIRECTSOUNDBUFFER source) {
    LPDIRECTSOUNDBUFFER copy = nullptr;
    EXPECT_EQ(directSound->DuplicateSoundBuffer(source, &copy), DS_OK);
    return copy ? buffers.emplace_back(copy) : nullptr;
  }
  static void Fill(LPDIRECTSOUNDBUFFER buffer, const Bytes& data) {
    LPVOID memory = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, DWORD(data.size()), &memory, &bytes, nullptr, nullptr, 0), DS_OK);
    std::copy(data.begin(), data.end(), static_cast<uint8_t*>(memory));
    ASSERT_EQ(buffer->Unlock(memory, bytes, nullptr, 0), DS_OK);
  }
  // Arms a new auto-reset event at each offset; returns the events.
  std::vector<HANDLE> Notify(LPDIRECTSOUNDBUFFER buffer, const Words& offsets) {
    std::vector<DSBPOSITIONNOTIFY> positions;
    std::vector<HANDLE> armed;
    for (DWORD offset : offsets)
      positions.push_back({offset, armed.emplace_back(events.emplace_back(CreateEventA(nullptr, 0, 0, nullptr)))});
    LPDIRECTSOUNDNOTIFY notify = nullptr;
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
    EXPECT_EQ(notify->SetNotificationPositions(DWORD(positions.size()), positions.data()), DS_OK);
    notify->Release();
    return armed;
  }
  static DWORD Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }
  static DWORD Status(LPDIRECTSOUNDBUFFER buffer) { DWORD s = 0xDEAD; return buffer->GetStatus(&s), s; }
  static DWORD PlayCursor(LPDIRECTSOUNDBUFFER buffer) { DWORD p = 0xDEAD; return buffer->GetCurrentPosition(&p, 0), p; }
#if GLOOM_HOST_HOOKS
  // Mixes `frames` device frames; returns the left channel, or with `stereo` left, right, left...
  static Samples Pump(int frames, bool stereo = false) {
    Samples out(static_cast<size_t>(frames) * 2), left;
    host::PumpAudio(frames, out.data());
    for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
    return stereo ? out : left;
  }
#endif

  HRESULT created = E_FAIL;
  LPDIRECTSOUND directSound = nullptr;
  std::vector<LPDIRECTSOUNDBUFFER> buffers;
  std::vector<HANDLE> events;
};

// Each Lock as its result, the first region's length, the second region's offset (-1 for none) and length.
TEST_F(SoundTest, LockGivesTheTailThenTheStartWhenTheRangeWraps) {
  LPDIRECTSOUNDBUFFER buffer = Make(Bytes(1000), 22050);
  auto lock = [&](DWORD offset, DWORD bytes) {
    LPVOID first = nullptr, second = &first;
    DWORD firstBytes = 77, secondBytes = 77;
    const HRESULT result = buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (result != DS_OK) return std::vector<long>{result};
    buffer->Unlock(first, firstBytes, second, secondBytes);
    const long secondAt = second ? static_cast<uint8_t*>(second) - (static_cast<uint8_t*>(first) - offset) : -1;
    return std::vector<long>{result, long(firstBytes), secondAt, long(secondBytes)};
  };
  std::vector<std::pair<std::pair<DWORD, DWORD>, std::vector<long>>> cases = {
      {{0, 1000}, {DS_OK, 1000, -1, 0}}, {{100, 200}, {DS_OK, 200, -1, 0}}, {{900, 300}, {DS_OK, 100, 0, 200}},
      {{998, 1000}, {DS_OK, 2, 0, 998}}, {{1000, 4}, {DSERR_INVALIDPARAM}}, {{0, 1001}, {DSERR_INVALIDPARAM}}};
  // The host refuses an empty lock as a caller's mistake; Wine hands out an empty region, and what Windows
  // does is on no record (docs/behaviour.md).
  if (GLOOM_HOST_HOOKS) cases.push_back({{10, 0}, {DSERR_INVALIDPARAM}});
  for (const auto& [range, expected] : cases)
    EXPECT_EQ(lock(range.first, range.second), expected) << "Lock(" << range.first << ", " << range.second << ")";
}

// The engine's buffers have no volume, pan or frequency control. Refused calls change nothing: the buffer plays
// at full level in the centre at its own rate (22050 Hz: one sample per two device frames). Windows may also
// answer GetFrequency with the format's rate (Wine does); the host refuses it like the other getters.
TEST_F(SoundTest, ControlsWithoutTheirFlagAreRefusedAndChangeNothing) {
  LPDIRECTSOUNDBUFFER buffer = Make(Bytes16(Samples(400, 10000)), 22050);
  LONG value = 123;
  DWORD frequency = 123;
  const HRESULT no = DSERR_CONTROLUNAVAIL;
  EXPECT_EQ((Results{buffer->SetVolume(-1000), buffer->SetPan(10000), buffer->SetFrequency(44100),
                     buffer->GetVolume(&value), buffer->GetPan(&value), value}),
            (Results{no, no, no, no, no, 123}));
  const HRESULT rate = buffer->GetFrequency(&frequency);
  EXPECT_TRUE(rate == (GLOOM_HOST_HOOKS ? no : DS_OK) && frequency == (GLOOM_HOST_HOOKS ? 123u : 22050u))
      << "GetFrequency: 0x" << std::hex << rate << ", " << std::dec << frequency;
#if GLOOM_HOST_HOOKS
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  const Samples out = Pump(100, true);
  EXPECT_EQ((Words{DWORD(out[50]), DWORD(out[51]), PlayCursor(buffer)}), (Words{10000, 10000, 100}));
#endif
}

TEST_F(SoundTest, DuplicatesShareTheDataButNotCursorStatusOrNotifications) {
  LPDIRECTSOUNDBUFFER source = Make(Bytes(200), kDevice);
  HANDLE stop = Notify(source, {DWORD(DSBPN_OFFSETSTOP)})[0];
  source->SetCurrentPosition(40);
  source->Play(0, 0, DSBPLAY_LOOPING);
  LPDIRECTSOUNDBUFFER copy = Duplicate(source);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ((Words{Status(copy), PlayCursor(copy), Status(source)}),
            (Words{0, 0, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING}));
#if GLOOM_HOST_HOOKS
  Fill(copy, Bytes16(Samples(100, 3000)));  // heard through the source
  EXPECT_EQ((Words{DWORD(Pump(4)[0]), PlayCursor(source), PlayCursor(copy)}), (Words{3000, 48, 0}));
#endif
  copy->Play(0, 0, 0), copy->Stop();  // no notification: the copy has none
  const DWORD copyStopSignalled = Signalled(stop);
  source->Stop();
  EXPECT_EQ((Words{copyStopSignalled, Signalled(stop)}), (Words{0, 1}));
}

// As the engine makes it: caps of 96 bytes, a 36-byte description, a format, always looping.
TEST_F(SoundTest, PrimaryBufferTakesAFormatAndPlaysOnlyLooping) {
  DSCAPS caps{};
  caps.dwSize = 96;
  DSBUFFERDESC desc{36, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
  LPDIRECTSOUNDBUFFER primary = nullptr, copy = nullptr;
  ASSERT_EQ((Results{directSound->GetCaps(&caps), directSound->CreateSoundBuffer(&desc, &primary, nullptr)}),
            (Results{DS_OK, DS_OK}));
  buffers.push_back(primary);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};
  EXPECT_EQ((Results{primary->SetFormat(&format), primary->Play(0, 0, 0), primary->Play(0, 0, DSBPLAY_LOOPING),
                     HRESULT(Status(primary)), directSound->DuplicateSoundBuffer(primary, &copy)}),
            (Results{DS_OK, DSERR_INVALIDPARAM, DS_OK, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING, DSERR_INVALIDCALL}));
}

// The host holds to the documentation: positions lie inside the buffer and are set while it is stopped; Wine
// takes both. The host's buffer is its own notify interface, with one reference count for both; Windows
// counts the notify interface apart (docs/behaviour.md).
TEST_F(SoundTest, NotificationPositionsAreChecked) {
  LPDIRECTSOUNDBUFFER buffer = Make(Bytes(64), 22050);
  LPDIRECTSOUNDNOTIFY positions = nullptr;
  ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&positions)), DS_OK);
  DSBPOSITIONNOTIFY outside{64, nullptr}, inside{62, nullptr};
  Results results{positions->SetNotificationPositions(1, &inside)}, expected{DS_OK};
  if (GLOOM_HOST_HOOKS) {
    results.insert(results.end(), {positions->SetNotificationPositions(1, &outside), buffer->Play(0, 0, DSBPLAY_LOOPING),
                                   positions->SetNotificationPositions(1, &inside)});
    expected.insert(expected.end(), {DSERR_INVALIDPARAM, DS_OK, DSERR_INVALIDCALL});
  }
  results.push_back(positions->Release());
  expected.push_back(GLOOM_HOST_HOOKS ? 1 : 0);
  EXPECT_EQ(results, expected);
}

#if GLOOM_HOST_HOOKS
// Stop keeps the play cursor for the next Play; the write cursor leads only while playing; positions fall on
// whole blocks; the host clock moves the cursor too.
TEST_F(SoundTest, CursorsStopWherePlayLeftThemAndMoveWithTheClock) {
  LPDIRECTSOUNDBUFFER buffer = Make(Bytes(8820), 22050);
  Words seen;
  auto look = [&] {  // the play cursor, whether the write cursor leads it, the status
    DWORD play = 1, write = 1;
    buffer->GetCurrentPosition(&play, &write);
    seen.insert(seen.end(), {play, write > play, Status(buffer)});
  };
  look();
  buffer->Play(0, 0, 0), Pump(200), look();
  buffer->Stop(), Pump(200), look();
  buffer->Play(0, 0, 0), Pump(200), look();
  seen.push_back(buffer->SetCurrentPosition(8820) == DSERR_INVALIDPARAM);
  buffer->SetCurrentPosition(1001), look();
  host::StepTimer(10), look();  // ten periods of 10 ms
  EXPECT_EQ(seen, (Words{0, 0, 0, 200, 1, 1, 200, 0, 0, 400, 1, 1, 1, 1000, 1, 1, 1000 + 4410, 1, 1}));
}
#endif

// The record's size (the engine's is 36 bytes) and the format are checked; sizes become whole blocks. Without
// a device DirectSoundCreate fails.
TEST_F(SoundTest, CreationChecksTheRecordAndTheFormat) {
  const WAVEFORMATEX pcm{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0}, notPcm{2, 2, 22050, 88200, 4, 16, 0};  // ADPCM
  std::vector<std::tuple<DWORD, WAVEFORMATEX, Words>> cases = {  // record size, format; the result, the size made
      {36, pcm, {DS_OK, 1004}}, {37, pcm, {DWORD(DSERR_INVALIDPARAM), 0}}};
  // Refused either way; Wine says E_NOTIMPL where the documentation, and the host, say DSERR_BADFORMAT.
  if (GLOOM_HOST_HOOKS) cases.push_back({36, notPcm, {DWORD(DSERR_BADFORMAT), 0}});
  for (auto [size, format, expected] : cases) {
    DSBUFFERDESC desc{size, DSBCAPS_STATIC, 1001, 0, &format, {}};
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    DSBCAPS caps{sizeof caps, 0, 0, 0, 0};
    const HRESULT result = directSound->CreateSoundBuffer(&desc, &buffer, nullptr);
    if (buffer) buffer->GetCaps(&caps), buffer->Release();
    EXPECT_EQ((Words{DWORD(result), caps.dwBufferBytes}), expected)
        << "record " << size << ", format " << format.wFormatTag << ", block " << format.nBlockAlign;
  }
#if GLOOM_HOST_HOOKS
  Finish();
  host::audioSettings().noDevice = true;
  LPDIRECTSOUND none = reinterpret_cast<LPDIRECTSOUND>(1);
  EXPECT_EQ(DirectSoundCreate(nullptr, &none, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(none, nullptr);
#endif
}

#if GLOOM_HOST_HOOKS

TEST_F(SoundTest, OneShotBufferStopsAtItsEndRewindsAndSignalsStop) {
  LPDIRECTSOUNDBUFFER buffer = Make(Bytes16(Samples(441, 1000)), kDevice);
  const std::vector<HANDLE> stopAndMiddle = Notify(buffer, {DWORD(DSBPN_OFFSETSTOP), 400});
  buffer->Play(0, 0, 0);
  Pump(400);
  EXPECT_EQ((Words{Signalled(stopAndMiddle[1]), Signalled(stopAndMiddle[0]), Status(buffer)}),
            (Words{1, 0, DSBSTATUS_PLAYING}));
  const Samples out = Pump(100);
  EXPECT_EQ((Words{Signalled(stopAndMiddle[0]), Status(buffer), PlayCursor(buffer)}), (Words{1, 0, 0}));
  EXPECT_EQ((Samples{out[40], out[41]}), (Samples{1000, 0})) << "the last sample is heard, then silence";
}

// Eight segments of 100 frames, like the music ring, played from position 2.
TEST_F(SoundTest, NotificationsFireAsTheCursorPassesThem) {
  LPDIRECTSOUNDBUFFER ring = Make(Bytes(1600), kDevice);
  const std::vector<HANDLE> segments = Notify(ring, {0, 200, 400, 600, 800, 1000, 1200, 1400});
  ring->SetCurrentPosition(2);
  ring->Play(0, 0, DSBPLAY_LOOPING);
  const std::pair<int, std::vector<int>> steps[] = {{50, {}},         {49, {}},
                                                    {1, {1}},         {250, {2, 3}},
                                                    {500, {0, 4, 5, 6, 7}}, {800, {0, 1, 2, 3, 4, 5, 6, 7}}};
  for (const auto& [frames, expected] : steps) {
    Pump(frames);
    std::vector<int> fired;
    for (int i = 0; i < 8; ++i)
      if (Signalled(segments[i])) fired.push_back(i);
    EXPECT_EQ(fired, expected) << "after " << frames << " more frames";
  }
}

// Resampled from 22050 Hz, the loop point is interpolated like any other pair of samples: no gap, no repeat.
TEST_F(SoundTest, LoopingBufferWrapsWithoutAGap) {
  Make(Bytes16(Samples{0, 400, 800, 1200}), 22050)->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(Pump(12), (Samples{0, 200, 400, 600, 800, 1000, 1200, 600, 0, 200, 400, 600}));
}

// Neighbours a full swing apart interpolate in range at every quarter: the
// difference times a fraction above one half does not fit 32 bits.
TEST_F(SoundTest, FullSwingInterpolatesWithoutWrapping) {
  Make(Bytes16(Samples{-32768, 32767}), 11025)->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(Pump(8), (Samples{-32768, -16385, -1, 16383, 32767, 16383, -1, -16385}));
}

// 8-bit samples are unsigned around 0x80; mono plays on both sides.
TEST_F(SoundTest, SampleFormatsMapOntoStereo) {
  const struct {
    Bytes frame;  // repeated
    WORD channels, bits;
    Samples expected;
  } cases[] = {{{0x80}, 1, 8, {0, 0}}, {{0xC0}, 1, 8, {0x4000, 0x4000}}, {{0x00, 0xFF}, 2, 8, {-32768, 0x7F00}},
               {{0x34, 0x12}, 1, 16, {0x1234, 0x1234}}, {{0x00, 0x10, 0x00, 0xF0}, 2, 16, {0x1000, -0x1000}}};
  for (const auto& c : cases) {
    Bytes data;
    for (int i = 0; i < 64; ++i) data.insert(data.end(), c.frame.begin(), c.frame.end());
    Make(data, 22050, c.channels, c.bits)->Play(0, 0, 0);
    const Samples out = Pump(200, true);  // to the end of the sound
    EXPECT_EQ((Samples{out[10], out[11]}), c.expected) << c.bits << " bits, " << c.channels << " channels";
  }
}

// Started one by one: a sum past the top clips instead of wrapping, and clipping comes after the sum, not
// voice by voice.
TEST_F(SoundTest, VoicesAddUpAndClip) {
  LPDIRECTSOUNDBUFFER loud = Make(Bytes16(Samples(64, 30000)), kDevice);
  LPDIRECTSOUNDBUFFER negative = Make(Bytes16(Samples(64, -20000)), kDevice);
  Samples heard;
  for (LPDIRECTSOUNDBUFFER voice : {loud, Duplicate(loud), negative, Duplicate(negative)}) {
    voice->Play(0, 0, DSBPLAY_LOOPING);
    heard.push_back(Pump(1)[0]);
  }
  EXPECT_EQ(heard, (Samples{30000, 32767, 32767, 20000}));
}

#endif

// Real time (SDL's audio thread mixes on the host): a fifth of a second of sound passes its middle, ends by
// itself and signals its stop.
TEST_F(SoundTest, DeviceThreadPlaysInRealTime) {
  Finish();
  Start(false);
  ASSERT_EQ(created, DS_OK);
  LPDIRECTSOUNDBUFFER buffer = Make(Bytes(8820), 22050);
  const std::vector<HANDLE> stopAndMiddle = Notify(buffer, {DWORD(DSBPN_OFFSETSTOP), 4410});
  buffer->Play(0, 0, 0);
  EXPECT_EQ((Words{WaitForSingleObject(stopAndMiddle[0], INFINITE), Signalled(stopAndMiddle[1]), Status(buffer)}),
            (Words{WAIT_OBJECT_0, 1, 0}));
}

}  // namespace
