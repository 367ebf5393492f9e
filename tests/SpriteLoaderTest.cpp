// The sprite file format, the loader's messages and echo, the sprite table,
// and the bounds that keep hostile files from taking the loader down.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LogManager.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"

namespace {

lk::ResourceManager& startResources() {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager::getInstance().startUp();
  return lk::ResourceManager::getInstance();
}

struct Loaded {
  int result;
  std::string echo;  // what went to standard output
};

// Writes the file next to the working folder and loads it.
Loaded load(const std::string& name, const std::string& content, const std::string& label) {
  lktest::writeFile("../" + name, content);
  testing::internal::CaptureStdout();
  const int result = lk::ResourceManager::getInstance().loadSprite("../" + name, label);
  return {result, testing::internal::GetCapturedStdout()};
}

// A registered sprite in one line, "frames WxH slowdown colour:" and the
// text of every frame followed by "|"; empty when the label has none.
std::string summary(const std::string& label) {
  const lk::Sprite* s = lk::ResourceManager::getInstance().getSprite(label);
  if (s == nullptr) return "";
  std::string out = std::to_string(s->getFrameCount()) + " " + std::to_string(s->getWidth()) + "x" +
                    std::to_string(s->getHeight()) + " " + std::to_string(s->getSlowdown()) + " " +
                    std::to_string(int(s->getColor())) + ":";
  for (int i = 0; i < s->getFrameCount(); ++i) out += s->getFrame(i).getString() + "|";
  return out;
}

std::string loadedLine(const std::string& name) {
  return "ResourceManager::loadSprite(): Sprite successfully loaded from ../" + name + ".";
}

}  // namespace

TEST(SpriteFile, ReadsAsTheFormatSays) {
  startResources();
  struct Case {
    std::string file;
    int result;
    std::string echo;  // to standard output; empty: every line of the file
    std::string sprite;
  };
  std::vector<Case> cases = {
      // Two frames of 3 x 2; a line after the last frame is not read.
      {"2\n3\n2\n4\nyellow\nabc\nd f\nghi\njkl\nnot read\n", 0, "2\n3\n2\n4\nyellow\nabc\nd f\nghi\njkl\n",
       "2 3x2 4 3:abcd f|ghijkl|"},
      // Numbers by the atoi rule; a line starting with a word reads 0, beyond int saturates.
      {" \t2 frames\n+3wide\n1 row\nslow 4\nblue\nabc\nxyz\n", 0, "", "2 3x1 0 4:abc|xyz|"},
      {"1\n1\n1\n-1\ncyan\nx\n", 0, "", "1 1x1 -1 6:x|"},
      {"1\n1\n1\n99999999999999999999\ncyan\nx\n", 0, "", "1 1x1 2147483647 6:x|"},
      {"0\n3\n2\n1\ngreen\nabc\ndef\n", 0, "0\n3\n2\n1\ngreen\n", "0 3x2 1 2:"},
      // Cut before the colour line: white, and the missing row repeats the last
      // line; after a final line feed the colour line is empty instead.
      {"1\n2\n1\n5", 0, "1\n2\n1\n5\n5\n", "1 2x1 5 7:5|"},
      {"1\n2\n1\n5\n", -1, "1\n2\n1\n5\n", ""},
      // Rows that stop early: empty after a final line feed, else the last line again.
      {"2\n3\n2\n1\nred\nabc\ndef\nghi\n", 0, "2\n3\n2\n1\nred\nabc\ndef\nghi\n\n", "2 3x2 1 1:abcdef|ghi|"},
      {"2\n3\n2\n1\nred\nabc\ndef\nghi", 0, "2\n3\n2\n1\nred\nabc\ndef\nghi\nghi\n", "2 3x2 1 1:abcdef|ghighi|"},
      {"1\r\n2\r\n3\r\n1\r\nred\r\nab\r\n", 0, "1\n2\n3\n1\nred\nab\n\n\n", "1 2x3 1 1:ab|"},
      // Rows verbatim: a long one spills into the next; blanks and any byte kept.
      {"1\n3\n2\n1\nred\nabcde\nf\n", 0, "", "1 3x2 1 1:abcdef|"},
      {"1\n4\n2\n1\nred\n a  \nb\n", 0, "", "1 4x2 1 1: a  b|"},
      {std::string("1\n3\n2\n1\nred\na\0b\n\xff\x80\x01\n", 20), 0, "1\n3\n2\n1\nred\na\n\xff\x80\x01\n",
       std::string("1 3x2 1 1:a\0b\xff\x80\x01|", 17)},
  };
  Case crlf = cases[0];  // reads as LF
  for (std::size_t at = 0; (at = crlf.file.find('\n', at)) != std::string::npos; at += 2) crlf.file.insert(at, "\r");
  cases.push_back(crlf);
  const char* words[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
  for (int i = 0; i < 8; ++i)
    cases.push_back({std::string("1\n1\n1\n1\n") + words[i] + "\n#\n", 0, "", "1 1x1 1 " + std::to_string(i) + ":#|"});
  // A wrong colour word fails once lines 1 to 4 are echoed.
  for (const char* bad : {"Red", "red ", "", " red", "RED", "purple", "red\tx"})
    cases.push_back({std::string("1\n1\n1\n1\n") + bad + "\n#\n", -1, "1\n1\n1\n1\n", ""});

  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string label = "s" + std::to_string(i);
    const Loaded r = load(label + "-spr.txt", cases[i].file, label);
    EXPECT_EQ(cases[i].result, r.result) << i;
    EXPECT_EQ(cases[i].echo.empty() ? cases[i].file : cases[i].echo, r.echo) << i;
    EXPECT_EQ(cases[i].sprite, summary(label)) << i;
    EXPECT_EQ(r.result == 0, lktest::logHas(loadedLine(label + "-spr.txt"))) << i;
  }
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): no valid color was provided."));
}

