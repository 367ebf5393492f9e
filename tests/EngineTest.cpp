// The engine without a window: the world's rules for moves, collisions,
// exits, deletion and drawing order; the clock; sprite files; animation;
// view events; and the MP3 reader.
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "Animation.h"
#include "Clock.h"
#include "EventOut.h"
#include "EventView.h"
#include "Geometry.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Sound.h"
#include "Sprite.h"
#include "Support.h"
#include "WorldManager.h"

using lkt::journal;
using lkt::Recorder;
using Entries = std::vector<std::string>;

namespace {

lk::WorldManager& world() { return lk::WorldManager::getInstance(); }

class World : public testing::Test {
 protected:
  void SetUp() override {
    lk::LogManager::getInstance().startUp();
    world().startUp();
  }
  void TearDown() override { world().shutDown(); }
  static void frame(int step) {  // the loop's order, without a window
    world().update();
    world().draw();
    lkt::send(lk::EventStep(step));
  }
};

}  // namespace

TEST_F(World, SolidnessTypesAndTouchingDecideCollisionsAndMoves) {
  const struct {
    lk::Solidness mover, other;
    const char *mover_type, *other_type;
    float other_x;  // the mover's box goes to 10.5..11.5
    int result;
    bool events;
  } cases[] = {
      {lk::HARD, lk::SOFT, "Thing", "Thing", 11.5f, 0, true},   {lk::SOFT, lk::HARD, "Thing", "Thing", 11.5f, 0, true},
      {lk::HARD, lk::HARD, "Thing", "Thing", 11.5f, -1, true},  {lk::SPECTRAL, lk::HARD, "Thing", "Thing", 11.5f, 0, false},
      {lk::HARD, lk::SPECTRAL, "Thing", "Thing", 11.5f, 0, false}, {lk::HARD, lk::HARD, "Duck", "Duck", 11.5f, 0, false},
      {lk::HARD, lk::HARD, "Duck", "Bullet", 11.5f, -1, true},  {lk::HARD, lk::HARD, "duck", "Duck", 11.5f, -1, true},
      {lk::HARD, lk::HARD, "Thing", "Thing", 12.0f, -1, true},  // touching edges meet
      {lk::HARD, lk::HARD, "Thing", "Thing", 12.01f, 0, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const float y = 2.0f + 3.0f * float(i);
    const std::string m = "m" + std::to_string(i), o = "o" + std::to_string(i);
    Recorder* p_mover = new Recorder(m, lk::Vector(10, y), c.mover);
    Recorder* p_other = new Recorder(o, lk::Vector(c.other_x, y), c.other);
    p_mover->setType(c.mover_type), p_other->setType(c.other_type);
    p_mover->setVelocity(lk::Vector(1, 0));
    p_mover->setAcceleration(lk::Vector(0, 0.5f));
    journal().clear();
    EXPECT_EQ(world().moveObject(p_mover, lk::Vector(11, y)), c.result) << i;
    // Both are told, the mover first, of the destination.
    const std::string event = " lk::collision " + m + "->" + o + " (11," + std::to_string(int(y)) + ")";
    EXPECT_EQ(journal(), (c.events ? Entries{m + event, o + event} : Entries{})) << i;
    // A refused move keeps the place and the velocity; a move adds the acceleration.
    EXPECT_EQ(p_mover->getPosition(), lk::Vector(c.result == 0 ? 11 : 10, y)) << i;
    EXPECT_EQ(p_mover->getVelocity(), lk::Vector(1, c.result == 0 ? 0.5f : 0)) << i;
  }
}

TEST_F(World, UpdateMovesByVelocityPlusAccelerationAndSaysOutOncePerExit) {
  Recorder* p = new Recorder("p", lk::Vector(100, 10), lk::SPECTRAL);
  p->setAcceleration(lk::Vector(0, 0.02f));
  frame(0);
  frame(1);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 10.06f);  // + 0.02, then + 0.04
  // Box from x - 0.5 to x + 0.5: at -0.5 it touches the left edge.
  journal().clear();
  Recorder* q = new Recorder("q", lk::Vector(-0.5f, 10), lk::SPECTRAL);
  for (float x : {-1.5f, -2.5f, -1.5f, -0.5f, -0.6f, 240.5f, 240.6f}) world().moveObject(q, lk::Vector(x, 10));
  EXPECT_EQ(journal(), (Entries{"q lk::out", "q lk::out", "q lk::out"}));
  // An object made outside hears nothing until it has come in.
  journal().clear();
  Recorder* late = new Recorder("late", lk::Vector(-10, 30), lk::SPECTRAL);
  late->setVelocity(lk::Vector(25, 0));
  for (int step = 2; step < 14; ++step) world().update();
  EXPECT_EQ(journal(), Entries{"late lk::out"});
}

