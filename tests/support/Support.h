// Shared by the tests. Every test process runs in a fresh folder
// "<tmp>/lk-test-XXXXXX/run" (see main), so the engine's "../" paths for the
// log, the font and the assets land in "<tmp>/lk-test-XXXXXX", and OpenAL's
// "wave" output records what is played there as "audio.wav".
#ifndef LK_TEST_SUPPORT_H
#define LK_TEST_SUPPORT_H

#include <algorithm>
#include <functional>
#include <string>
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
// Points DISPLAY at a new Xvfb that dies with the process, so that keys and
// pointer moves reach no other test's window.
bool privateDisplay();
#endif

// Pixels of the image's area for which the test holds.
int count(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test);

}  // namespace lkt

#endif
