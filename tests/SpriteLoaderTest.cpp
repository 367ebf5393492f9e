// The sprite file format, the loader's messages and echo, the sprite table,
// and the bounds that keep hostile files from taking the loader down.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "LogManager.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"

namespace {

lk::ResourceManager& startResources() {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
  return rm;
}

std::string writeSprite(const std::string& name, const std::string& content) {
  const std::string path = "../" + name;
  lktest::writeFile(path, content);
  return path;
}

struct Loaded {
  int result;
  std::string echo;  // what went to standard output
};

Loaded load(const std::string& name, const std::string& content, const std::string& label) {
  const std::string path = writeSprite(name, content);
  testing::internal::CaptureStdout();
  const int result = lk::ResourceManager::getInstance().loadSprite(path, label);
  return {result, testing::internal::GetCapturedStdout()};
}

std::string frameText(const lk::Sprite* sprite, int frame) { return sprite->getFrame(frame).getString(); }

std::string loadedLine(const std::string& name) {
  return "ResourceManager::loadSprite(): Sprite successfully loaded from ../" + name + ".";
}

const char kNoColor[] = "ResourceManager::loadSprite(): no valid color was provided.";

}  // namespace

TEST(SpriteFile, ReadsHeaderAndFramesAndEchoesEveryLineRead) {
  lk::ResourceManager& rm = startResources();
  const std::string rows = "abc\ndef\nghi\njkl\n";
  const Loaded r = load("pair-spr.txt", "2\n3\n2\n4\nyellow\n" + rows + "not read\n", "pair");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("2\n3\n2\n4\nyellow\n" + rows, r.echo);
  EXPECT_TRUE(lktest::logHas(loadedLine("pair-spr.txt")));

  const lk::Sprite* s = rm.getSprite("pair");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ("pair", s->getLabel());
  EXPECT_EQ(3, s->getWidth());
  EXPECT_EQ(2, s->getHeight());
  EXPECT_EQ(4, s->getSlowdown());
  EXPECT_EQ(lk::YELLOW, s->getColor());
  EXPECT_EQ(0, s->getTransparency());
  EXPECT_EQ(2, s->getFrameCount());
  EXPECT_EQ(2, s->getMaxFrameCount());
  EXPECT_EQ("abcdef", frameText(s, 0));
  EXPECT_EQ("ghijkl", frameText(s, 1));
  EXPECT_EQ(3, s->getFrame(1).getWidth());
  EXPECT_EQ(2, s->getFrame(1).getHeight());
}

TEST(SpriteFile, CrLfReadsLikeLf) {
  lk::ResourceManager& rm = startResources();
  const Loaded r = load("crlf-spr.txt", "2\r\n3\r\n1\r\n2\r\nred\r\n@b@\r\n d \r\n", "crlf");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("2\n3\n1\n2\nred\n@b@\n d \n", r.echo);
  const lk::Sprite* s = rm.getSprite("crlf");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(lk::RED, s->getColor());
  EXPECT_EQ(2, s->getSlowdown());
  EXPECT_EQ("@b@", frameText(s, 0));
  EXPECT_EQ(" d ", frameText(s, 1));
}

TEST(SpriteFile, NumbersAreReadByTheAtoiRule) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, load("atoi-spr.txt", " \t2 frames\n+3wide\n1 row\nslow 4\nblue\nabc\nxyz\n", "atoi").result);
  const lk::Sprite* s = rm.getSprite("atoi");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(2, s->getFrameCount());
  EXPECT_EQ(3, s->getWidth());
  EXPECT_EQ(1, s->getHeight());
  EXPECT_EQ(0, s->getSlowdown());  // begins with a word

  // A negative slowdown is the animation's business, not the loader's; a
  // number beyond int saturates instead of wrapping.
  ASSERT_EQ(0, load("neg-spr.txt", "1\n1\n1\n-1\ncyan\nx\n", "neg").result);
  EXPECT_EQ(-1, rm.getSprite("neg")->getSlowdown());
  ASSERT_EQ(0, load("big-spr.txt", "1\n1\n1\n99999999999999999999\ncyan\nx\n", "big").result);
  EXPECT_EQ(2147483647, rm.getSprite("big")->getSlowdown());
}

