// The registry over the engine: IDs from 10 in registration order, the game's
// own effect files, unknown names, duplicate names, FreeAll starting over.
#include "sound/sound_registry.h"

#include "gfx/ptr_array.h"
#include "sound/sound_helpers.h"

namespace {

using sound_test::EngineTest;

constexpr const char* kEffects[][2] = {
    {"thunder", "thunder.wav"}, {"scream1", "scream1.wav"}, {"ghost", "ghost.wav"}, {"organ", "pipeorgan.wav"},
    {"beat", "heartbeat.wav"},  {"laugh", "laugh.wav"},     {"click", "click.wav"}, {"slide", "slide.wav"},
};

int opens = 0;
HANDLE CountingOpen(const char* name) {
  ++opens;
  return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class SoundRegistryTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    zqSound.Exit();
    ASSERT_EQ(registry.Init(reinterpret_cast<HWND>(1), 200), 1);
    ZQSound::SetFileOpenFunc(CountingOpen);  // after Init, which restores the default
    opens = 0;
  }
  void TearDown() override {
    registry.Shutdown();
    EngineTest::TearDown();
  }
  void AddGameEffects() {
    for (const auto& effect : kEffects) {
      ASSERT_NE(registry.Add(sound_test::GameSound(effect[1]).c_str(), effect[0]), nullptr) << effect[1];
    }
  }
  SoundRegistry registry{};
};

TEST_F(SoundRegistryTest, EffectsGetIdsFromTenAndStartOverAfterFreeAll) {
  for (int round = 0; round < 2; ++round) {
    AddGameEffects();
    EXPECT_EQ(opens, 8 * (round + 1)) << "every file read again after FreeAll";
    for (int i = 0; i < 8; ++i) {
      SoundEntry* entry = registry.Find(kEffects[i][0]);
      ASSERT_NE(entry, nullptr) << kEffects[i][0];
      EXPECT_EQ(entry->id, 10 + i) << kEffects[i][0] << " in round " << round;
      SNDSample* sample = registry.PlayByName(kEffects[i][0], 65535, 0);
      ASSERT_NE(sample, nullptr) << kEffects[i][0];
      EXPECT_EQ(sample->m_dwID, static_cast<DWORD>(10 + i));
      EXPECT_TRUE(Playing(sample));
    }
    registry.FreeAll();
    EXPECT_EQ(registry.Find("thunder"), nullptr);
    EXPECT_EQ(ZQSound::g_pLastSample, ZQSound::g_SampleList) << "no slot left in use";
    for (SNDSample* s = ZQSound::g_SampleList; s < ZQSound::g_pEndSample; ++s) ASSERT_EQ(s->m_lpBuffer, nullptr);
  }
}

TEST_F(SoundRegistryTest, UnknownMissingAndRepeatedNames) {
  EXPECT_EQ(registry.Add("sounds\\missing.wav", "ghost"), nullptr);
  EXPECT_EQ(registry.entries->Count(), 0);
  EXPECT_EQ(registry.PlayByName("ghost", 65535, 0), nullptr);
  EXPECT_STREQ(SoundRegistry::LastRequestForTest(), "ghost");
  SoundEntry* first = registry.Add(sound_test::GameSound("click.wav").c_str(), "click");
  SoundEntry* second = registry.Add(sound_test::GameSound("slide.wav").c_str(), "click");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->id, 11);
  EXPECT_EQ(registry.Find("click"), first);
  EXPECT_EQ(registry.PlayByName("click", 65535, 0)->m_dwID, 10u);
  EXPECT_EQ(registry.Find("Click"), nullptr) << "names compare exactly";
}

TEST(SoundRegistryWithoutInit, AddDoesNothingAndShutdownIsHarmless) {
  SoundRegistry registry{};
  EXPECT_EQ(registry.Add(sound_test::GameSound("click.wav").c_str(), "click"), nullptr);
  EXPECT_EQ(registry.PlayByName("click", 65535, 0), nullptr);
  registry.FreeAll();
  registry.Shutdown();
  EXPECT_EQ(ZQSound::GetDSObject(), nullptr);
}

}  // namespace
