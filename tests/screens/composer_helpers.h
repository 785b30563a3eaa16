// The scene composer's collecting list as text, for tests that check what a draw filed.
#pragma once

#include <cstdio>
#include <string>

#include "screens/scene_composer.h"

namespace composer_test {

// "x,y wxh flags" entries (flags in hex), separated by "; ".
inline std::string PendingRequests(const SceneComposer& composer) {
  std::string text;
  const PtrArray& list = composer.CurrentRequests();
  for (int32_t i = 0; i < list.Count(); ++i) {
    const RestoreRequest* r = list.At<RestoreRequest>(i);
    char entry[80];
    std::snprintf(entry, sizeof entry, "%s%d,%d %dx%d %X", i ? "; " : "", r->x, r->y, r->width, r->height, r->flags);
    text += entry;
  }
  return text;
}

}  // namespace composer_test
