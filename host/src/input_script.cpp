// Timed input events for headless runs and golden replays (see input_script.h).
#include "input_script.h"

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/control.h"
#include "windows.h"

namespace host {
namespace {

struct ScriptEvent {
  uint32_t atMs;
  std::string verb;
  std::string arg1, arg2;
};

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

void Load() {
  loaded = true;
  if (settings().scriptPath.empty()) return;
  std::ifstream in(settings().scriptPath);
  if (!in) {
    std::fprintf(stderr, "gloomgrid: cannot read input script %s\n", settings().scriptPath.c_str());
    return;
  }
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    ScriptEvent event{};
    if (!(words >> event.atMs >> event.verb)) {
      if (line.find_first_not_of(" \t\r") != std::string::npos)
        std::fprintf(stderr, "gloomgrid: input script line %d ignored\n", lineNumber);
      continue;
    }
    words >> event.arg1 >> event.arg2;
    script.push_back(event);
  }
}

void Run(const ScriptEvent& event) {
  const std::string& v = event.verb;
  int a = std::atoi(event.arg1.c_str()), b = std::atoi(event.arg2.c_str());
  if (v == "move") InjectMouseMove(a, b);
  else if (v == "ldown") InjectMouseButton(VK_LBUTTON, true);
  else if (v == "lup") InjectMouseButton(VK_LBUTTON, false);
  else if (v == "rdown") InjectMouseButton(VK_RBUTTON, true);
  else if (v == "rup") InjectMouseButton(VK_RBUTTON, false);
  else if (v == "keydown") InjectKey(KeyByName(event.arg1), true);
  else if (v == "keyup") InjectKey(KeyByName(event.arg1), false);
  else if (v == "close") InjectClose();
  else if (v == "activate") InjectActivate(true);
  else if (v == "deactivate") InjectActivate(false);
  else if (v == "maximize") InjectMaximize(a, b);
  else if (v == "restore") InjectRestore();
  else if (v == "screenshot") SaveScreenshot(event.arg1.c_str());
  else std::fprintf(stderr, "gloomgrid: unknown input script event '%s'\n", v.c_str());
  Trace("script %u %s %s %s", event.atMs, v.c_str(), event.arg1.c_str(), event.arg2.c_str());
}

}  // namespace

void RunDueScriptEvents() {
  if (!loaded) Load();
  uint32_t now = HostMilliseconds();
  while (nextEvent < script.size() && script[nextEvent].atMs <= now) Run(script[nextEvent++]);
}

void ResetInputScript() {
  loaded = false;
  script.clear();
  nextEvent = 0;
}

}  // namespace host
