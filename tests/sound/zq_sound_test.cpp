// The engine on the pumped mixer: the pool, overlapping plays by duplication
// and the sweep of idle duplicates, looping, chains started by the notification
// thread, disabled effects, refused controls, clearing, and no device at all.
#include <set>
#include <thread>

#include "host/audio_control.h"
#include "sound/sound_helpers.h"

namespace {

using sound_test::EngineTest;
using sound_test::WavBytes;

constexpr int kRatio = host::kAudioDeviceRate / 22050;  // device frames per sample frame

// 22050 Hz 16-bit mono, every sample `level`.
std::string Tone(const std::string& name, int frames, int16_t level) {
  std::vector<uint8_t> data;
  for (int i = 0; i < frames; ++i) data.insert(data.end(), {static_cast<uint8_t>(level), static_cast<uint8_t>(level >> 8)});
  return sound_test::WriteFile(name, WavBytes().Format(1, 1, 22050, 16).Chunk("data", data).File());
}

class ZQSoundTest : public EngineTest {
 protected:
  SNDSample* Load(const std::string& file, DWORD id) {
    EXPECT_EQ(zqSound.LoadSample(file.c_str(), id), 1) << file;
    SNDSample* sample = zqSound.FindSample(id);  // held, not played: back to idle
    std::atomic_ref<DWORD>(sample->m_dwFlags).fetch_and(~kSampleHeld);
    return sample;
  }
};

TEST_F(ZQSoundTest, PoolHasAnEventPerSlotUpToSixtyFour) {
  for (int samples : {200, 10}) {
    zqSound.Exit();
    ASSERT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), samples), 1);
    const int events = samples == 200 ? 64 : 11;
    EXPECT_EQ(ZQSound::g_nMaxEventCount, events);
    EXPECT_EQ(ZQSound::g_pEndSample - ZQSound::g_SampleList, samples);
    std::set<_SNDEvent*> handedOut;
    while (_SNDEvent* event = ZQSound::AllocSoundEvent()) handedOut.insert(event);
    EXPECT_EQ(handedOut.size(), static_cast<size_t>(events - 1)) << "every entry but the quit entry 0";
    EXPECT_EQ(handedOut.count(&ZQSound::g_EventList[0]), 0u);
  }
}

TEST_F(ZQSoundTest, EventEntriesClaimedFromTwoThreadsGoToOneEach) {
  std::vector<_SNDEvent*> mine, theirs;
  std::thread other([&] {
    while (_SNDEvent* event = ZQSound::AllocSoundEvent()) theirs.push_back(event);
  });
  while (_SNDEvent* event = ZQSound::AllocSoundEvent()) mine.push_back(event);
  other.join();
  std::set<_SNDEvent*> all(mine.begin(), mine.end());
  all.insert(theirs.begin(), theirs.end());
  EXPECT_EQ(mine.size() + theirs.size(), 63u);
  EXPECT_EQ(all.size(), 63u) << "an entry handed to both threads";
}

TEST_F(ZQSoundTest, ExitRightAfterInitEndsTheNotificationThread) {
  for (int i = 0; i < 20; ++i) {
    zqSound.Exit();
    EXPECT_EQ(ZQSound::g_nCallBackThreadActive.load(), 0);
    ASSERT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), 8), 1);
  }
}

