// Each test process runs in "<tmp>/lk-test-XXXXXX/run", so the engine's "../" paths (log, font,
// assets) land in "<tmp>/lk-test-XXXXXX", where OpenAL's "wave" output records "audio.wav".
#ifndef LK_TEST_SUPPORT_H
#define LK_TEST_SUPPORT_H

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <SFML/Graphics.hpp>

#include <gtest/gtest.h>

// The managers every test starts and stops.
#include "DisplayManager.h"
#include "GameManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "WorldManager.h"

namespace lkt {

using Entries = std::vector<std::string>;
inline lk::WorldManager& world() { return lk::WorldManager::getInstance(); }

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// The lines of a log, each without its "hh:mm:ss  " time stamp.
std::vector<std::string> logLines(const std::string& path = "../lark.log");
int logCount(const std::string& line, const std::string& path = "../lark.log");
bool run(const std::string& shell_command);  // quietly; true on status 0
std::string gameDir();  // the build's staged game
void stageAssets();     // its sprites/, sounds/ and font next to the run folder
#ifndef _WIN32
bool privateDisplay();  // DISPLAY on a new Xvfb of this process alone
#endif

int count(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test);

// WAV files: a chunk's content after its claimed size; a RIFF WAVE file of (id, sized content) chunks.
inline std::string sized(std::uint32_t claimed, const std::string& content) {
  return std::string{char(claimed), char(claimed >> 8), char(claimed >> 16), char(claimed >> 24)} + content;
}
inline std::string wav(const std::vector<std::pair<std::string, std::string>>& chunks) {
  std::string body = "WAVE";
  for (const auto& [id, content] : chunks) body += id + content;
  return "RIFF" + sized(std::uint32_t(body.size()), body);
}
const std::string WAV_FORMAT = sized(16, std::string("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 16));  // 16-bit mono, 8 kHz

}  // namespace lkt

#endif
