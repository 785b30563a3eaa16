// The sound engine on the pumped mixer.
#include <set>
#include <tuple>
#include <thread>

#include "host/audio_control.h"
#include "sound/sound_helpers.h"

namespace {

using sound_test::Tone;

constexpr int kRatio = host::kAudioDeviceRate / 22050;  // device frames per sample frame

class ZQSoundTest : public sound_test::EngineTest {
 protected:
  SNDSample* Load(const std::string& file, DWORD id) {
    EXPECT_EQ(zqSound.LoadSample(file.c_str(), id), 1) << file;
    SNDSample* sample = zqSound.FindSample(id);  // held, not played: back to idle
    std::atomic_ref<DWORD>(sample->m_dwFlags).fetch_and(~kSampleHeld);
    return sample;
  }
};

TEST_F(ZQSoundTest, OverlappingPlaysDuplicateAndIdleDuplicatesAreReleased) {
  SNDSample* loaded = Load(Tone("a.wav", 100, 1000), 5);
  Load(Tone("b.wav", 100, 1000), 6);
  EXPECT_EQ(zqSound.PlaySample(5, 65535, 0x8000), loaded);
  SNDSample* copy = zqSound.PlaySample(5, 65535, 0x8000);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Flags(copy), kSampleInUse | kSampleDuplicate);
  EXPECT_EQ(Pump(1)[0], 2000) << "both heard at once";
  Pump(100 * kRatio);
  ASSERT_FALSE(Playing(loaded) || Playing(copy));
  // A search releases the idle duplicates it passes, not those after where it stops.
  zqSound.PlaySample(6, 65535, 0x8000);
  EXPECT_NE(Flags(copy), 0u) << "after sound 6's slot";
  EXPECT_EQ(zqSound.FindSample(99), nullptr);
  EXPECT_EQ(std::make_tuple(Flags(copy), copy->m_lpBuffer, Flags(loaded)),
            std::make_tuple(0u, nullptr, kSampleInUse | kSampleFormatRead)) << "duplicate released, loaded sample kept";
}

TEST_F(ZQSoundTest, LoopingSampleLoopsAndItsDuplicatePlaysOnce) {
  SNDSample* looping = Load(Tone("loop.wav", 500, 700, true), 7);
  zqSound.PlaySample(7, 65535, 0);
  SNDSample* once = zqSound.PlaySample(7, 65535, 0);
  ASSERT_NE(once, nullptr);
  EXPECT_EQ(std::make_pair(looping->GetSampleStatus(), once->GetSampleStatus()),
            std::make_pair(LONG{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING}, LONG{DSBSTATUS_PLAYING}));
  Pump(3 * 500 * kRatio);
  EXPECT_EQ(std::make_pair(Playing(looping), Playing(once)), std::make_pair(true, false)) << "three lengths on";
  EXPECT_EQ(looping->StopSample(), 1);
  EXPECT_FALSE(Playing(looping));
}

TEST_F(ZQSoundTest, ChainsGoOnFromTheNotificationThread) {
  SNDSample* a = Load(Tone("a.wav", 50, 100), 1);
  SNDSample* b = Load(Tone("b.wav", 50, 200), 2);
  SNDSample* c = Load(Tone("c.wav", 50, 300), 3);
  EXPECT_EQ(SNDSample::ChainSample(SNDSample::ChainSample(a, b), c), a);
  ASSERT_EQ(a->PlaySample(40000, 0x9000), 1);
  for (SNDSample* next : {b, c}) {
    Pump(50 * kRatio + 10);
    ASSERT_TRUE(Eventually([&] { return Playing(next); })) << "the successor starts when the one before ends";
    EXPECT_EQ(std::to_string(next->m_nVolume) + "/" + std::to_string(next->m_nPan), "40000/36864") << "volume/pan";
    EXPECT_EQ(Pump(1)[0], next == b ? 200 : 300);
  }
}

TEST_F(ZQSoundTest, DisabledEffectsFindButPlayNothingAndWithoutADeviceNothingLoads) {
  SNDSample* loaded = Load(Tone("a.wav", 100, 1000), 5);
  zqSound.EnableSFX(0);
  EXPECT_EQ(zqSound.PlaySample(5, 65535, 0), loaded);
  EXPECT_EQ(Pump(1)[0], 0);
  zqSound.Exit();
  EXPECT_EQ(zqSound.LoadSample("a.wav", 5), 0) << "after Exit";
  host::audioSettings().noDevice = true;
  EXPECT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), 200), 0);
  EXPECT_EQ(zqSound.LoadSample("a.wav", 5) + (zqSound.PlaySample(5, 65535, 0) != nullptr), 0) << "no device";
}

TEST(VolumeTable, TellingEntriesAndMappings) {
  using Pairs = std::vector<std::pair<int, int>>;
  const Pairs table{{0, -10000},   {16, -10000},  {17, -9912},   {32, -9000}, {4096, -2000},
                    {8192, -1000}, {12288, -415}, {16372, -1},   {16373, 0},  {16383, 0}};
  const Pairs volumes{{70000, 0}, {65535, 0}, {0xC000, -415}, {0x8000, -1000}, {0x4000, -2000}, {0x44, -9912}, {0x43, -10000}};
  const Pairs pans{{-1, 10000}, {1, 10000}, {0x4000, 1000}, {0x7FFF, 0}, {0x8000, 0}, {0xC000, -1000}, {0xFFFF, -10000}};
  const auto actual = [](auto expected, auto map) {
    for (auto& [in, out] : expected) out = map(in);
    return expected;
  };
  EXPECT_EQ(actual(table, [](int i) { return int{g_VolumeTable[i]}; }), table);
  EXPECT_EQ(actual(volumes, [](int v) { return int{ZQSound::MapVolume(v)}; }), volumes);
  EXPECT_EQ(actual(pans, [](int p) { return int{ZQSound::MapPan(p)}; }), pans);
}

// The game thread and the notification thread both claim event entries: each entry goes to one of them (checked for
// races under ThreadSanitizer too).
TEST_F(ZQSoundTest, EventEntriesClaimedFromTwoThreadsGoToOneEach) {
  std::vector<_SNDEvent*> mine, theirs;
  std::thread other([&] { while (_SNDEvent* event = ZQSound::AllocSoundEvent()) theirs.push_back(event); });
  while (_SNDEvent* event = ZQSound::AllocSoundEvent()) mine.push_back(event);
  other.join();
  std::set<_SNDEvent*> all(mine.begin(), mine.end());
  all.insert(theirs.begin(), theirs.end());
  EXPECT_EQ((std::vector<size_t>{mine.size() + theirs.size(), all.size()}), (std::vector<size_t>{63, 63}));
}

TEST_F(ZQSoundTest, ExitRightAfterInitEndsTheNotificationThread) {
  for (int i = 0; i < 20; ++i) {
    zqSound.Exit();
    EXPECT_EQ(ZQSound::g_nCallBackThreadActive.load(), 0);
    ASSERT_EQ(zqSound.Init(reinterpret_cast<HWND>(1), 8), 1);
  }
}

}  // namespace
