// Prints the input script that solves level 1 of the deal for a seed and then
// closes the window: for scripted runs outside GoogleTest.
// Usage: gloom_level_one_script SEED
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/level_one.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SEED\n", argv[0]);
    return 2;
  }
  int32_t lastClickMs = 0;
  const std::string script = testing_support::LevelOneScript(static_cast<unsigned>(std::atoi(argv[1])), &lastClickMs);
  if (script.empty()) {
    std::fprintf(stderr, "%s: no solution found for the deal of seed %s\n", argv[0], argv[1]);
    return 1;
  }
  // The round-complete popup stays 6 s, the hall-of-fame notice after it less.
  std::printf("%s%d close\n", script.c_str(), lastClickMs + 12000);
  return 0;
}