TEST(SpriteTable, LabelsFirstLoadedWinsCaseMattersEmptyIsAccepted) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, load("a-spr.txt", "1\n1\n1\n1\nred\na\n", "duck").result);
  ASSERT_EQ(0, load("b-spr.txt", "1\n2\n1\n1\nred\nbb\n", "duck").result);
  ASSERT_EQ(0, load("c-spr.txt", "1\n3\n1\n1\nred\nccc\n", "").result);
  EXPECT_EQ("1 1x1 1 1:a|", summary("duck"));
  EXPECT_EQ(nullptr, rm.getSprite("Duck"));
  EXPECT_EQ(nullptr, rm.getSprite("duck "));
  EXPECT_EQ("1 3x1 1 1:ccc|", summary(""));
}

TEST(SpriteTable, FilesThatCannotBeReadFail) {
  lk::ResourceManager& rm = startResources();
  std::filesystem::create_directory("../folder-spr.txt");
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, rm.loadSprite("../sprites/nothing-spr.txt", "nothing"));
  EXPECT_EQ(-1, rm.loadSprite("../folder-spr.txt", "folder"));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): Sprite file ../sprites/nothing-spr.txt could not be opened."));
#ifdef _WIN32
  const std::string folder_failure = "opened";  // Windows opens no folder as a file
#else
  const std::string folder_failure = "read";
#endif
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): Sprite file ../folder-spr.txt could not be " +
                             folder_failure + "."));
  EXPECT_EQ(nullptr, rm.getSprite("nothing"));
  EXPECT_EQ(nullptr, rm.getSprite("folder"));
}