TEST_F(ZQSoundTest, OverlappingPlaysDuplicateAndIdleDuplicatesAreReleased) {
  SNDSample* loaded = Load(Tone("a.wav", 100, 1000), 5);
  Load(Tone("b.wav", 100, 1000), 6);
  EXPECT_EQ(zqSound.PlaySample(5, 65535, 0x8000), loaded);
  SNDSample* copy = zqSound.PlaySample(5, 65535, 0x8000);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, loaded);
  EXPECT_EQ(Flags(copy), kSampleInUse | kSampleDuplicate);
  EXPECT_EQ(copy->m_dwID, 5u);
  EXPECT_EQ(Pump(1)[0], 2000) << "both heard at once";
  Pump(100 * kRatio);
  ASSERT_FALSE(Playing(loaded) || Playing(copy));

  // Looking for another sound releases the idle duplicates it passes: not
  // those after the slot it stops at.
  zqSound.PlaySample(6, 65535, 0x8000);
  EXPECT_NE(Flags(copy), 0u) << "after sound 6's slot";
  EXPECT_EQ(zqSound.FindSample(99), nullptr);
  EXPECT_EQ(Flags(copy), 0u);
  EXPECT_EQ(copy->m_lpBuffer, nullptr);
  EXPECT_EQ(Flags(loaded), kSampleInUse | kSampleFormatRead) << "a loaded sample stays";

  // Two finds without a play between: the loaded slot, then a duplicate, which
  // FlushSamples releases once it is neither held nor playing.
  Pump(100 * kRatio);
  SNDSample* first = zqSound.FindSample(5);
  SNDSample* second = zqSound.FindSample(5);
  EXPECT_EQ(first, loaded);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Flags(second), kSampleInUse | kSampleHeld | kSampleDuplicate);
  zqSound.FlushSamples();
  EXPECT_NE(Flags(second), 0u) << "held: kept";
  std::atomic_ref<DWORD>(second->m_dwFlags).fetch_and(~kSampleHeld);
  zqSound.FlushSamples();
  EXPECT_EQ(Flags(second), 0u);
}

TEST_F(ZQSoundTest, LoopingSampleLoopsAndItsDuplicatePlaysOnce) {
  SNDSample* looping = Load(sound_test::LoopingWav("loop.wav", 500), 7);
  ASSERT_EQ(Flags(looping), kSampleInUse | kSampleFormatRead | kSampleLooping);
  zqSound.PlaySample(7, 65535, 0);
  SNDSample* once = zqSound.PlaySample(7, 65535, 0);
  ASSERT_NE(once, nullptr);
  EXPECT_EQ(looping->GetSampleStatus(), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  EXPECT_EQ(once->GetSampleStatus(), DSBSTATUS_PLAYING);
  EXPECT_EQ(once->m_dwLoopEnd, looping->m_dwLoopEnd);
  Pump(3 * 500 * kRatio);
  EXPECT_TRUE(Playing(looping)) << "three lengths on";
  EXPECT_FALSE(Playing(once));
  EXPECT_EQ(looping->StopSample(), 1);
  EXPECT_FALSE(Playing(looping));
}

TEST_F(ZQSoundTest, ChainsGoOnFromTheNotificationThread) {
  SNDSample* a = Load(Tone("a.wav", 50, 100), 1);
  SNDSample* b = Load(Tone("b.wav", 50, 200), 2);
  SNDSample* c = Load(Tone("c.wav", 50, 300), 3);
  EXPECT_EQ(SNDSample::ChainSample(SNDSample::ChainSample(a, b), c), a);
  EXPECT_EQ(b->m_pNext, c);
  ASSERT_EQ(a->PlaySample(40000, 0x9000), 1);
  EXPECT_EQ(Flags(a) & kSampleNotifyArmed, kSampleNotifyArmed);
  Pump(50 * kRatio + 10);
  ASSERT_TRUE(Eventually([&] { return Playing(b); })) << "the successor starts when the first ends";
  EXPECT_TRUE(Eventually([&] { return (Flags(a) & kSampleNotifyArmed) == 0; }));
  EXPECT_EQ(b->m_nVolume, 40000);
  EXPECT_EQ(b->m_nPan, 0x9000);
  EXPECT_EQ(Pump(1)[0], 200);
  Pump(50 * kRatio + 10);
  ASSERT_TRUE(Eventually([&] { return Playing(c); })) << "and the successor arms its own";
  EXPECT_EQ(Pump(1)[0], 300);
}

TEST_F(ZQSoundTest, DisabledEffectsFindButPlayNothing) {
  SNDSample* loaded = Load(Tone("a.wav", 100, 1000), 5);
  zqSound.EnableSFX(0);
  EXPECT_EQ(zqSound.PlaySample(5, 65535, 0), loaded);
  EXPECT_EQ(Flags(loaded), kSampleInUse | kSampleFormatRead) << "not held, not playing";
  EXPECT_EQ(zqSound.PlaySampleIDOnce(5, 65535, 0), 1);
  EXPECT_EQ(Pump(1)[0], 0);
}

TEST_F(ZQSoundTest, RefusedControlsPlayAtFullLevelInTheCentre) {
  SNDSample* loaded = Load(Tone("a.wav", 100, 1000), 5);
  zqSound.PlaySample(5, 0x4000, 0);  // a quarter volume, full right, as asked
  EXPECT_EQ(loaded->m_nVolume, 0x4000) << "stored although refused";
  EXPECT_EQ(loaded->m_nPan, 0);
  EXPECT_EQ(loaded->SetPitch(11025), 0);
  EXPECT_EQ(loaded->m_nPitch, 11025);
  std::vector<int16_t> out = Pump(2);
  EXPECT_EQ(out[0], 1000) << "left";
  EXPECT_EQ(out[1], 1000) << "right";
  EXPECT_EQ(out[2], 1000) << "at the file's own rate";
}

int opens = 0;
HANDLE CountingOpen(const char* name) {
  ++opens;
  return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST_F(ZQSoundTest, LoadOfALoadedIdOpensNothing) {
  ZQSound::SetFileOpenFunc(CountingOpen);
  Load(Tone("a.wav", 100, 1000), 5);
  EXPECT_EQ(zqSound.LoadSample("elsewhere.wav", 5), 1);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(zqSound.LoadSample("missing.wav", 6), 0);
  EXPECT_EQ(zqSound.FindSample(6), nullptr) << "the slot of a failed load is given back";
  ZQSound::SetFileOpenFunc(nullptr);
}

TEST_F(ZQSoundTest, ClearSampleListStopsAndReleasesBeforeClearing) {
  SNDSample* looping = Load(sound_test::LoopingWav("loop.wav", 500), 7);
  zqSound.PlaySample(7, 65535, 0);
  zqSound.PlaySample(7, 65535, 0);
  ASSERT_NE(Pump(2)[2], 0);
  ZQSound::ClearSampleList();
  EXPECT_EQ(Flags(looping), 0u);
  EXPECT_EQ(looping->m_lpBuffer, nullptr);
  for (int16_t value : Pump(2000)) ASSERT_EQ(value, 0) << "nothing left playing";
  EXPECT_EQ(ZQSound::g_pLastSample, ZQSound::g_SampleList);
}

TEST_F(ZQSoundTest, WithoutADeviceNothingLoadsOrPlays) {
  zqSound.Exit();
  EXPECT_EQ(zqSound.LoadSample(Tone("a.wav", 10, 1).c_str(), 5), 0) << "after Exit";
  host::audioSettings().noDevice = true;
  EXPECT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), 200), 0);
  EXPECT_EQ(zqSound.LoadSample("a.wav", 5), 0);
  EXPECT_EQ(zqSound.PlaySample(5, 65535, 0), nullptr);
  EXPECT_EQ(ZQSound::AllocSample(), nullptr);
  zqSound.Exit();
}

