// ShellExecuteA: starting another program, the way the game starts its launcher.
//
// Windows behaviour reproduced: the "open" verb (also a null or empty verb)
// starts the program named by `file` with `parameters` as its command line and
// `directory` as its working directory, and returns at once without waiting.
// A relative file name is looked for in `directory` first, then in the current
// directory. Success is any value above 32 (Windows commonly gives 42); failures
// are the small error numbers: 2 file not found, 3 path not found, 5 access
// denied, 8 out of memory, 11 not a valid program.
// The parameters are split into arguments as a Windows program's start-up code
// splits its command line: blanks separate, double quotes group, backslashes
// escape a quote only.
// The program is started through a short-lived middle process, so it is adopted
// by init at once and never lingers as a zombie of the game; it also runs in
// its own session, as a program started from Explorer would.
//
// FIXME: only programs run; other verbs ("print", "explore") and documents or
// folders opened through file associations return SE_ERR_NOASSOC.
// FIXME: showCmd and the owner window are ignored; the program decides how it
// shows itself.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "paths.h"
#include "shellapi.h"

#ifndef SE_ERR_FNF
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31
#endif
#ifndef ERROR_BAD_FORMAT
#define ERROR_BAD_FORMAT 11
#endif

namespace {

constexpr intptr_t kStarted = 42;

// What the started process reports back through the pipe when it cannot exec.
struct StartFailure {
  int32_t changingDirectory;  // 1 when chdir failed, 0 when exec (or fork) did
  int32_t error;              // errno
};

HINSTANCE AsResult(intptr_t code) { return reinterpret_cast<HINSTANCE>(code); }

bool EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char la = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    char lb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (la != lb) return false;
  }
  return *a == *b;
}

// The rules of CommandLineToArgvW: 2n backslashes before a quote give n
// backslashes and the quote opens or closes a group; 2n+1 give n backslashes and
// a literal quote; other backslashes are literal. Inside a group a doubled quote
// is a literal quote. "" on its own is an empty argument.
std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> arguments;
  if (commandLine == nullptr) return arguments;
  const char* p = commandLine;
  while (true) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') break;
    std::string argument;
    bool quoted = false;
    while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '\\') {
        size_t backslashes = 0;
        while (*p == '\\') ++backslashes, ++p;
        if (*p == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++p;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (*p == '"') {
        ++p;
        if (quoted && *p == '"') {
          argument += '"';
          ++p;
        } else {
          quoted = !quoted;
        }
      } else {
        argument += *p++;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

bool IsRelative(const char* path) {
  bool hasDrive = path[0] != '\0' && path[1] == ':';
  return !hasDrive && path[0] != '\\' && path[0] != '/';
}

std::string FindProgram(const char* file, const char* directory) {
  if (directory && *directory && IsRelative(file)) {
    std::string inDirectory = host::MapWindowsPath((std::string(directory) + "\\" + file).c_str());
    if (access(inDirectory.c_str(), F_OK) == 0) return inDirectory;
  }
  return host::MapWindowsPath(file);
}

std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  std::vector<char> here(4096);
  if (getcwd(here.data(), here.size()) == nullptr) return path;
  return std::string(here.data()) + "/" + path;
}

intptr_t ErrorFromErrno(const StartFailure& failure) {
  if (failure.changingDirectory) return SE_ERR_PNF;
  switch (failure.error) {
    case ENOENT: return SE_ERR_FNF;
    case ENOTDIR: return SE_ERR_PNF;
    case EACCES:
    case EPERM: return SE_ERR_ACCESSDENIED;
    case ENOMEM:
    case EAGAIN: return SE_ERR_OOM;
    default: return ERROR_BAD_FORMAT;
  }
}

// Runs in the forked copy of the game. Other threads may have held locks at the
// moment of the fork, so only async-signal-safe calls are made from here on.
[[noreturn]] void StartDetached(int reportFd, const char* program, char* const* argv, const char* workingDirectory) {
  pid_t launched = fork();
  if (launched != 0) {
    if (launched < 0) {
      StartFailure failure{0, errno};
      (void)!write(reportFd, &failure, sizeof failure);
    }
    _exit(0);
  }
  setsid();
  sigset_t nothingBlocked;
  sigemptyset(&nothingBlocked);
  sigprocmask(SIG_SETMASK, &nothingBlocked, nullptr);
  struct sigaction defaultAction = {};
  defaultAction.sa_handler = SIG_DFL;
  sigaction(SIGPIPE, &defaultAction, nullptr);
  // Windows starts programs without the caller's handles: no audio device or
  // open game file leaks into the launcher. The report pipe closes on exec too.
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  if (workingDirectory && chdir(workingDirectory) != 0) {
    StartFailure failure{1, errno};
    (void)!write(reportFd, &failure, sizeof failure);
    _exit(127);
  }
  execv(program, argv);
  StartFailure failure{0, errno};
  (void)!write(reportFd, &failure, sizeof failure);
  _exit(127);
}

}  // namespace

HINSTANCE WINAPI ShellExecuteA(HWND hWnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               int showCmd) {
  if (operation && *operation && !EqualIgnoringCase(operation, "open")) return AsResult(SE_ERR_NOASSOC);
  if (file == nullptr || *file == '\0') return AsResult(SE_ERR_FNF);

  std::string workingDirectory;
  if (directory && *directory) {
    workingDirectory = host::MapWindowsPath(directory);
    struct stat info;
    if (stat(workingDirectory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return AsResult(SE_ERR_PNF);
  }

  // Made absolute now: the started process changes directory before exec.
  std::string program = Absolute(FindProgram(file, directory));
  struct stat info;
  if (stat(program.c_str(), &info) != 0) return AsResult(errno == ENOTDIR ? SE_ERR_PNF : SE_ERR_FNF);
  if (S_ISDIR(info.st_mode)) return AsResult(SE_ERR_NOASSOC);

  std::vector<std::string> arguments = SplitCommandLine(parameters);
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return AsResult(SE_ERR_OOM);
  pid_t middle = fork();
  if (middle == 0) {
    close(report[0]);
    StartDetached(report[1], program.c_str(), argv.data(),
                  workingDirectory.empty() ? nullptr : workingDirectory.c_str());
  }
  close(report[1]);
  if (middle < 0) {
    close(report[0]);
    return AsResult(SE_ERR_OOM);
  }
  while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }

  // The pipe stays open until the program has exec'd or failed to.
  StartFailure failure{};
  ssize_t got;
  while ((got = read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof failure)) return AsResult(ErrorFromErrno(failure));
  return AsResult(kStarted);
}