TEST_F(World, MarkedObjectsGoOnceAtTheNextUpdateWithWhatTheirDestructorsMark) {
  Recorder* a = new Recorder("a", lk::Vector(100, 10));
  Recorder* b = new Recorder("b", lk::Vector(102, 10));
  Recorder* c = new Recorder("c", lk::Vector(104, 10), lk::SOFT);
  Recorder* made = nullptr;
  // a marks itself twice; its destructor marks b, whose destructor makes an
  // object that moves onto c in the same update.
  a->on_event = [](Recorder& self, const lk::Event& e) {
    if (e.getType() == lk::STEP_EVENT) world().markForDelete(&self), world().markForDelete(&self);
  };
  a->on_delete = [b] { world().markForDelete(b); };
  b->on_delete = [&made] {
    made = new Recorder("made", lk::Vector(103, 10));
    made->setVelocity(lk::Vector(0.5f, 0));
  };
  frame(0);
  EXPECT_EQ(journal(), (Entries{"a draw", "b draw", "c draw", "a lk::step 0", "b lk::step 0", "c lk::step 0"}));
  journal().clear();
  world().update();
  EXPECT_EQ(journal(), (Entries{"a deleted", "b deleted", "made lk::collision made->c (103.5,10)",
                                "c lk::collision made->c (103.5,10)"}));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->getPosition(), lk::Vector(103.5f, 10));
  // Events reach a copy of the list: one made by a handler hears the next.
  journal().clear();
  c->on_event = [](Recorder&, const lk::Event&) { new Recorder("new"); };
  const lk::EventOut out;
  EXPECT_EQ(world().onEvent(&out), 2);
  EXPECT_EQ(world().getAllObjects().getCount(), 3);
  journal().clear();
  world().markForDelete(made);
  world().shutDown();  // every object once, a marked one too
  world().update();
  EXPECT_EQ(journal(), (Entries{"c deleted", "made deleted", "new deleted"}));
}

TEST_F(World, DrawsByAltitudeObjectsMeetingTheViewAndEveryViewObject) {
  // The view spans x 60..180 and y 0..36.
  const struct {
    const char* name;
    int altitude;
    float x, y;
  } layout[] = {{"a3", 3, 100, 10}, {"b0", 0, 59.5f, 18}, {"c3", 3, 180.5f, 18}, {"d1", 1, 120, 36.5f},
                {"e4", 4, 100, 10}, {"left-out", 2, 59.4f, 18}, {"top-out", 2, 120, -0.6f}, {"high", 5, 100, 10}};
  for (const auto& item : layout) (new Recorder(item.name, lk::Vector(item.x, item.y)))->setAltitude(item.altitude);
  // View objects sit relative to the view: in world terms this one is far off.
  struct View : lk::ViewObject {
    int draw() override { return journal().push_back("view draw"), 0; }
  };
  (new View)->setPosition(lk::Vector(-500, -500));
  world().draw();
  EXPECT_EQ(journal(), (Entries{"b0 draw", "d1 draw", "a3 draw", "c3 draw", "e4 draw", "view draw"}));
}

// The world finds collision candidates through a grid; whatever the objects
// do, the answer must be a plain scan of the list, in list order.
TEST_F(World, GridAnswersLikeAScanAsObjectsComeMoveAndGo) {
  std::srand(7);
  const auto in = [](float lo, float hi) { return lo + (hi - lo) * float(std::rand()) / float(RAND_MAX); };
  const auto place = [&] { return std::rand() % 3 ? lk::Vector(in(-50, 290), in(-20, 60)) : lk::Vector(float(std::rand() % 31 * 8), float(std::rand() % 6 * 8)); };
  std::vector<lk::Object*> objects;
  for (int round = 0; round < 30; ++round) {
    for (int i = 0; i < 25; ++i) {
      lk::Object* p = new lk::Object;
      p->setType(std::rand() % 3 == 0 ? "Duck" : "Thing");
      p->setSolidness(lk::Solidness(std::rand() % 3));
      if (std::rand() % 2) p->setBox(lk::Box(lk::Vector(-in(0, 8), -in(0, 4)), in(0, 16), in(0, 8)));
      p->setPosition(place());
      p->setVelocity(lk::Vector(in(-3, 3), in(-1, 1)));
      objects.push_back(p);
    }
    for (std::size_t i = 0; i < objects.size(); ++i) {
      if (std::rand() % 5 == 0) objects[i]->setPosition(place());
      if (std::rand() % 9 == 0) objects[i]->setBox(lk::Box(lk::Vector(-1, -1), in(0, 30), 2));
      if (std::rand() % 6 == 0) delete objects[i], objects.erase(objects.begin() + long(i--));
    }
    world().update();
    for (lk::Object* p : objects) {
      const lk::Vector where = std::rand() % 2 ? place() : p->getPosition();
      std::vector<lk::Object*> scan, grid;
      const lk::ObjectList all = world().getAllObjects(), found = world().getCollisions(p, where);
      for (int i = 0; i < all.getCount(); ++i) {
        lk::Object* q = all.at(i);
        if (q != p && q->getSolidness() != lk::SPECTRAL && lk::boxIntersectsBox(lk::getWorldBox(p, where), lk::getWorldBox(q)) &&
            !(p->getType() == "Duck" && q->getType() == "Duck"))
          scan.push_back(q);
      }
      for (int i = 0; i < found.getCount(); ++i) grid.push_back(found.at(i));
      ASSERT_EQ(grid, scan);
    }
  }
}

