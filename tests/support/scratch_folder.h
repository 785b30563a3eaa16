// Scratch folders for tests that write files, and the few file reads and writes such tests need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it when the object goes. Made the
// working directory for its lifetime when asked, for code that opens files by relative names; the previous one comes
// back at the end.
class ScratchFolder {
 public:
  enum Mode { kStayInWorkingDirectory, kMakeWorkingDirectory };

  explicit ScratchFolder(Mode mode = kStayInWorkingDirectory);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::string previousWorkingDirectory_;
};

bool FileExists(const std::string& path);
// The whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
// The whole file as text; "(missing)" when it cannot be read, so that a comparison says why.
std::string ReadFileText(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace testing_support
