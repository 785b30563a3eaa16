// The scene composer's pending requests as text, for the screen tests that
// check what a draw filed.
#pragma once

#include <string>

class SceneComposer;

namespace composer_test {

// The composer's collecting list as "x,y wxh flags" entries (flags in hex),
// separated by "; ".
std::string PendingRequests(const SceneComposer& composer);

}  // namespace composer_test