TEST(VolumeTable, TellingEntriesAndMappings) {
  struct {
    int index, value;
  } entries[] = {{0, -10000},    {16, -10000},  {17, -9912},  {32, -9000},  {64, -8000},
                 {4096, -2000},  {8192, -1000}, {12288, -415}, {16372, -1}, {16373, 0}, {16383, 0}};
  for (const auto& e : entries) EXPECT_EQ(g_VolumeTable[e.index], e.value) << "entry " << e.index;
  struct {
    int in, volume;
  } volumes[] = {{70000, 0}, {65535, 0}, {0xC000, -415}, {0x8000, -1000}, {0x4000, -2000},
                 {0x100, -8000}, {0x44, -9912}, {0x43, -10000}, {0, -10000}, {-5, -10000}};
  for (const auto& v : volumes) EXPECT_EQ(ZQSound::MapVolume(v.in), v.volume) << "volume " << v.in;
  struct {
    int in, pan;
  } pans[] = {{-1, 10000}, {0, 10000},   {1, 10000},      {0x4000, 1000},  {0x7FFF, 0},
              {0x8000, 0}, {0xC000, -1000}, {0xFFFF, -10000}, {70000, -10000}};
  for (const auto& p : pans) EXPECT_EQ(ZQSound::MapPan(p.in), p.pan) << "pan " << p.in;
}

}  // namespace
