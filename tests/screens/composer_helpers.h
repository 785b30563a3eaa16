// The scene composer's collecting list as text, for tests that check what a draw filed.
#pragma once

#include <sstream>
#include <string>

#include "screens/scene_composer.h"

namespace composer_test {

// "x,y wxh flags" entries (flags in hex), separated by "; ".
inline std::string PendingRequests(const SceneComposer& composer) {
  std::ostringstream text;
  const PtrArray& list = composer.CurrentRequests();
  for (int32_t i = 0; i < list.Count(); ++i) {
    const RestoreRequest& r = *list.At<RestoreRequest>(i);
    text << (i ? "; " : "") << r.x << "," << r.y << " " << r.width << "x" << r.height << " " << std::hex << r.flags
         << std::dec;
  }
  return text.str();
}

}  // namespace composer_test