TEST(SpriteFile, EveryColourWordMapsAndNothingElseDoes) {
  lk::ResourceManager& rm = startResources();
  const char* words[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
  for (int i = 0; i < 8; ++i) {
    ASSERT_EQ(0, load("c-spr.txt", std::string("1\n1\n1\n1\n") + words[i] + "\n#\n", words[i]).result);
    EXPECT_EQ(i, static_cast<int>(rm.getSprite(words[i])->getColor())) << words[i];
  }

  for (const char* bad : {"Red", "red ", "", " red", "RED", "purple", "red\tx"}) {
    const Loaded r = load("bad-spr.txt", std::string("1\n1\n1\n1\n") + bad + "\n#\n", "bad");
    EXPECT_EQ(-1, r.result) << '"' << bad << '"';
    EXPECT_EQ("1\n1\n1\n1\n", r.echo) << '"' << bad << '"';  // line 5 is not echoed
  }
  EXPECT_TRUE(lktest::logHas(kNoColor));
  EXPECT_EQ(nullptr, rm.getSprite("bad"));
  EXPECT_FALSE(lktest::logHas(loadedLine("bad-spr.txt")));
}

TEST(SpriteFile, FrameCountZeroRegistersASpriteWithNoFrames) {
  lk::ResourceManager& rm = startResources();
  const Loaded r = load("none-spr.txt", "0\n3\n2\n1\ngreen\nabc\ndef\n", "none");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("0\n3\n2\n1\ngreen\n", r.echo);
  const lk::Sprite* s = rm.getSprite("none");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(0, s->getFrameCount());
  EXPECT_EQ(0, s->getMaxFrameCount());
  EXPECT_EQ(-1, s->draw(0, lk::Vector(10, 5)));
}

TEST(SpriteFile, HeaderCutShortBeforeTheColourLine) {
  lk::ResourceManager& rm = startResources();
  // Four lines, the last without a line feed: the colour stays white and the
  // missing row repeats the last line read.
  Loaded r = load("four-spr.txt", "1\n2\n1\n5", "four");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("1\n2\n1\n5\n5\n", r.echo);
  const lk::Sprite* s = rm.getSprite("four");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(lk::WHITE, s->getColor());
  EXPECT_EQ(5, s->getSlowdown());
  EXPECT_EQ("5", frameText(s, 0));

  // With a final line feed the fifth read finds an empty line: no colour.
  r = load("four-lf-spr.txt", "1\n2\n1\n5\n", "four-lf");
  EXPECT_EQ(-1, r.result);
  EXPECT_EQ(nullptr, rm.getSprite("four-lf"));
  EXPECT_TRUE(lktest::logHas(kNoColor));

  // An empty file: the first read meets the end, so the header stops there
  // with an empty first line, and a white sprite of no frames is registered.
  r = load("empty-spr.txt", "", "empty");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("\n", r.echo);
  ASSERT_NE(nullptr, rm.getSprite("empty"));
  EXPECT_EQ(0, rm.getSprite("empty")->getFrameCount());
  EXPECT_EQ(lk::WHITE, rm.getSprite("empty")->getColor());

  // Two lines only, no final line feed: defaults for the rest.
  ASSERT_EQ(0, load("two-spr.txt", "3\n4", "two").result);
  s = rm.getSprite("two");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(4, s->getWidth());
  EXPECT_EQ(0, s->getHeight());
  EXPECT_EQ(1, s->getSlowdown());
  EXPECT_EQ(lk::WHITE, s->getColor());
  EXPECT_EQ(3, s->getFrameCount());
  EXPECT_EQ("", frameText(s, 2));
}

TEST(SpriteFile, MissingRowsAreEmptyAfterAFinalLineFeedElseRepeatTheLastLine) {
  lk::ResourceManager& rm = startResources();
  Loaded r = load("lf-spr.txt", "2\n3\n2\n1\nred\nabc\ndef\nghi\n", "lf");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("2\n3\n2\n1\nred\nabc\ndef\nghi\n\n", r.echo);
  EXPECT_EQ("abcdef", frameText(rm.getSprite("lf"), 0));
  EXPECT_EQ("ghi", frameText(rm.getSprite("lf"), 1));
  EXPECT_TRUE(lktest::logHas(loadedLine("lf-spr.txt")));

  r = load("nolf-spr.txt", "2\n3\n2\n1\nred\nabc\ndef\nghi", "nolf");
  ASSERT_EQ(0, r.result);
  EXPECT_EQ("2\n3\n2\n1\nred\nabc\ndef\nghi\nghi\n", r.echo);
  EXPECT_EQ("ghighi", frameText(rm.getSprite("nolf"), 1));

  // No rows at all after a colour line without a line feed.
  ASSERT_EQ(0, load("bare-spr.txt", "2\n3\n2\n1\nred", "bare").result);
  EXPECT_EQ("redred", frameText(rm.getSprite("bare"), 0));
  EXPECT_EQ("redred", frameText(rm.getSprite("bare"), 1));

  // CR LF files run out the same way, without the carriage returns.
  ASSERT_EQ(0, load("crlf-short-spr.txt", "1\r\n2\r\n3\r\n1\r\nred\r\nab\r\n", "crlf-short").result);
  EXPECT_EQ("ab", frameText(rm.getSprite("crlf-short"), 0));
}

TEST(SpriteFile, RowsAreTakenVerbatim) {
  lk::ResourceManager& rm = startResources();
  // A five-character row in a width-3 sprite pushes two characters on.
  ASSERT_EQ(0, load("long-spr.txt", "1\n3\n2\n1\nred\nabcde\nf\n", "long").result);
  EXPECT_EQ("abcdef", frameText(rm.getSprite("long"), 0));
  // Blanks are kept, nothing is padded.
  ASSERT_EQ(0, load("blank-spr.txt", "1\n4\n2\n1\nred\n a  \nb\n", "blank").result);
  EXPECT_EQ(" a  b", frameText(rm.getSprite("blank"), 0));
}

TEST(SpriteTable, LabelsFirstLoadedWinsCaseMattersEmptyIsAccepted) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, load("a-spr.txt", "1\n1\n1\n1\nred\na\n", "duck").result);
  ASSERT_EQ(0, load("b-spr.txt", "1\n2\n1\n1\nred\nbb\n", "duck").result);
  ASSERT_EQ(0, load("c-spr.txt", "1\n3\n1\n1\nred\nccc\n", "").result);
  ASSERT_NE(nullptr, rm.getSprite("duck"));
  EXPECT_EQ(1, rm.getSprite("duck")->getWidth());
  EXPECT_EQ(nullptr, rm.getSprite("Duck"));
  EXPECT_EQ(nullptr, rm.getSprite("duck "));
  ASSERT_NE(nullptr, rm.getSprite(""));
  EXPECT_EQ(3, rm.getSprite("")->getWidth());
}