TEST(SpriteTable, HoldsFiveHundredThenRefusesWithoutOpeningAndEmptiesOnShutDown) {
  lk::ResourceManager& rm = startResources();
  lktest::writeFile("../dot-spr.txt", "1\n1\n1\n1\nwhite\n.\n");
  testing::internal::CaptureStdout();
  for (int i = 0; i < lk::MAX_SPRITES; ++i) ASSERT_EQ(0, rm.loadSprite("../dot-spr.txt", "dot" + std::to_string(i)));
  testing::internal::GetCapturedStdout();
  ASSERT_NE(nullptr, rm.getSprite("dot499"));

  // The file is not opened: no echo, no "could not be opened" for a missing one.
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, rm.loadSprite("../dot-spr.txt", "dot500"));
  EXPECT_EQ(-1, rm.loadSprite("../absent-spr.txt", "absent"));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): sprite array is full. ../dot-spr.txt could not be loaded."));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): sprite array is full. ../absent-spr.txt could not be loaded."));
  EXPECT_FALSE(lktest::logHas("ResourceManager::loadSprite(): Sprite file ../absent-spr.txt could not be opened."));
  EXPECT_EQ(nullptr, rm.getSprite("dot500"));

  rm.shutDown();
  EXPECT_EQ(nullptr, rm.getSprite("dot0"));
  EXPECT_EQ(nullptr, rm.getSprite("dot499"));
}

TEST(SpriteHostileFile, HugeOrNegativeSizesAndOverlongLinesFailAndTheBoundsThemselvesLoad) {
  lk::ResourceManager& rm = startResources();
  const std::string head = "ResourceManager::loadSprite(): ../bad-spr.txt ";
  const std::string negative = head + "has a negative frame count, width or height ";
  const std::string large = head + "is too large: ";
  const std::string bounds = " characters (at most 10000 frames and 1000000 characters).";
  const std::string rows = "\n1\nred\nabc\ndef\n";
  const std::string line(1000001, 'x');  // longer than any row within the bounds
  const struct {
    std::string file, message;
  } cases[] = {
      {"-1\n3\n2" + rows, negative + "(-1, 3, 2)."},
      {"1\n-3\n2" + rows, negative + "(1, -3, 2)."},
      {"1\n3\n-2" + rows, negative + "(1, 3, -2)."},
      {"-2147483648\n-1\n-1" + rows, negative + "(-2147483648, -1, -1)."},
      {"10001\n1\n1" + rows, large + "10001 frames of 1 x 1" + bounds},
      {"1\n1000001\n1" + rows, large + "1 frames of 1000001 x 1" + bounds},
      {"1000\n1000\n2" + rows, large + "1000 frames of 1000 x 2" + bounds},
      {"1\n0\n2000000000" + rows, large + "1 frames of 0 x 2000000000" + bounds},
      {"2147483647\n2147483647\n2147483647" + rows, large + "2147483647 frames of 2147483647 x 2147483647" + bounds},
      {"10000\n2147483647\n2147483647" + rows, large + "10000 frames of 2147483647 x 2147483647" + bounds},
      {"9999\n1000\n2147483647" + rows, large + "9999 frames of 1000 x 2147483647" + bounds},
      {"99999999999999999999\n1\n1" + rows, large + "2147483647 frames of 1 x 1" + bounds},
      {"1\n3\n1\n1\nred\n" + line + "\n", head + "has a line longer than 1000000 characters."},
      {line, head + "has a line longer than 1000000 characters."},
      // A long last line without a line feed, repeated for a thousand missing rows.
      {"1000\n1000\n1\n1\nred\n" + std::string(5000, 'y'),
       "ResourceManager::loadSprite(): the frames of ../bad-spr.txt hold more than 1000000 characters."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(-1, load("bad-spr.txt", c.file, "bad").result) << c.message;
    const std::vector<std::string> log = lktest::logLines();
    EXPECT_EQ(c.message, log.empty() ? "" : log.back());
  }
  EXPECT_EQ(nullptr, rm.getSprite("bad"));
  EXPECT_FALSE(lktest::logHas(loadedLine("bad-spr.txt")));

  // At the bounds: one frame of 10,000 cells; ten thousand frames.
  ASSERT_EQ(0, load("max-cells-spr.txt", "1\n1000\n10\n1\nred\n", "max-cells").result);
  EXPECT_EQ(1, rm.getSprite("max-cells")->getFrameCount());
  ASSERT_EQ(0, load("max-frames-spr.txt", "10000\n10\n10\n1\nred\n##########\n", "max-frames").result);
  EXPECT_EQ(10000, rm.getSprite("max-frames")->getFrameCount());
  EXPECT_EQ("", rm.getSprite("max-frames")->getFrame(9999).getString());
}
