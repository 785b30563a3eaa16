// Waiting loops that never pump messages still end in every host time mode:
// spins on GetTickCount and timeGetTime, and frame pacing when the clock has no
// multimedia timer and follows the tick count. A hang here fails by the test's
// time limit.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include "host/control.h"
#include "core/game_clock.h"

namespace {

const char* Name(host::TimeMode mode) {
  switch (mode) {
    case host::TimeMode::Real: return "real";
    case host::TimeMode::Virtual: return "virtual";
    case host::TimeMode::Manual: return "manual";
  }
  return "?";
}

class SpinningWaitTest : public ::testing::TestWithParam<host::TimeMode> {
 protected:
  void SetUp() override {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    host::settings().timeMode = GetParam();
    ResetGameClockForTest();
  }
  void TearDown() override {
    ResetGameClockForTest();
    host::ResetForTest();
  }
};

// The shape of a fade or a delay: read the clock until enough time has passed.
template <typename ReadClock>
DWORD SpinFor(DWORD milliseconds, ReadClock read) {
  DWORD start = read();
  DWORD now = start;
  while (now - start < milliseconds) now = read();
  return now - start;
}

TEST_P(SpinningWaitTest, LoopsOnTheTickCountEnd) {
  EXPECT_GE(SpinFor(30, [] { return GetTickCount(); }), 30u) << Name(GetParam());
  EXPECT_GE(SpinFor(30, [] { return timeGetTime(); }), 30u) << Name(GetParam());
}

TEST_P(SpinningWaitTest, FramePacingWithoutATimerEnds) {
  host::settings().timerRefused = true;
  StartGameClock();
  int32_t start = GetTicks();
  for (int frame = 0; frame < 3; ++frame) WaitForNextFrame(100);
  // The first frame does not wait; the next two wait one 10 ms slot each.
  EXPECT_GE(GetTicks() - start, 20) << Name(GetParam()) << " time";
}

INSTANTIATE_TEST_SUITE_P(TimeModes, SpinningWaitTest,
                         ::testing::Values(host::TimeMode::Real, host::TimeMode::Virtual, host::TimeMode::Manual),
                         [](const auto& info) { return std::string(Name(info.param)); });

}  // namespace
