// The real game recorded by SDL's disk audio driver: two sessions with one seed and timeline, one clicking four
// tiles, one only moving the mouse. Both carry the music; the clicks add sound right after them only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "game/tile_board.h"
#include "support/game_process.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

constexpr int kDeviceRate = 44100;
constexpr int kWindowMs = 50;
constexpr int kSlideWindowMs = 500;  // the slide lasts a quarter second, starting a frame or two after the click
constexpr int kClicksMs[] = {4600, 5200, 5800, 6400};
constexpr int kCells[] = {2, 10, 14, 22};  // next to the pockets: after "newgame" they can always slide
constexpr int kCloseMs = 7000;

// A 16-bit stereo recording without the silence the device writes in real time while the game has not mixed the next
// frames: what is left follows the game's timeline.
std::vector<int16_t> Recording(const std::vector<uint8_t>& raw) {
  constexpr size_t kGapFrames = 32;
  std::vector<int16_t> samples, zeros;
  for (size_t i = 0; i + 3 < raw.size(); i += 4) {
    const int16_t left = static_cast<int16_t>(raw[i] | raw[i + 1] << 8);
    const int16_t right = static_cast<int16_t>(raw[i + 2] | raw[i + 3] << 8);
    if (left == 0 && right == 0) { zeros.insert(zeros.end(), {0, 0}); continue; }
    if (zeros.size() < 2 * kGapFrames) samples.insert(samples.end(), zeros.begin(), zeros.end());
    zeros.clear();
    samples.insert(samples.end(), {left, right});
  }
  return samples;
}

// RMS of [fromMs, fromMs + kWindowMs) of `a`, or of a - b when `b` is given.
double WindowRms(const std::vector<int16_t>& a, const std::vector<int16_t>* b, int fromMs) {
  const size_t first = size_t{2} * fromMs * kDeviceRate / 1000;
  const size_t last = std::min({size_t{2} * (fromMs + kWindowMs) * kDeviceRate / 1000, a.size(), b ? b->size() : a.size()});
  double sum = 0;
  for (size_t i = first; i < last; ++i) {
    const double s = b ? double(a[i]) - (*b)[i] : a[i];
    sum += s * s;
  }
  return last > first ? std::sqrt(sum / double(last - first)) : 0;
}

std::vector<int16_t> Record(bool click, const std::string& file) {
  TileBoard board;
  EXPECT_EQ(board.NewBoard(0), 1);
  std::ostringstream script;
  script << "300 move 142 476\n320 ldown\n360 lup\n";
  for (int i = 0; i < 4; ++i) {
    script << kClicksMs[i] << " move " << board.cells[kCells[i]].x + 40 << " " << board.cells[kCells[i]].y + 40 << "\n";
    if (click) script << kClicksMs[i] + 20 << " ldown\n" << kClicksMs[i] + 60 << " lup\n";
  }
  GameRun run = RunGame({.environment = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", file}, {"GLOOMGRID_HOST_SEED", "5"}},
                         .script = script.str() + std::to_string(kCloseMs) + " close\n", .timeLimitSeconds = 60});
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  return Recording(ReadFileBytes(file));
}

TEST(GameAudio, MusicPlaysAndEachSlideIsHeardRightAfterItsClick) {
  ScratchFolder scratch;
  const std::vector<int16_t> clicked = Record(true, scratch.File("clicked.raw"));
  const std::vector<int16_t> music = Record(false, scratch.File("music.raw"));
  ASSERT_GE(std::min(clicked.size(), music.size()), size_t{kCloseMs - 100} * kDeviceRate / 1000 * 2)
      << "every frame up to the close is recorded, and the music fills every gap";

  std::string quiet, differing;  // windows (their start in ms) where the check fails
  for (int at = 400; at < kCloseMs - kWindowMs; at += kWindowMs) {
    if (WindowRms(music, nullptr, at) < 500) quiet += " " + std::to_string(at);
    const bool afterAClick = std::any_of(std::begin(kClicksMs), std::end(kClicksMs),
                                         [&](int click) { return at >= click && at < click + kSlideWindowMs; });
    if (!afterAClick && WindowRms(clicked, &music, at) != 0) differing += " " + std::to_string(at);
  }
  EXPECT_EQ(quiet, "") << "the music is not heard in these windows";
  EXPECT_EQ(differing, "") << "away from the clicks the sessions differ in these windows";
  // Each slide at its loudest stands out against the music alone.
  std::string faint;
  for (int click : kClicksMs) {
    double loudestAdded = 0, music2 = 0;
    for (int at = click; at < click + kSlideWindowMs; at += kWindowMs) {
      loudestAdded = std::max(loudestAdded, WindowRms(clicked, &music, at));
      music2 += std::pow(WindowRms(music, nullptr, at), 2) * kWindowMs / kSlideWindowMs;
    }
    if (loudestAdded <= std::sqrt(music2)) faint += " " + std::to_string(click);
  }
  EXPECT_EQ(faint, "") << "clicks (ms) whose slide is not heard above the music";
}

}  // namespace
