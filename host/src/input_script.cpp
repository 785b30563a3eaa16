// Timed input events for headless runs and golden replays (see input_script.h).
#include "input_script.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/control.h"
#include "regular_file.h"
#include "windows.h"

namespace host {
namespace {

struct ScriptEvent {
  uint32_t atMs;
  std::string verb;
  std::string text;  // a key name or a screenshot path
  int a = 0, b = 0;  // coordinates or a size
};

constexpr size_t kMaxScriptBytes = 64u << 20;

bool loaded = false;
std::vector<ScriptEvent> script;
size_t nextEvent = 0;

int KeyByName(const std::string& name) {
  if (name == "escape") return VK_ESCAPE;
  if (name == "f1") return VK_F1;
  if (name == "space") return VK_SPACE;
  if (name == "return") return VK_RETURN;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return std::toupper(static_cast<unsigned char>(name[0]));
  return 0;
}

// Whole decimal numbers only: "-5", "1e3", "12ms" and values past the type's
// range are mistakes, not times or positions.
bool ReadNumber(const std::string& word, long long low, long long high, long long* value) {
  if (word.empty() || word.size() > 11) return false;
  size_t start = (word[0] == '-' && low < 0) ? 1 : 0;
  if (start == word.size()) return false;
  for (size_t i = start; i < word.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
  *value = std::strtoll(word.c_str(), nullptr, 10);
  return *value >= low && *value <= high;
}

// Fills `event` from the words of one line; the reason when they make no event.
const char* ParseEvent(const std::vector<std::string>& words, ScriptEvent* event) {
  long long number = 0;
  if (!ReadNumber(words[0], 0, UINT32_MAX, &number)) return "the time is not a whole number of milliseconds";
  event->atMs = static_cast<uint32_t>(number);
  if (words.size() < 2) return "no event after the time";
  event->verb = words[1];
  const std::string& v = event->verb;
  size_t arguments = words.size() - 2;
  if (v == "move" || v == "maximize") {
    long long x = 0, y = 0;
    long long low = v == "move" ? INT16_MIN : 1;
    if (arguments != 2 || !ReadNumber(words[2], low, INT16_MAX, &x) || !ReadNumber(words[3], low, INT16_MAX, &y))
      return v == "move" ? "move takes a position x y" : "maximize takes a size w h";
    event->a = static_cast<int>(x);
    event->b = static_cast<int>(y);
    return nullptr;
  }
  if (v == "keydown" || v == "keyup") {
    if (arguments != 1 || KeyByName(words[2]) == 0) return "the key is not escape, f1, space, return or a letter";
    event->text = words[2];
    return nullptr;
  }
  if (v == "screenshot") {
    if (arguments != 1) return "screenshot takes one path";
    event->text = words[2];
    return nullptr;
  }
  for (const char* plain : {"ldown", "lup", "rdown", "rup", "close", "activate", "deactivate", "restore"})
    if (v == plain) return arguments == 0 ? nullptr : "this event takes nothing after it";
  return "unknown event";
}

void Run(const ScriptEvent& event) {
  const std::string& v = event.verb;
  if (v == "move") InjectMouseMove(event.a, event.b);
  else if (v == "ldown") InjectMouseButton(VK_LBUTTON, true);
  else if (v == "lup") InjectMouseButton(VK_LBUTTON, false);
  else if (v == "rdown") InjectMouseButton(VK_RBUTTON, true);
  else if (v == "rup") InjectMouseButton(VK_RBUTTON, false);
  else if (v == "keydown") InjectKey(KeyByName(event.text), true);
  else if (v == "keyup") InjectKey(KeyByName(event.text), false);
  else if (v == "close") InjectClose();
  else if (v == "activate") InjectActivate(true);
  else if (v == "deactivate") InjectActivate(false);
  else if (v == "maximize") InjectMaximize(event.a, event.b);
  else if (v == "restore") InjectRestore();
  else if (v == "screenshot" && !SaveScreenshot(event.text.c_str()))
    ReportTestHookFailure("cannot write the screenshot %s (at %u ms)", event.text.c_str(), event.atMs);
  if (v == "move" || v == "maximize")
    Trace("script %u %s %d %d", event.atMs, v.c_str(), event.a, event.b);
  else
    Trace("script %u %s %s", event.atMs, v.c_str(), event.text.c_str());
}

}  // namespace

bool LoadInputScript() {
  if (loaded) return true;
  loaded = true;
  const std::string& path = settings().scriptPath;
  if (path.empty()) return true;
  std::optional<std::string> text = ReadRegularFile(path, kMaxScriptBytes);
  if (!text) {
    ReportTestHookFailure("cannot read the input script %s", path.c_str());
    return false;
  }
  std::istringstream in(*text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream split(line);
    std::vector<std::string> words;
    for (std::string word; split >> word;) words.push_back(word);
    if (words.empty()) continue;
    ScriptEvent event{};
    if (const char* reason = ParseEvent(words, &event)) {
      ReportTestHookFailure("input script %s line %d: %s", path.c_str(), lineNumber, reason);
      script.clear();
      return false;
    }
    script.push_back(event);
  }
  return true;
}

void RunDueScriptEvents() {
  if (!loaded) LoadInputScript();
  uint32_t now = HostMilliseconds();
  while (nextEvent < script.size() && script[nextEvent].atMs <= now) Run(script[nextEvent++]);
}

void ResetInputScript() {
  loaded = false;
  script.clear();
  nextEvent = 0;
}

}  // namespace host
