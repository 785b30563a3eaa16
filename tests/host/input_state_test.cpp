// A press that arrives together with its release, after a slow frame, still
// reads down once to the mouse poll before it reads up.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "host/control.h"
#include "host/src/input_state.h"

TEST(InputState, APressReadsDownOnceBeforeItsRelease) {
  // d: press, u: release, r: a read, giving 1 (down) or 0 (up).
  const std::pair<const char*, const char*> cases[] = {
      {"drrur", "110"},   // held across reads
      {"durr", "10"},     // press and release before any read
      {"durdurr", "110"},  // each of two quick clicks is seen
      {"dudrr", "11"},    // pressed again before the first was read: held
      {"urr", "00"},      // a release alone
  };
  for (const auto& [events, expected] : cases) {
    host::ResetForTest();
    std::string reads;
    for (const char* e = events; *e; ++e) {
      if (*e == 'r') reads += GetAsyncKeyState(VK_LBUTTON) & 0x8000 ? '1' : '0';
      else host::SetKeyDown(VK_LBUTTON, *e == 'd');
    }
    EXPECT_EQ(reads, expected) << events;
  }
}
