// The kernel services of the sound engine: events and waits across threads,
// threads' exit codes, MulDiv's rounding, movable zeroed memory, and files
// opened by Windows name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(KernelWait, AutoResetEventReleasesOneWaiterPerSetEvent) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) ++released;
    });
  for (int i = 1; i <= 3; ++i) {
    SetEvent(event);
    while (released < i) std::this_thread::yield();
    // Whoever is still waiting stays waiting: the event reset itself.
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "after SetEvent " << i;
  }
  for (auto& waiter : waiters) waiter.join();
  EXPECT_EQ(released, 3);
  CloseHandle(event);
}

TEST(KernelWait, ResultsOfWaitForMultipleObjects) {
  HANDLE events[MAXIMUM_WAIT_OBJECTS + 1];
  for (HANDLE& event : events) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);

  EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 20), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(events[3]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, INFINITE), WAIT_OBJECT_0 + 1) << "lowest index first";
  EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, INFINITE), WAIT_OBJECT_0 + 3) << "and only that one taken";
  SetEvent(events[63]);
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, events, FALSE, INFINITE), WAIT_OBJECT_0 + 63);

  struct Failing {
    const char* what;
    DWORD count;
    HANDLE bad;
    DWORD error;
  } failing[] = {
      {"no handles", 0, nullptr, ERROR_INVALID_PARAMETER},
      {"65 handles", MAXIMUM_WAIT_OBJECTS + 1, nullptr, ERROR_INVALID_PARAMETER},
      {"a made-up handle", 2, reinterpret_cast<HANDLE>(0x7777), ERROR_INVALID_HANDLE},
  };
  for (const Failing& f : failing) {
    HANDLE saved = events[1];
    if (f.bad) events[1] = f.bad;
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(f.count, events, FALSE, 0), WAIT_FAILED) << f.what;
    EXPECT_EQ(GetLastError(), f.error) << f.what;
    events[1] = saved;
  }
  for (HANDLE event : events) EXPECT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(events[0]));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

unsigned long WINAPI WaitThenReturn(void* parameter) {
  WaitForSingleObject(static_cast<HANDLE>(parameter), INFINITE);
  return 42;
}

TEST(KernelThread, HandleSignalledWithTheExitCodeWhenTheBodyReturns) {
  HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, WaitThenReturn, go, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  SetEvent(go);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  CloseHandle(thread);
  CloseHandle(go);
}

TEST(KernelMath, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int number, numerator, denominator, expected;
  } cases[] = {
      {1, 1, 2, 1},       {3, 1, 2, 2},        {5, 1, 4, 1},    {6, 1, 4, 2},
      {-1, 1, 2, -1},     {1, -3, 2, -2},      {3, 1, -2, -2},  {-3, 1, -2, 2},
      {2, 1, 3, 1},       {1, 1, 3, 0},        {7, 0, 5, 0},    {5, 7, 0, -1},
      {0x40000000, 4, 2, -1},                  // out of range
      {0x40000000, 4, 4, 0x40000000},          // a product beyond 32 bits
      {88200, 16 * 1000, 22050 * 8, 8000},     // a 64-bit product
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << "MulDiv(" << c.number << ", " << c.numerator << ", " << c.denominator << ")";
}

TEST(KernelMemory, MoveableZeroedBlockThroughLockAndUnlock) {
  // Leave dirty memory behind for the allocator to hand out again.
  HGLOBAL dirty = GlobalAlloc(GMEM_FIXED, 4096);
  std::memset(dirty, 0xAB, 4096);
  GlobalFree(dirty);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
  ASSERT_NE(block, nullptr);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  EXPECT_NE(static_cast<void*>(bytes), block) << "a moveable block's handle is not its memory";
  int nonZero = 0;
  for (int i = 0; i < 4096; ++i) nonZero += bytes[i] != 0;
  EXPECT_EQ(nonZero, 0);
  bytes[4095] = 7;
  EXPECT_EQ(GlobalLock(block), bytes);
  EXPECT_TRUE(GlobalUnlock(block)) << "one lock still held";
  SetLastError(99);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR)) << "the last unlock is not an error";
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block) << "a freed handle is refused";
}

class KernelFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = "kernel_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
    mkdir(folder.c_str(), 0755);
    FILE* file = std::fopen((folder + "/Sound.WAV").c_str(), "wb");
    std::fputs("0123456789", file);
    std::fclose(file);
  }
  void TearDown() override {
    std::remove((folder + "/Sound.WAV").c_str());
    std::remove((folder + "/pipe").c_str());
    rmdir(folder.c_str());
  }
  HANDLE Open(const std::string& name) {
    return CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  }
  std::string folder;
};

TEST_F(KernelFile, ReadsAndSeeksAFileFoundByItsWindowsName) {
  HANDLE file = Open(".\\" + folder + "\\sound.wav");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char text[16] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(file, text, 4, &read, nullptr));
  EXPECT_EQ(std::string(text, read), "0123");
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 7u);
  EXPECT_TRUE(ReadFile(file, text, 16, &read, nullptr)) << "the end of the file is no error";
  EXPECT_EQ(std::string(text, read), "789");
  EXPECT_TRUE(ReadFile(file, text, 16, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 8u);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 8u) << "a refused seek does not move";
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(ReadFile(file, text, 1, &read, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(KernelFile, OnlyRegularFilesOpen) {
  mkfifo((folder + "/pipe").c_str(), 0644);
  struct Case {
    std::string name;
    DWORD error;
  } cases[] = {
      {folder + "\\missing.wav", ERROR_FILE_NOT_FOUND},
      {folder + "\\nowhere\\missing.wav", ERROR_PATH_NOT_FOUND},
      {folder, ERROR_ACCESS_DENIED},
      {folder + "\\pipe", ERROR_ACCESS_DENIED},  // would block a reader forever
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(Open(c.name), INVALID_HANDLE_VALUE) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
}

}  // namespace
