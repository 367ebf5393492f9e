// Helpers shared by the tests. Every test process runs in a fresh working
// directory "<tmp>/lk-test-XXXXXX/run", so the engine's "../" paths land in
// "<tmp>/lk-test-XXXXXX" and nothing reaches the source tree.
#ifndef LK_TEST_SUPPORT_H
#define LK_TEST_SUPPORT_H

#include <string>
#include <vector>

namespace lktest {

// The folder the engine's "../" paths lead to.
std::string parentDir();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

// Lines of "../lark.log" with the "hh:mm:ss  " prefix cut off.
std::vector<std::string> logLines();
// True when some line of the log equals the text exactly.
bool logHas(const std::string& line);

// Copies the staged font to "../lk-font.ttf".
void stageFont();
// Copies the game's staged sprites/ and sounds/ next to the working folder.
void stageGameAssets();

// The X display the window tests need; fails the test when there is none.
bool requireDisplay();

// Where OpenAL's wave output of this process is written.
std::string audioRecordingPath();

// Paths of the build.
std::string fontFile();
std::string gameDir();
std::string sourceDir();

}  // namespace lktest

#endif
