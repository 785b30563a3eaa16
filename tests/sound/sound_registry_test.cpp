// The sound registry over the engine, with the game's own effect files.
#include "sound/sound_registry.h"

#include "sound/sound_helpers.h"

namespace {

constexpr const char* kEffects[][2] = {
    {"thunder", "thunder.wav"}, {"scream1", "scream1.wav"}, {"ghost", "ghost.wav"}, {"organ", "pipeorgan.wav"},
    {"beat", "heartbeat.wav"},  {"laugh", "laugh.wav"},     {"click", "click.wav"}, {"slide", "slide.wav"},
};

class SoundRegistryTest : public sound_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    zqSound.Exit();
    ASSERT_EQ(registry.Init(reinterpret_cast<HWND>(1), 200), 1);
  }
  void TearDown() override {
    registry.Shutdown();
    EngineTest::TearDown();
  }
  SoundRegistry registry{};
};

TEST_F(SoundRegistryTest, EffectsGetIdsFromTenAndStartOverAfterFreeAll) {
  for (int round = 0; round < 2; ++round) {
    std::string played;  // name=ID of what each name plays
    for (const auto& effect : kEffects) {
      ASSERT_NE(registry.Add(sound_test::GameSound(effect[1]).c_str(), effect[0]), nullptr) << effect[1];
      SNDSample* sample = registry.PlayByName(effect[0], 65535, 0);
      played += std::string(" ") + effect[0] + "=" + (Playing(sample) ? std::to_string(sample->m_dwID) : "silent");
    }
    EXPECT_EQ(played, " thunder=10 scream1=11 ghost=12 organ=13 beat=14 laugh=15 click=16 slide=17") << "round " << round;
    registry.FreeAll();
    EXPECT_EQ(registry.Find("thunder"), nullptr);
    EXPECT_EQ(ZQSound::g_pLastSample, ZQSound::g_SampleList) << "no slot left in use";
    for (SNDSample* s = ZQSound::g_SampleList; s < ZQSound::g_pEndSample; ++s) ASSERT_EQ(s->m_lpBuffer, nullptr);
  }
}

TEST_F(SoundRegistryTest, UnknownMissingAndRepeatedNames) {
  EXPECT_EQ(registry.Add("sounds\\missing.wav", "ghost"), nullptr);
  EXPECT_EQ(registry.PlayByName("ghost", 65535, 0), nullptr);
  EXPECT_STREQ(SoundRegistry::LastRequestForTest(), "ghost");
  SoundEntry* first = registry.Add(sound_test::GameSound("click.wav").c_str(), "click");
  SoundEntry* second = registry.Add(sound_test::GameSound("slide.wav").c_str(), "click");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->id, 11) << "the missing file took no ID";
  EXPECT_EQ(registry.Find("click"), first);
  EXPECT_EQ(registry.Find("Click"), nullptr) << "names compare exactly";
  SoundRegistry idle{};  // never brought up, as without an audio device
  EXPECT_EQ(idle.Add(sound_test::GameSound("click.wav").c_str(), "click"), nullptr);
  EXPECT_EQ(idle.PlayByName("click", 65535, 0), nullptr);
  idle.FreeAll();
  idle.Shutdown();
}

}  // namespace