TEST(SpriteTable, MissingFileIsReported) {
  lk::ResourceManager& rm = startResources();
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, rm.loadSprite("../sprites/nothing-spr.txt", "nothing"));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): Sprite file ../sprites/nothing-spr.txt could not be opened."));
  EXPECT_EQ(nullptr, rm.getSprite("nothing"));
}

TEST(SpriteTable, AFolderIsNotASpriteFile) {
  lk::ResourceManager& rm = startResources();
  std::filesystem::create_directory("../folder-spr.txt");
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, rm.loadSprite("../folder-spr.txt", "folder"));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(nullptr, rm.getSprite("folder"));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): Sprite file ../folder-spr.txt could not be read."));
}

TEST(SpriteTable, HoldsFiveHundredThenRefusesWithoutOpeningAndEmptiesOnShutDown) {
  lk::ResourceManager& rm = startResources();
  const std::string path = writeSprite("dot-spr.txt", "1\n1\n1\n1\nwhite\n.\n");
  testing::internal::CaptureStdout();
  for (int i = 0; i < lk::MAX_SPRITES; ++i) ASSERT_EQ(0, rm.loadSprite(path, "dot" + std::to_string(i)));
  testing::internal::GetCapturedStdout();
  ASSERT_NE(nullptr, rm.getSprite("dot499"));

  // The file is not opened: no echo, no "could not be opened" for a missing one.
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, rm.loadSprite(path, "dot500"));
  EXPECT_EQ(-1, rm.loadSprite("../absent-spr.txt", "absent"));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): sprite array is full. ../dot-spr.txt could not be loaded."));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): sprite array is full. ../absent-spr.txt could not be loaded."));
  EXPECT_FALSE(lktest::logHas("ResourceManager::loadSprite(): Sprite file ../absent-spr.txt could not be opened."));
  EXPECT_EQ(nullptr, rm.getSprite("dot500"));

  rm.shutDown();
  EXPECT_FALSE(rm.isStarted());
  EXPECT_EQ(nullptr, rm.getSprite("dot0"));
  EXPECT_EQ(nullptr, rm.getSprite("dot499"));
  rm.startUp();
  testing::internal::CaptureStdout();
  EXPECT_EQ(0, rm.loadSprite(path, "dot0"));
  testing::internal::GetCapturedStdout();
  EXPECT_NE(nullptr, rm.getSprite("dot0"));
}

