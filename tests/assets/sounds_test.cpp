// The sounds: parsed the way the game's WAV reader parses them, and by sox.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "generated_assets.hpp"

namespace gg::test {
namespace {

std::filesystem::path sound(const std::string& name) { return generatedOnce().game / "sounds" / (name + ".wav"); }

double peak(const Wav& w) {
  int m = 0;
  for (int16_t s : w.samples) m = std::max(m, std::abs(static_cast<int>(s)));
  return m / 32768.0;
}

TEST(AssetSounds, EffectsAreShortPcmTheGameCanLoad) {
  struct Effect {
    const char* name;
    double minSeconds, maxSeconds;
  };
  const Effect effects[] = {{"thunder", 1, 3},   {"scream1", 1, 3}, {"ghost", 1, 3},     {"pipeorgan", 1, 3},
                            {"heartbeat", 1, 3}, {"laugh", 1, 3},   {"click", 0.01, 0.15}, {"slide", 0.05, 0.5}};
  for (const Effect& e : effects) {
    const Wav w = readWav(sound(e.name));
    EXPECT_EQ(w.formatTag, 1) << e.name;
    EXPECT_EQ(w.bitsPerSample, 16) << e.name;
    EXPECT_FALSE(w.oddChunkBeforeData) << e.name << ": the game would lose its place";
    ASSERT_GT(w.channels, 0) << e.name;
    EXPECT_GE(w.seconds(), e.minSeconds) << e.name;
    EXPECT_LE(w.seconds(), e.maxSeconds) << e.name;
    // Audible, and not clipped.
    EXPECT_GT(peak(w), 0.3) << e.name;
    EXPECT_LT(peak(w), 0.99) << e.name;
  }
}

TEST(AssetSounds, MusicIsLongStereoThatLoopsWithoutASeam) {
  const Wav w = readWav(sound("music"));
  EXPECT_EQ(w.formatTag, 1);
  EXPECT_EQ(w.sampleRate, 22050);
  EXPECT_EQ(w.bitsPerSample, 16);
  ASSERT_EQ(w.channels, 2);
  EXPECT_GE(w.seconds(), 30.0);
  // The step from the last frame back to the first is like any other step.
  const size_t frames = w.samples.size() / 2;
  std::vector<int> steps;
  for (size_t i = 1; i < frames; ++i)
    for (int c = 0; c < 2; ++c) steps.push_back(std::abs(w.samples[2 * i + c] - w.samples[2 * (i - 1) + c]));
  std::sort(steps.begin(), steps.end());
  const int typical = steps[steps.size() * 99 / 100];
  for (int c = 0; c < 2; ++c) {
    const int seam = std::abs(w.samples[c] - w.samples[2 * (frames - 1) + c]);
    EXPECT_LE(seam, typical) << "channel " << c;
  }
  // Music from the first moment, not a fade-in.
  double sum = 0;
  for (size_t i = 0; i < 22050; ++i) sum += static_cast<double>(w.samples[i]) * w.samples[i];
  EXPECT_GT(std::sqrt(sum / 22050), 300);
}

TEST(AssetTools, SoxReadsEverySound) {
  for (const char* name :
       {"thunder", "scream1", "ghost", "pipeorgan", "heartbeat", "laugh", "click", "slide", "music"}) {
    int status = 0;
    const std::string out = run("soxi -t '" + sound(name).string() + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << name << ": " << out;
    EXPECT_EQ(out.substr(0, 3), "wav") << name;
    const std::string stat = run("sox '" + sound(name).string() + "' -n stat 2>&1", &status);
    EXPECT_EQ(status, 0) << name << ": " << stat;
  }
}

}  // namespace
}  // namespace gg::test
