#include "composer_helpers.h"

#include <cstdio>

#include "screens/scene_composer.h"

namespace composer_test {

std::string PendingRequests(const SceneComposer& composer) {
  std::string text;
  const PtrArray& list = composer.CurrentRequests();
  for (int32_t i = 0; i < list.Count(); ++i) {
    const RestoreRequest* request = list.At<RestoreRequest>(i);
    char entry[80];
    std::snprintf(entry, sizeof entry, "%s%d,%d %dx%d %X", text.empty() ? "" : "; ", request->x, request->y,
                  request->width, request->height, request->flags);
    text += entry;
  }
  return text;
}

}  // namespace composer_test
