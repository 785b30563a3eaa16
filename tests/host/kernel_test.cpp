// The kernel services of the sound engine: threads waiting on auto-reset events, WaitForMultipleObjects,
// MulDiv's rounding, one movable zeroed block, and sound files read by Windows name.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "conformance.h"
#include "support/scratch_folder.h"
#if GLOOM_HOST_HOOKS
#include <sys/stat.h>
#endif

namespace {

using Words = std::vector<DWORD>;

std::atomic<int> released{0};

DWORD WINAPI WaitForEvent(void* event) {
  if (WaitForSingleObject(static_cast<HANDLE>(event), INFINITE) == WAIT_OBJECT_0) ++released;
  return 0;
}

// Each SetEvent releases one waiting thread; the others stay waiting. A thread's handle is signalled when its
// body returns.
TEST(Kernel, AutoResetEventReleasesOneWaiterPerSetEvent) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr), threads[3];
  DWORD id = 0;
  for (HANDLE& thread : threads) ASSERT_NE(thread = CreateThread(nullptr, 0, WaitForEvent, event, 0, &id), nullptr);
  for (int i = 1; i <= 3; ++i) {
    SetEvent(event);
    while (released < i) std::this_thread::yield();
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD{WAIT_TIMEOUT}) << "after SetEvent " << i;
  }
  for (HANDLE thread : threads) EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0), CloseHandle(thread);
  EXPECT_EQ(released, 3);
  CloseHandle(event);
}

// The lowest signalled index wins and only that event is taken; 64 handles are the most, made-up ones fail.
TEST(Kernel, WaitForMultipleObjectsResults) {
  HANDLE events[MAXIMUM_WAIT_OBJECTS + 1];
  for (HANDLE& event : events) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  Words results{WaitForMultipleObjects(4, events, FALSE, 0), WaitForMultipleObjects(4, events, FALSE, 20)};
  SetEvent(events[3]), SetEvent(events[1]);
  results.push_back(WaitForMultipleObjects(4, events, FALSE, INFINITE));
  results.push_back(WaitForMultipleObjects(4, events, FALSE, INFINITE));
  SetEvent(events[63]);
  results.push_back(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, events, FALSE, INFINITE));
  EXPECT_EQ(results, (Words{WAIT_TIMEOUT, WAIT_TIMEOUT, WAIT_OBJECT_0 + 1, WAIT_OBJECT_0 + 3, WAIT_OBJECT_0 + 63}));
  HANDLE madeUp[] = {events[0], reinterpret_cast<HANDLE>(0x7777)};
  EXPECT_EQ((Words{WaitForMultipleObjects(0, events, FALSE, 0), GetLastError(),
                   WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, events, FALSE, 0), GetLastError(),
                   WaitForMultipleObjects(2, madeUp, FALSE, 0), GetLastError()}),
            (Words{WAIT_FAILED, ERROR_INVALID_PARAMETER, WAIT_FAILED, ERROR_INVALID_PARAMETER, WAIT_FAILED,
                   ERROR_INVALID_HANDLE}));
  for (HANDLE event : events) EXPECT_TRUE(CloseHandle(event));
  EXPECT_EQ((Words{DWORD(CloseHandle(events[0])), GetLastError()}), (Words{FALSE, ERROR_INVALID_HANDLE}));
}

// Halves round away from zero; the product has 64 bits; a zero divisor or a result beyond an int gives -1.
TEST(Kernel, MulDivRounds) {
  const int cases[][4] = {{3, 1, 2, 2},   {5, 1, 4, 1},          {-1, 1, 2, -1},
                          {3, 1, -2, -2}, {-3, 1, -2, 2},         {5, 7, 0, -1},
                          {0x40000000, 4, 2, -1}, {0x40000000, 4, 4, 0x40000000}, {88200, 16000, 176400, 8000}};
  for (const auto& c : cases)
    EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << "MulDiv(" << c[0] << ", " << c[1] << ", " << c[2] << ")";
}

TEST(Kernel, MoveableZeroedBlockThroughLockAndUnlock) {
  HGLOBAL dirty = GlobalAlloc(GMEM_FIXED, 4096);  // dirty memory for the allocator to hand out again
  std::fill_n(static_cast<char*>(dirty), 4096, 0x5A);
  GlobalFree(dirty);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::count(bytes, bytes + 4096, 0), 4096);
  EXPECT_EQ(GlobalLock(block), bytes);
  EXPECT_TRUE(GlobalUnlock(block)) << "one lock still held";
  SetLastError(99);
  EXPECT_EQ((Words{DWORD(GlobalUnlock(block)), GetLastError()}), (Words{FALSE, NO_ERROR})) << "the last unlock";
  EXPECT_EQ((std::vector<HGLOBAL>{GlobalFree(block), GlobalFree(block)}), (std::vector<HGLOBAL>{nullptr, block}));
}

// Sound files open by their Windows name, read to the end without error and seek; only regular files open.
TEST(Kernel, FilesReadAndSeekByWindowsName) {
  testing_support::ScratchFolder folder(testing_support::ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(std::filesystem::create_directory("Sounds"));
  ASSERT_TRUE(testing_support::WriteFileBytes("Sounds/Sound.WAV", {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
  auto open = [](const char* name) {
    return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE file = open(".\\sounds\\sound.wav");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  auto read = [&](DWORD bytes) {
    char text[16];
    DWORD count = 0;
    return ReadFile(file, text, bytes, &count, nullptr) ? std::string(text, count) : "(failed)";
  };
  EXPECT_EQ(read(4), "0123");
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 7u);
  EXPECT_EQ((std::vector<std::string>{read(16), read(16)}), (std::vector<std::string>{"789", ""}));
  EXPECT_EQ((Words{SetFilePointer(file, 8, nullptr, FILE_BEGIN), SetFilePointer(file, -20, nullptr, FILE_CURRENT),
                   GetLastError(), SetFilePointer(file, 0, nullptr, FILE_CURRENT)}),
            (Words{8, INVALID_SET_FILE_POINTER, ERROR_NEGATIVE_SEEK, 8}))
      << "a refused seek does not move";
  EXPECT_TRUE(CloseHandle(file));
  std::vector<std::pair<const char*, DWORD>> failing = {{"sounds\\missing.wav", ERROR_FILE_NOT_FOUND}};
#if GLOOM_HOST_HOOKS
  ASSERT_EQ(mkfifo("Sounds/pipe", 0644), 0);  // Linux only: a FIFO would block the read for ever
  failing.push_back({"sounds\\pipe", ERROR_ACCESS_DENIED});
#endif
  for (auto [name, error] : failing) {
    SetLastError(0);
    EXPECT_EQ((Words{open(name) == INVALID_HANDLE_VALUE, GetLastError()}), (Words{1, error})) << name;
  }
}

}  // namespace