TEST(ObjectList, HoldsAtMost2000) {
  lk::ObjectList list;
  lk::Object* p = reinterpret_cast<lk::Object*>(&list);
  for (int i = 0; i <= lk::MAX_OBJECTS; ++i) list.insert(p);
  EXPECT_EQ(list.getCount(), lk::MAX_OBJECTS);
  EXPECT_EQ(list.at(lk::MAX_OBJECTS), nullptr);
}

TEST(Clock, MeasuresAcrossThe32BitWrapsAndEveryCalendarCarry) {
  static lk::platform::UtcTime now;
  const auto set = [](int y, int mo, int d, int h, int mi, int s, int ms) { now = {y, mo, d, h, mi, s, ms}; };
  // Every step of 997 ms through a day, which holds about twenty wraps.
  set(2026, 3, 6, 0, 0, 0, 0);
  lk::Clock clock([] { return now; });
  for (int ms = 997; ms < 86400000; ms += 997) {
    set(2026, 3, 6, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    ASSERT_EQ(clock.delta(), 997000) << ms;
  }
  // The last and the first millisecond of two days.
  const int ends[][6] = {{2026, 3, 5, 2026, 3, 6}, {2026, 2, 28, 2026, 3, 1}, {2024, 2, 29, 2024, 3, 1},
                         {2026, 4, 30, 2026, 5, 1}, {2026, 12, 31, 2027, 1, 1}, {2100, 2, 28, 2100, 3, 1}};
  for (const auto& e : ends) {
    set(e[0], e[1], e[2], 23, 59, 59, 990);
    clock.delta();
    set(e[3], e[4], e[5], 0, 0, 0, 5);
    EXPECT_EQ(clock.split(), 15000) << e[0] << "-" << e[1];
    EXPECT_EQ(clock.delta(), 15000) << e[0] << "-" << e[1];
  }
  set(2026, 3, 6, 12, 0, 0, 0);
  clock.delta();
  set(2026, 3, 6, 11, 59, 0, 0);  // set back: nothing rather than a negative time
  EXPECT_EQ(clock.delta(), 0);
}

namespace {

struct Loaded {
  int result;
  std::string echo, sprite;  // standard output; "frames WxH slowdown colour:frame|frame|"
};

Loaded loadSprite(const std::string& content, const std::string& label) {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
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
      {"1\n4\n2\n1\nblack\n a  \nb\n", 0, "", "1 4x2 1 0: a  b|"},
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
  // The first of a label wins.
  loadSprite("1\n1\n1\n1\nred\na\n", "twin");
  lkt::writeFile("../b-spr.txt", "1\n1\n1\n1\nred\nb\n");
  lk::ResourceManager::getInstance().loadSprite("../b-spr.txt", "twin");
  EXPECT_EQ(lk::ResourceManager::getInstance().getSprite("twin")->getFrame(0).getString(), "a");
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
      {"1\n3\n1\n1\nred\n" + line + "\n", head + "has a line longer than 1000000 characters."},
      {"1000\n1000\n1\n1\nred\n" + std::string(5000, 'y'),  // the last line repeated for the missing rows
       "ResourceManager::loadSprite(): the frames of ../bad-spr.txt hold more than 4000000 characters."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(loadSprite(c.file, "bad").result, -1) << c.message;
    EXPECT_EQ(lkt::logLines().back(), c.message);
  }
  EXPECT_EQ(loadSprite("1\n1000\n1000\n1\nred\n", "max-cells").sprite.substr(0, 14), "1 1000x1000 1 ");
  EXPECT_EQ(loadSprite("10000\n10\n10\n1\nred\n##########\n", "max-frames").sprite.substr(0, 14), "10000 10x10 1 ");
}

TEST(Animation, EachFrameShowsForSlowdownDrawsAfterAShortFirstOne) {
  const struct {
    int frames, slowdown, index;
    std::vector<int> shown;
  } cases[] = {
      {3, 1, 0, {0, 1, 2, 0, 1, 2, 0}},       {3, 0, 0, {0, 1, 2, 0, 1}},
      {3, 4, 0, {0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1}}, {2, 4, 0, {0, 1, 1, 1, 1, 0, 0, 0, 0, 1}},
      {3, -1, 2, {2, 2, 2, 2}},  // stopped
      {0, 1, 0, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    lk::Sprite sprite(c.frames);
    sprite.setSlowdown(c.slowdown);
    for (int i = 0; i < c.frames; ++i) sprite.insertFrame(lk::Frame(1, 1, std::string(1, char('0' + i))));
    lk::Animation a;
    a.setIndex(c.index);
    a.setSprite(&sprite);
    std::vector<int> shown;
    for (std::size_t i = 0; i < c.shown.size(); ++i) shown.push_back(a.getIndex()), a.draw(lk::Vector(1, 1));
    EXPECT_EQ(shown, c.shown) << c.frames << " frames, slowdown " << c.slowdown;
  }
}

TEST_F(World, ViewEventsChangeOnlyTheItemsWithTheirExactLabel) {
  lk::ViewObject* points = new lk::ViewObject;
  lk::ViewObject* twin = new lk::ViewObject;
  lk::ViewObject* round = new lk::ViewObject;
  points->setViewString("Points:"), twin->setViewString("Points:"), round->setViewString("ROUND");
  twin->setValue(5), round->setValue(3);
  lk::EventView add("Points:", 100), minus("Points:", -250), set("ROUND", 1);
  set.setDelta(false);
  for (const lk::EventView* p_event : {&add, &add, &minus, &set}) world().onEvent(p_event);
  EXPECT_EQ(points->getValue(), -50);
  EXPECT_EQ(twin->getValue(), -45);
  EXPECT_EQ(round->getValue(), 1);
  for (const char* tag : {"points:", "Points: ", " Points:", "Points", ""}) {
    lk::EventView near_miss(tag, 5);
    EXPECT_EQ(points->eventHandler(&near_miss), 0) << tag;
  }
  const lk::EventStep step(3);
  EXPECT_EQ(points->eventHandler(&step), 0);
  EXPECT_EQ(points->getValue(), -50);
}

// A tone from sox, as WAV and as MP3 from lame: the MP3 decodes at its rate
// and channels, to the same length (no encoder delay or padding left) and
// sample-aligned with the original, up to the codec's error.
TEST(Mp3, DecodesToTheOriginalsLengthAndSamples) {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
  for (const auto& [rate, channels, options] : {std::tuple{44100, 1, "-b 128"}, std::tuple{22050, 2, "-b 96 --id3v2-only --tt Lark"}}) {
    const std::string name = "../tone-" + std::to_string(channels);
    ASSERT_TRUE(lkt::run("sox -n -b 16 -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " + name +
                         ".wav synth 0.7 sine 440 vol 0.5 && lame --quiet " + options + " " + name + ".wav " + name + ".mp3"));
    ASSERT_EQ(rm.loadSound(name + ".wav", name + "wav"), 0);
    ASSERT_EQ(rm.loadSound(name + ".mp3", name), 0);
    const sf::SoundBuffer &mp3 = rm.getSound(name)->getBuffer(), &wav = rm.getSound(name + "wav")->getBuffer();
    EXPECT_EQ(mp3.getSampleRate(), unsigned(rate));
    ASSERT_EQ(mp3.getChannelCount(), unsigned(channels));
    EXPECT_NEAR(double(mp3.getSampleCount()) / channels / rate, 0.7, 0.03);
    const auto snr = [&](int shift) {
      double error = 0, signal = 0;
      for (std::size_t i = 2000; i + 2000 < std::min(wav.getSampleCount(), mp3.getSampleCount()); ++i) {
        const double diff = double(mp3.getSamples()[i + shift]) - wav.getSamples()[i];
        error += diff * diff, signal += double(wav.getSamples()[i]) * wav.getSamples()[i];
      }
      return 10 * std::log10(signal / std::max(error, 1.0));
    };
    EXPECT_GT(snr(0), 20) << name;
    EXPECT_GT(snr(0), std::max(snr(channels), snr(-channels)) + 2) << name;
  }
}
