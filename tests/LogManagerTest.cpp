// The log file "../lark.log": entry format and length, time stamps, a fresh
// file for every start-up, and writes while there is no file.
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "LogManager.h"
#include "TestSupport.h"

namespace {

lk::LogManager& logManager() { return lk::LogManager::getInstance(); }

std::string rawLog() { return lktest::readFile("../lark.log"); }

}  // namespace

TEST(LogManagerTest, StampedEntryIsTimeTwoBlanksAndText) {
  ASSERT_EQ(logManager().startUp(), 0);
  const std::size_t before = rawLog().size();
  // Flushing is on by default: the entry is in the file when writeLog returns.
  EXPECT_EQ(logManager().writeLog("abc\n"), 14);
  EXPECT_EQ(logManager().writeLog("%d-%s\n", 7, "x"), 14);
  const std::string added = rawLog().substr(before);
  EXPECT_TRUE(std::regex_match(added, std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]  abc\n"
                                                 "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]  7-x\n")))
      << added;
}

TEST(LogManagerTest, WithoutTimeStampsTheEntryIsExactlyTheText) {
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().setTimeStamp(false);
  const std::string before = rawLog();
  EXPECT_EQ(logManager().writeLog("plain %d %s\n", 5, "text"), 13);
  EXPECT_EQ(rawLog(), before + "plain 5 text\n");
}

TEST(LogManagerTest, EveryStartUpRewritesTheFile) {
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().writeLog("from the first run\n");
  logManager().shutDown();
  ASSERT_TRUE(lktest::logHas("from the first run"));

  ASSERT_EQ(logManager().startUp(), 0);
  logManager().writeLog("from the second run\n");
  const std::vector<std::string> expected = {
      "LogManager::startUp(): lark.log was opened successfully.",
      "LogManager::startUp(): LogManager was successfully started.",
      "from the second run",
  };
  EXPECT_EQ(lktest::logLines(), expected);
}

TEST(LogManagerTest, StartUpWhileOpenLeavesNothingOfTheOldFileBehind) {
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().setFlush(false);
  logManager().writeLog("held in the old stream\n");
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().writeLog("new\n");
  logManager().shutDown();
  // Any stream still open somewhere would write its buffer now.
  std::fflush(nullptr);
  const std::vector<std::string> expected = {
      "LogManager::startUp(): lark.log was opened successfully.",
      "LogManager::startUp(): LogManager was successfully started.",
      "new",
  };
  EXPECT_EQ(lktest::logLines(), expected);
}

TEST(LogManagerTest, WritingWithoutAFileIsDroppedQuietly) {
  // Before any start-up.
  EXPECT_EQ(logManager().writeLog("before %s\n", "start"), 0);
  EXPECT_FALSE(lktest::fileExists("../lark.log"));

  // After a start-up that failed: "../lark.log" is a folder.
  std::filesystem::create_directory("../lark.log");
  EXPECT_EQ(logManager().startUp(), -1);
  EXPECT_FALSE(logManager().isStarted());
  EXPECT_EQ(logManager().writeLog("after a failed start\n"), 0);
  std::filesystem::remove("../lark.log");

  // After shut-down; a second shut-down is harmless too.
  ASSERT_EQ(logManager().startUp(), 0);
  logManager().shutDown();
  const std::string closed = rawLog();
  EXPECT_EQ(logManager().writeLog("after shut-down\n"), 0);
  logManager().shutDown();
  EXPECT_EQ(rawLog(), closed);
}

TEST(LogManagerTest, FailedStartUpAfterARunClosesTheOldFile) {
  ASSERT_EQ(logManager().startUp(), 0);
  std::filesystem::rename("../lark.log", "../old.log");
  std::filesystem::create_directory("../lark.log");
  EXPECT_EQ(logManager().startUp(), -1);
  EXPECT_FALSE(logManager().isStarted());
  // Nothing reaches the file of the earlier start-up any more.
  EXPECT_EQ(logManager().writeLog("lost\n"), 0);
  EXPECT_EQ(lktest::readFile("../old.log").find("lost"), std::string::npos);
}
