// The log file "../lark.log": entry format and length, time stamps, a fresh
// file for every start-up, and writes while there is no file.
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <SFML/System/Err.hpp>
#include <gtest/gtest.h>

#include "LogManager.h"
#include "TestSupport.h"

namespace {

lk::LogManager& logManager() { return lk::LogManager::getInstance(); }

std::string rawLog() { return lktest::readFile("../lark.log"); }

const std::vector<std::string> OPENING_LINES = {
    "LogManager::startUp(): lark.log was opened successfully.",
    "LogManager::startUp(): LogManager was successfully started.",
};

}  // namespace

TEST(LogManagerTest, EntryIsTimeTwoBlanksAndTextOrTheTextAlone) {
  ASSERT_EQ(logManager().startUp(), 0);
  const std::size_t before = rawLog().size();
  // Flushing is on by default: the entry is in the file when writeLog returns.
  EXPECT_EQ(logManager().writeLog("abc\n"), 14);
  EXPECT_EQ(logManager().writeLog("%d-%s\n", 7, "x"), 14);
  const std::string added = rawLog().substr(before);
  EXPECT_TRUE(std::regex_match(added, std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]  abc\n"
                                                 "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]  7-x\n")))
      << added;

  logManager().setTimeStamp(false);
  const std::string stamped = rawLog();
  EXPECT_EQ(logManager().writeLog("plain %d %s\n", 5, "text"), 13);
  EXPECT_EQ(rawLog(), stamped + "plain 5 text\n");
}

TEST(LogManagerTest, EveryStartUpRewritesTheFile) {
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().writeLog("from the first run\n");
  logManager().shutDown();
  ASSERT_TRUE(lktest::logHas("from the first run"));

  // A start-up while the file is open leaves nothing of the old stream behind,
  // not even what it still holds unflushed.
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().setFlush(false);
  logManager().writeLog("held in the old stream\n");
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().writeLog("new\n");
  logManager().shutDown();
  std::fflush(nullptr);  // any stream still open somewhere would write now
  std::vector<std::string> expected = OPENING_LINES;
  expected.push_back("new");
  EXPECT_EQ(lktest::logLines(), expected);
}

TEST(LogManagerTest, WritingWithoutAFileIsDroppedQuietly) {
  EXPECT_EQ(logManager().writeLog("before %s\n", "start"), 0);
  EXPECT_FALSE(lktest::fileExists("../lark.log"));

  // After shut-down; a second shut-down is harmless too.
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().shutDown();
  EXPECT_EQ(logManager().writeLog("after shut-down\n"), 0);
  logManager().shutDown();
  EXPECT_EQ(lktest::logLines(), OPENING_LINES);

  // After a start-up that failed ("../lark.log" is a folder), the file of the
  // earlier run is closed too.
  ASSERT_EQ(logManager().startUp(), 0);
  std::error_code renamed;
  std::filesystem::rename("../lark.log", "../old.log", renamed);
  if (renamed) GTEST_SKIP() << "this system renames no open file (Windows)";
  std::filesystem::create_directory("../lark.log");
  EXPECT_EQ(logManager().startUp(), -1);
  EXPECT_FALSE(logManager().isStarted());
  EXPECT_EQ(logManager().writeLog("lost\n"), 0);
  EXPECT_EQ(lktest::readFile("../old.log").find("lost"), std::string::npos);
}

// The window and audio library's error stream: one line per message while
// the log is started, each message once, and at shut-down how often each
// repeated; before start-up and after shut-down it is the library's own.
TEST(LogManagerTest, SfmlErrorsAreLoggedOnceEachWithTheirCountAtShutDown) {
  std::ostringstream outside;
  std::streambuf* const original = sf::err().rdbuf(outside.rdbuf());
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().setTimeStamp(false);
  for (int i = 0; i < 3; ++i) sf::err() << "Failed to play\n  the sound" << std::endl;
  sf::err() << "Other" << std::endl;
  sf::err() << "Failed to play the sound" << std::endl;
  logManager().shutDown();
  sf::err() << "after" << std::endl;
  sf::err().rdbuf(original);
  const std::string log = rawLog();
  EXPECT_EQ(log.substr(log.find("SFML")),
            "SFML::err(): Failed to play the sound\n"
            "SFML::err(): Other\n"
            "SFML::err(): 4 times in all: Failed to play the sound\n");
  EXPECT_EQ(outside.str(), "after\n");
}