TEST(SpriteHostileFile, NegativeSizesFailAndRegisterNothing) {
  lk::ResourceManager& rm = startResources();
  const struct {
    const char* header;
    const char* message;
  } cases[] = {
      {"-1\n3\n2\n1\nred\n", "(-1, 3, 2)"},
      {"1\n-3\n2\n1\nred\n", "(1, -3, 2)"},
      {"1\n3\n-2\n1\nred\n", "(1, 3, -2)"},
      {"-2147483648\n-1\n-1\n1\nred\n", "(-2147483648, -1, -1)"},
  };
  for (const auto& c : cases) {
    const Loaded r = load("neg-spr.txt", std::string(c.header) + "abc\ndef\n", "neg");
    EXPECT_EQ(-1, r.result) << c.header;
    EXPECT_TRUE(lktest::logHas(std::string("ResourceManager::loadSprite(): ../neg-spr.txt has a negative frame "
                                           "count, width or height ") + c.message + "."))
        << c.header;
  }
  EXPECT_EQ(nullptr, rm.getSprite("neg"));
  EXPECT_FALSE(lktest::logHas(loadedLine("neg-spr.txt")));
}

TEST(SpriteHostileFile, HeadersPastTheBoundsFailAndTheBoundsThemselvesLoad) {
  lk::ResourceManager& rm = startResources();
  const struct {
    const char* header;
    const char* sizes;
  } too_large[] = {
      {"10001\n1\n1\n1\nred\n", "10001 frames of 1 x 1"},
      {"1\n1000001\n1\n1\nred\n", "1 frames of 1000001 x 1"},
      {"1000\n1000\n2\n1\nred\n", "1000 frames of 1000 x 2"},
      {"1\n0\n2000000000\n1\nred\n", "1 frames of 0 x 2000000000"},
      {"2147483647\n2147483647\n2147483647\n1\nred\n", "2147483647 frames of 2147483647 x 2147483647"},
      {"10000\n2147483647\n2147483647\n1\nred\n", "10000 frames of 2147483647 x 2147483647"},
      {"9999\n1000\n2147483647\n1\nred\n", "9999 frames of 1000 x 2147483647"},
      {"99999999999999999999\n1\n1\n1\nred\n", "2147483647 frames of 1 x 1"},
  };
  for (const auto& c : too_large) {
    const Loaded r = load("huge-spr.txt", c.header, "huge");
    EXPECT_EQ(-1, r.result) << c.header;
    EXPECT_TRUE(lktest::logHas(std::string("ResourceManager::loadSprite(): ../huge-spr.txt is too large: ") + c.sizes +
                               " characters (at most 10000 frames and 1000000 characters)."))
        << c.header;
  }
  EXPECT_EQ(nullptr, rm.getSprite("huge"));

  // At the bounds: one frame of a million cells; ten thousand frames.
  ASSERT_EQ(0, load("max-cells-spr.txt", "1\n1000\n1000\n1\nred\n", "max-cells").result);
  EXPECT_EQ(1, rm.getSprite("max-cells")->getFrameCount());
  ASSERT_EQ(0, load("max-frames-spr.txt", "10000\n10\n10\n1\nred\n##########\n", "max-frames").result);
  EXPECT_EQ(10000, rm.getSprite("max-frames")->getFrameCount());
  EXPECT_EQ("##########", frameText(rm.getSprite("max-frames"), 0));
  EXPECT_EQ("", frameText(rm.getSprite("max-frames"), 9999));
}

TEST(SpriteHostileFile, OverlongLinesAndRunawayRepeatsFail) {
  lk::ResourceManager& rm = startResources();
  // One line longer than any row of a sprite within the bounds.
  const std::string line(1000001, 'x');
  EXPECT_EQ(-1, load("line-spr.txt", "1\n3\n1\n1\nred\n" + line + "\n", "line").result);
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): ../line-spr.txt has a line longer than 1000000 characters."));
  EXPECT_EQ(-1, load("head-spr.txt", line, "head").result);
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): ../head-spr.txt has a line longer than 1000000 characters."));

  // A long last line without a line feed, repeated for a thousand missing rows.
  const std::string last(5000, 'y');
  EXPECT_EQ(-1, load("repeat-spr.txt", "1000\n1000\n1\n1\nred\n" + last, "repeat").result);
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSprite(): the frames of ../repeat-spr.txt hold more than 4000000 characters."));
  EXPECT_EQ(nullptr, rm.getSprite("line"));
  EXPECT_EQ(nullptr, rm.getSprite("head"));
  EXPECT_EQ(nullptr, rm.getSprite("repeat"));
}

TEST(SpriteHostileFile, OddBytesLoadAsText) {
  lk::ResourceManager& rm = startResources();
  std::string rows("a\0b\n", 4);
  rows += "\xff\x80\x01\n";
  ASSERT_EQ(0, load("bytes-spr.txt", "1\n3\n2\n1\nmagenta\n" + rows, "bytes").result);
  EXPECT_EQ(std::string("a\0b\xff\x80\x01", 6), frameText(rm.getSprite("bytes"), 0));
}
