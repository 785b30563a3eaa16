// One fuzz target's seed corpus and kept regressions replayed through its
// entry point in the ordinary suite: every input a run once crashed on must
// stay harmless. A broken promise aborts the program, which fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

std::vector<std::filesystem::path> KeptInputs(const std::string& folders) {
  std::vector<std::filesystem::path> inputs;
  std::stringstream list(folders);
  for (std::string folder; std::getline(list, folder, ':');) {
    std::error_code missing;  // a target without regressions has no folder for them
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

TEST(Replay, EverySeedAndRegressionIsHarmless) {
  const std::vector<std::filesystem::path> inputs = KeptInputs(FUZZ_INPUTS);
  ASSERT_FALSE(inputs.empty()) << "no inputs in " << FUZZ_INPUTS;
  ASSERT_EQ(LLVMFuzzerInitialize(nullptr, nullptr), 0);
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.string());
    std::printf("replaying %s\n", input.c_str());  // named before a broken promise aborts
    std::fflush(stdout);
    std::ifstream file(input, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
  }
}

}  // namespace
