#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace lktest {

std::string parentDir() { return fs::current_path().parent_path().string(); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool fileExists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> logLines() {
  std::vector<std::string> lines;
  std::istringstream in(readFile("../lark.log"));
  std::string line;
  while (std::getline(in, line)) {
    // "hh:mm:ss  " prefix
    if (line.size() >= 10 && line[2] == ':' && line[5] == ':' && line[8] == ' ' && line[9] == ' ')
      line = line.substr(10);
    // The window library's remarks on the machine (no vertical sync under
    // Xvfb) may stand between any two of the engine's lines.
    if (line.rfind("SFML::err(): ", 0) == 0) continue;
    lines.push_back(line);
  }
  return lines;
}

bool logHas(const std::string& line) {
  for (const std::string& l : logLines())
    if (l == line) return true;
  return false;
}

std::string fontFile() { return LK_FONT_FILE_PATH; }
std::string gameDir() { return LK_GAME_DIR_PATH; }
std::string sourceDir() { return LK_SOURCE_DIR_PATH; }

void stageFont() {
  fs::copy_file(fontFile(), "../lk-font.ttf", fs::copy_options::overwrite_existing);
}

void stageGameAssets() {
  for (const char* sub : {"sprites", "sounds"}) {
    fs::create_directories(std::string("../") + sub);
    fs::copy(gameDir() + "/" + sub, std::string("../") + sub,
             fs::copy_options::overwrite_existing | fs::copy_options::recursive);
  }
  stageFont();
}

bool requireDisplay() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    ADD_FAILURE() << "no X display: run the suite through scripts/test, which starts Xvfb";
    return false;
  }
  return true;
}

std::string audioRecordingPath() { return parentDir() + "/audio.wav"; }

}  // namespace lktest
