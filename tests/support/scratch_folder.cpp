#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace testing_support {

ScratchFolder::ScratchFolder(Mode mode) {
  // std::filesystem alone, so that the host's tests also build for Windows (tests/host/windows).
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  std::random_device random;
  for (int attempt = 0; !error && path_.empty() && attempt < 100; ++attempt) {
    const std::filesystem::path candidate = temp / ("gloomgrid-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
  }
  if (path_.empty()) {
    ADD_FAILURE() << "cannot make a scratch folder in " << temp;
    return;
  }
  if (mode == kMakeWorkingDirectory) {
    const std::filesystem::path here = std::filesystem::current_path(error);
    if (!error) std::filesystem::current_path(path_, error);
    if (error) {
      ADD_FAILURE() << "cannot enter the scratch folder " << path_;
      return;
    }
    previousWorkingDirectory_ = here.string();
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  if (!previousWorkingDirectory_.empty()) std::filesystem::current_path(previousWorkingDirectory_, error);
  if (error) ADD_FAILURE() << "cannot return to " << previousWorkingDirectory_;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadFileText(const std::string& path) {
  if (!FileExists(path)) return "(missing)";
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

}  // namespace testing_support
