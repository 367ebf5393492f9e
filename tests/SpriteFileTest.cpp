// Sprite files, the resource tables, animation, and misuse named in the log.
#include "Object.h"  // and its Animation
#include "Support.h"

namespace {

struct Loaded {
  int result;
  std::string echo, sprite;  // standard output; "frames WxH slowdown colour:frame|frame|"
};

Loaded loadSprite(const std::string& content, const std::string& label) {
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  lk::LogManager::getInstance().startUp(), rm.shutDown(), rm.startUp();  // an empty table
  lkt::writeFile("../" + label + "-spr.txt", content);
  testing::internal::CaptureStdout();
  Loaded out{rm.loadSprite("../" + label + "-spr.txt", label), testing::internal::GetCapturedStdout(), ""};
  if (const lk::Sprite* s = rm.getSprite(label)) {
    out.sprite = std::to_string(s->getFrameCount()) + " " + std::to_string(s->getWidth()) + "x" + std::to_string(s->getHeight()) +
                 " " + std::to_string(s->getSlowdown()) + " " + std::to_string(int(s->getColor())) + ":";
    for (int i = 0; i < s->getFrameCount(); ++i) out.sprite += s->getFrame(i).getString() + "|";
  }
  return out;
}

}  // namespace

TEST(SpriteFile, ReadsAsTheFormatSays) {
  const struct {
    std::string file;
    int result;
    std::string echo, sprite;  // echo "": every line of the file
  } cases[] = {
      // Two frames of 3 x 2; what follows the last frame is not read.
      {"2\n3\n2\n4\nyellow\nabc\nd f\nghi\njkl\nnot read\n", 0, "2\n3\n2\n4\nyellow\nabc\nd f\nghi\njkl\n", "2 3x2 4 3:abcd f|ghijkl|"},
      {"2\r\n3\r\n2\r\n4\r\nblue\r\nabc\r\nd f\r\nghi\r\njkl\r\n", 0, "2\n3\n2\n4\nblue\nabc\nd f\nghi\njkl\n", "2 3x2 4 4:abcd f|ghijkl|"},
      // Numbers by the atoi rule; beyond int they saturate.
      {" \t2 frames\n+3wide\n1 row\nslow 4\nmagenta\nabc\nxyz\n", 0, "", "2 3x1 0 5:abc|xyz|"},
      {"1\n1\n1\n99999999999999999999\ncyan\nx\n", 0, "", "1 1x1 2147483647 6:x|"},
      // Rows that stop early: empty after a final line feed, else the last line again.
      {"2\n3\n2\n1\nred\nabc\ndef\nghi\n", 0, "2\n3\n2\n1\nred\nabc\ndef\nghi\n\n", "2 3x2 1 1:abcdef|ghi|"},
      {"2\n3\n2\n1\ngreen\nabc\ndef\nghi", 0, "2\n3\n2\n1\ngreen\nabc\ndef\nghi\nghi\n", "2 3x2 1 2:abcdef|ghighi|"},
      {"1\n2\n1\n5", 0, "1\n2\n1\n5\n5\n", "1 2x1 5 7:5|"},  // no colour line: white
      // A wrong colour word fails once lines 1 to 4 are echoed.
      {"1\n2\n1\n5\n", -1, "1\n2\n1\n5\n", ""},
      {"1\n1\n1\n1\nRed\n#\n", -1, "1\n1\n1\n1\n", ""},
      {"1\n1\n1\n1\nred \n#\n", -1, "1\n1\n1\n1\n", ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Loaded r = loadSprite(cases[i].file, "s" + std::to_string(i));
    EXPECT_EQ(r.result, cases[i].result) << i;
    EXPECT_EQ(r.echo, cases[i].echo.empty() ? cases[i].file : cases[i].echo) << i;
    EXPECT_EQ(r.sprite, cases[i].sprite) << i;
    EXPECT_EQ(lkt::logCount("ResourceManager::loadSprite(): Sprite successfully loaded from ../s" + std::to_string(i) + "-spr.txt."),
              r.result == 0) << i;
  }
  EXPECT_EQ(lkt::logCount("ResourceManager::loadSprite(): no valid color was provided."), 1);  // the last start-up's
}

TEST(SpriteFile, HostileFilesFailWithTheirReasonAndTheBoundsThemselvesLoad) {
  const std::string head = "ResourceManager::loadSprite(): ../bad-spr.txt ", negative = head + "has a negative frame count, width or height ";
  const std::string large = head + "is too large: ", bounds = " characters (at most 10000 frames and 1000000 characters).";
  const std::string rows = "\n1\nred\nabc\ndef\n", line(1000001, 'x');
  const struct {
    std::string file, message;
  } cases[] = {
      {"-1\n3\n2" + rows, negative + "(-1, 3, 2)."},
      {"1\n3\n-2" + rows, negative + "(1, 3, -2)."},
      {"10001\n1\n1" + rows, large + "10001 frames of 1 x 1" + bounds},
      {"1\n1000001\n1" + rows, large + "1 frames of 1000001 x 1" + bounds},
      {"1000\n1000\n2" + rows, large + "1000 frames of 1000 x 2" + bounds},
      {"2147483647\n2147483647\n2147483647" + rows, large + "2147483647 frames of 2147483647 x 2147483647" + bounds},
      {"1\n101\n100" + rows, head + "has frames of 101 x 100 characters (at most 10000 a frame)."},
      {"10000\n1\n11" + rows, head + "has too many rows: 10000 frames of 11 rows (at most 100000 rows)."},
      {"1\n3\n1\n1\nred\n" + line + "\n", head + "has a line longer than 1000000 characters."},
      {"1000\n1000\n1\n1\nred\n" + std::string(5000, 'y'),  // the last line repeated for the missing rows
       "ResourceManager::loadSprite(): the frames of ../bad-spr.txt hold more than 1000000 characters."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(loadSprite(c.file, "bad").result, -1) << c.message;
    EXPECT_EQ(lkt::logLines().back(), c.message);
  }
  EXPECT_EQ(loadSprite("1\n100\n100\n1\nred\n", "max-cells").sprite.substr(0, 14), "1 100x100 1 1:");
  EXPECT_EQ(loadSprite("10000\n10\n10\n1\nred\n##########\n", "max-frames").sprite.substr(0, 14), "10000 10x10 1 ");
}

// Full tables refuse a load, naming the file, unopened; music refuses an empty label; a
// repeated label finds the first.
TEST(Resources, FullTablesRefuseAndTheFirstOfALabelIsFound) {
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  lk::LogManager::getInstance().startUp(), rm.shutDown(), rm.startUp();
  lkt::writeFile("../a-spr.txt", "1\n1\n1\n1\nred\na\n");
  lkt::writeFile("../b-spr.txt", "2\n1\n1\n1\nblue\nb\nc\n");
  for (const auto& [name, samples] : {std::pair{"../a.wav", 80u}, {"../b.wav", 160u}})
    lkt::writeFile(name, lkt::wav({{"fmt ", lkt::WAV_FORMAT}, {"data", lkt::sized(2 * samples, std::string(2 * samples, '\x11'))}}));
  const auto refused = [](int result, const std::string& line) { return result == -1 && lkt::logLines().back() == line; };
  testing::internal::CaptureStdout();
  for (int i = 0; i < lk::MAX_SPRITES; ++i) ASSERT_EQ(rm.loadSprite(i % 2 ? "../b-spr.txt" : "../a-spr.txt", i < 2 ? "twin" : ""), 0);
  EXPECT_TRUE(refused(rm.loadSprite("../c-spr.txt", "c"), "ResourceManager::loadSprite(): sprite array is full. ../c-spr.txt could not be loaded."));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(rm.getSprite("twin")->getFrameCount(), 1);
  EXPECT_EQ(rm.loadSound("../c.wav", "c"), -1);  // a failed load keeps its entry free
  for (int i = 0; i < lk::MAX_SOUNDS; ++i) ASSERT_EQ(rm.loadSound(i % 2 ? "../b.wav" : "../a.wav", i < 2 ? "twin" : ""), 0);
  EXPECT_TRUE(refused(rm.loadSound("../c.wav", "c"), "ResourceManager::loadSound(): sound array is full. ../c.wav could not be loaded."));
  EXPECT_EQ(rm.getSound("twin")->getBuffer()->getSampleCount(), 80u);
  EXPECT_TRUE(refused(rm.loadMusic("../c.wav", ""), "ResourceManager::loadMusic(): music could be loaded with label of \"\"."));
  for (int i = 0; i < lk::MAX_MUSIC; ++i) ASSERT_EQ(rm.loadMusic(i % 2 ? "../b.wav" : "../a.wav", i < 2 ? "twin" : "m"), 0);
  EXPECT_TRUE(refused(rm.loadMusic("../c.wav", "c"), "ResourceManager::loadMusic(): music array is full. ../c.wav could not be loaded."));
  EXPECT_EQ(rm.getMusic("twin")->getStream()->getDuration(), sf::milliseconds(10));
  rm.shutDown();
}

// After setSprite each frame stays for `slowdown` draws; at -1 the animation stands still.
TEST(Sprite, AnimationShowsEachFrameForItsSlowdownInDraws) {
  lk::Sprite sprite(3);
  for (const char* c : {"a", "b", "c"}) sprite.insertFrame(lk::Frame(1, 1, c));
  for (const auto& [slowdown, expected] : {std::pair{1, "012012"}, {2, "0112200"}, {4, "0111122220"}, {-1, "000"}, {0, "0120"}}) {
    sprite.setSlowdown(slowdown);
    lk::Animation animation;
    animation.setSprite(&sprite);
    std::string shown;
    for (std::size_t i = 0; i < std::strlen(expected); ++i) shown += char('0' + animation.getIndex()), animation.draw(lk::Vector());
    EXPECT_EQ(shown, expected) << slowdown;
  }
}

// Loads that work but rarely do what was meant, and calls out of order, are named in the log.
TEST(Misuse, IsNamedInTheLog) {
  const std::string head = "ResourceManager::loadSprite(): ../odd-spr.txt ";
  EXPECT_EQ(loadSprite("2\n3\n2\n1\nred\nabc\nabcde\nab\n", "odd").sprite, "2 3x2 1 1:abcabcde|ab|");
  EXPECT_EQ(lkt::logLines().end()[-4], head + "line 7 has 5 characters; the sprite is 3 wide.");
  EXPECT_EQ(lkt::logLines().end()[-3], head + "has 2 rows in all that are not 3 characters wide.");
  EXPECT_EQ(lkt::logLines().end()[-2], head + "ends before its last frame is complete (missing rows: 1).");
  loadSprite("1\n3\n2\n1\nred\nabc\ndef", "fine");
  EXPECT_EQ(lkt::logLines().back(), "ResourceManager::loadSprite(): Sprite successfully loaded from ../fine-spr.txt.");
  const lkt::Entries log = lkt::logLines();
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.find("fine-spr") != l.npos; }), 1);

  lk::WorldManager::getInstance().startUp();
  lk::Object object;
  EXPECT_EQ(object.setSprite("fin"), -1);
  EXPECT_EQ(lkt::logLines().back(), "Object::setSprite(): no sprite is loaded with the label \"fin\" (object " +
                                        std::to_string(object.getId()) + ", Object).");
  EXPECT_EQ(object.setSprite("fine"), 0);

  lk::GameManager::getInstance().run();  // never started: returns at once
  EXPECT_EQ(lkt::logLines().back(), "GameManager::run(): run() was called before a successful startUp(); no game loop runs.");
  EXPECT_EQ(lkt::logCount("GameManager::run(): game loop started."), 0);
}
