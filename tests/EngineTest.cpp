// The engine: the world's rules for moves, collisions, exits and deletion;
// the clock; sprite files; view events; the MP3 reader; the key table; and
// on a real window, colours and the fast drawing path.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <cmath>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include <SFML/System/Err.hpp>

#include <gtest/gtest.h>

#include "Animation.h"
#include "Clock.h"
#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventStep.h"
#include "EventView.h"
#include "GameManager.h"
#include "Geometry.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Music.h"
#include "Platform.h"
#include "ResourceManager.h"
#include "Sound.h"
#include "Sprite.h"
#include "Support.h"
#include "ViewObject.h"
#include "WorldManager.h"

using Entries = std::vector<std::string>;

namespace {

lk::WorldManager& world() { return lk::WorldManager::getInstance(); }

// Entries such as "a lk::step 0", "a lk::collision a->b (11,10)", "a draw",
// "a deleted", in the order they happened across all recorders.
Entries journal;

// An object with a 1 x 1 box centred on its place that journals its events,
// drawing and deletion, and runs the hooks given.
struct Recorder : lk::Object {
  Recorder(std::string init_name, lk::Vector at, lk::Solidness solidness = lk::HARD) : name(std::move(init_name)) {
    setSolidness(solidness), setBox(lk::Box(lk::Vector(-0.5f, -0.5f), 1, 1)), setPosition(at);
  }
  ~Recorder() override {
    journal.push_back(name + " deleted");
    if (on_delete) on_delete();
  }
  int eventHandler(const lk::Event* p_event) override {
    char entry[256];
    const auto* step = dynamic_cast<const lk::EventStep*>(p_event);
    const auto* hit = dynamic_cast<const lk::EventCollision*>(p_event);
    if (hit != nullptr)
      std::snprintf(entry, sizeof entry, "%s lk::collision %s->%s (%g,%g)", name.c_str(), static_cast<const Recorder*>(hit->getObject1())->name.c_str(),
                    static_cast<const Recorder*>(hit->getObject2())->name.c_str(), double(hit->getPosition().getX()), double(hit->getPosition().getY()));
    else
      std::snprintf(entry, sizeof entry, "%s %s%s", name.c_str(), p_event->getType().c_str(), step ? (" " + std::to_string(step->getStepCount())).c_str() : "");
    journal.push_back(entry);
    if (on_event) on_event(*this, *p_event);
    return 1;
  }
  int draw() override { return journal.push_back(name + " draw"), 0; }
  std::string name;
  std::function<void(Recorder&, const lk::Event&)> on_event;
  std::function<void()> on_delete;
};

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
    const lk::EventStep event(step);
    world().onEvent(&event);
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
    p_mover->setVelocity(lk::Vector(1, 0)), p_mover->setAcceleration(lk::Vector(0, 0.5f));
    journal.clear();
    EXPECT_EQ(world().moveObject(p_mover, lk::Vector(11, y)), c.result) << i;
    // Both are told, the mover first, of the destination.
    const std::string event = " lk::collision " + m + "->" + o + " (11," + std::to_string(int(y)) + ")";
    EXPECT_EQ(journal, (c.events ? Entries{m + event, o + event} : Entries{})) << i;
    // A refused move keeps the place and the velocity; a move adds the acceleration.
    EXPECT_EQ(p_mover->getPosition(), lk::Vector(c.result == 0 ? 11 : 10, y)) << i;
    EXPECT_EQ(p_mover->getVelocity(), lk::Vector(1, c.result == 0 ? 0.5f : 0)) << i;
  }
}

// Whatever objects come, jump or change size behind the world's back, or
// go, the world's collision query answers as a plain scan of its list does,
// in list order.
TEST_F(World, CollisionQueryAnswersAsAScanOfTheList) {
  std::mt19937 random(7);
  const auto in = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
  const auto place = [&] {  // mostly in the world, some far outside, some on bucket edges
    const unsigned kind = random() % 4;
    return kind == 0 ? lk::Vector(in(-50, 290), in(-20, 60))
                     : kind == 1 ? lk::Vector(float(random() % 31) * 8, float(random() % 6) * 8) : lk::Vector(in(0, 240), in(0, 36));
  };
  std::vector<lk::Object*> objects;
  for (int round = 0; round < 40; ++round) {
    for (int i = 0; i < 25; ++i) {
      lk::Object* p = new lk::Object;
      p->setType(random() % 3 == 0 ? "Duck" : "Thing"), p->setSolidness(lk::Solidness(random() % 3));
      if (random() % 2) p->setBox(lk::Box(lk::Vector(-in(0, 8), -in(0, 4)), in(0, 16), in(0, 8)));
      p->setPosition(place()), p->setVelocity(lk::Vector(in(-3, 3), in(-1, 1)));
      objects.push_back(p);
    }
    for (lk::Object* p : objects) {
      if (random() % 5 == 0) p->setPosition(place());
      if (random() % 9 == 0) p->setBox(lk::Box(lk::Vector(-1, -1), in(0, 30), 2));
    }
    for (std::size_t i = 0; i < objects.size();)
      if (random() % 6 == 0)
        delete objects[i], objects.erase(objects.begin() + long(i));
      else
        ++i;
    world().update();
    const lk::ObjectList all = world().getAllObjects();
    for (lk::Object* p : objects) {
      const lk::Vector where = random() % 2 ? place() : p->getPosition();
      std::vector<int> scanned, found;
      for (int i = 0; i < all.getCount(); ++i) {
        const lk::Object* q = all.at(i);
        if (q != p && q->getSolidness() != lk::SPECTRAL && lk::boxIntersectsBox(lk::getWorldBox(p, where), lk::getWorldBox(q)) &&
            !(p->getType() == "Duck" && q->getType() == "Duck"))
          scanned.push_back(q->getId());
      }
      const lk::ObjectList hits = world().getCollisions(p, where);
      for (int i = 0; i < hits.getCount(); ++i) found.push_back(hits.at(i)->getId());
      ASSERT_EQ(found, scanned) << round;
    }
  }
}

// Past its capacity the world takes in no more: the new object is neither
// listed nor met by a collision query.
TEST_F(World, AFullWorldLeavesANewObjectOutside) {
  lk::Object* first = new lk::Object;
  for (int i = 1; i < lk::MAX_OBJECTS; ++i) new lk::Object;
  lk::Object extra;
  EXPECT_EQ(world().getAllObjects().getCount(), lk::MAX_OBJECTS);
  EXPECT_EQ(world().getCollisions(first, first->getPosition()).getCount(), lk::MAX_OBJECTS - 1);
}

TEST_F(World, UpdateMovesByVelocityPlusAccelerationAndSaysOutOncePerExit) {
  Recorder* p = new Recorder("p", lk::Vector(100, 10), lk::SPECTRAL);
  p->setAcceleration(lk::Vector(0, 0.02f));
  frame(0);
  frame(1);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 10.06f);  // + 0.02, then + 0.04
  // Box from x - 0.5 to x + 0.5: at -0.5 it touches the left edge.
  journal.clear();
  Recorder* q = new Recorder("q", lk::Vector(-0.5f, 10), lk::SPECTRAL);
  for (float x : {-1.5f, -2.5f, -1.5f, -0.5f, -0.6f, 240.5f, 240.6f}) world().moveObject(q, lk::Vector(x, 10));
  EXPECT_EQ(journal, (Entries{"q lk::out", "q lk::out", "q lk::out"}));
  // An object made outside hears nothing until it has come in.
  journal.clear();
  Recorder* late = new Recorder("late", lk::Vector(-10, 30), lk::SPECTRAL);
  late->setVelocity(lk::Vector(25, 0));
  for (int step = 2; step < 14; ++step) world().update();
  EXPECT_EQ(journal, Entries{"late lk::out"});
}

TEST_F(World, MarkedObjectsGoOnceAtTheNextUpdateWithWhatTheirDestructorsMark) {
  Recorder* a = new Recorder("a", lk::Vector(100, 10));
  Recorder* b = new Recorder("b", lk::Vector(102, 10));
  Recorder* c = new Recorder("c", lk::Vector(104, 10), lk::SOFT);
  a->setAltitude(4), b->setAltitude(0), c->setAltitude(3);  // drawn from 0 up
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
  EXPECT_EQ(journal, (Entries{"b draw", "c draw", "a draw", "a lk::step 0", "b lk::step 0", "c lk::step 0"}));
  journal.clear();
  world().update();
  EXPECT_EQ(journal, (Entries{"a deleted", "b deleted", "made lk::collision made->c (103.5,10)",
                                "c lk::collision made->c (103.5,10)"}));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->getPosition(), lk::Vector(103.5f, 10));
  journal.clear();
  world().markForDelete(made);
  world().shutDown();  // every object once, a marked one too
  world().update();
  EXPECT_EQ(journal, (Entries{"c deleted", "made deleted"}));
}

TEST(Clock, MeasuresAcrossThe32BitWrapsAndEveryCalendarCarry) {
  static lk::platform::UtcTime now;
  const auto set = [](int y, int mo, int d, int h, int mi, int s, int ms) { now = {y, mo, d, h, mi, s, ms}; };
  set(2026, 3, 6, 0, 0, 0, 0);
  lk::Clock clock([] { return now; });  // then every 997 ms of a day, which holds about twenty wraps
  for (int ms = 997; ms < 86400000; ms += 997) {
    set(2026, 3, 6, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    ASSERT_EQ(clock.delta(), 997000) << ms;
  }
  // From the last to the first millisecond of two days, and a clock set back a minute.
  const int ends[][6] = {{2026, 2, 28, 2026, 3, 1}, {2024, 2, 29, 2024, 3, 1}, {2026, 4, 30, 2026, 5, 1}, {2026, 12, 31, 2027, 1, 1}};
  for (const auto& e : ends) {
    set(e[0], e[1], e[2], 23, 59, 59, 990), clock.delta(), set(e[3], e[4], e[5], 0, 0, 0, 5);
    EXPECT_EQ(clock.split(), 15000) << e[0] << "-" << e[1];
    EXPECT_EQ(clock.delta(), 15000) << e[0] << "-" << e[1];
  }
  set(2026, 12, 31, 23, 59, 0, 5);
  EXPECT_EQ(clock.delta(), 0);
}

// The loop's sleep on the real system calls, read on its own clock: the
// shortest of 15, so a busy machine's late wake-ups do not count, is never
// short of its time, nor (with 1 ms timer resolution held) a 15 ms tick.
TEST(Clock, SleepsLastTheirMillisecondsOnTheLoopsClock) {
  lk::platform::requestTimerResolution();
  for (int ms : {1, 5, 33}) {
    int shortest = INT_MAX;
    lk::Clock clock;
    for (int i = 0; i < 15; ++i, clock.delta()) lk::platform::sleepMilliseconds(ms), shortest = std::min(shortest, clock.split());
    EXPECT_GE(shortest, (ms - 1) * 1000) << ms;  // readings are whole milliseconds
    EXPECT_LE(shortest, (ms + 5) * 1000) << ms;
  }
  lk::platform::releaseTimerResolution();
}

// The window and audio library's error stream: one line per message while the
// log is started, each message once, and at shut-down how often each repeated;
// before start-up and after shut-down it is the library's own. The log's
// lines end as the system's text files do.
TEST(Log, SfmlErrorsAreLoggedOnceEachWithTheirCountAtShutDown) {
  std::ostringstream outside;
  std::streambuf* const original = sf::err().rdbuf(outside.rdbuf());
  ASSERT_EQ(lk::LogManager::getInstance().startUp(), 0);
  lk::LogManager::getInstance().setTimeStamp(false);
  for (int i = 0; i < 3; ++i) sf::err() << "Failed to play\n  the sound" << std::endl;
  sf::err() << "Other" << std::endl << "Failed to play the sound" << std::endl;
  lk::LogManager::getInstance().shutDown();
  sf::err() << "after" << std::endl;
  sf::err().rdbuf(original);
  // The log is a text file: on Windows its lines end in CR LF.
#ifdef _WIN32
  const std::string eol = "\r\n";
#else
  const std::string eol = "\n";
#endif
  const std::string log = lkt::readFile("../lark.log");
  EXPECT_EQ(log.substr(log.find("SFML")), "SFML::err(): Failed to play the sound" + eol + "SFML::err(): Other" + eol +
                                              "SFML::err(): 4 times in all: Failed to play the sound" + eol);
  EXPECT_EQ(outside.str(), "after\n");
}

// Entries are stamped and whole, whichever threads write them at once.
TEST(Log, EntriesAreStampedAndWholeFromManyThreads) {
  lk::LogManager& log = lk::LogManager::getInstance();
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(log.writeLog("%s\n", "abc"), 14);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t, &log] {
      for (int n = 0; n < 400; ++n) log.writeLog("thread %d line %d %s\n", t, n, std::string(size_t(n % 97), 'x').c_str());
    });
  for (std::thread& t : threads) t.join();
  log.shutDown();
  std::istringstream in(lkt::readFile("../lark.log"));
  const std::regex stamp("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]  ");
  std::map<int, int> next;
  int lines = 0;
  for (std::string line; std::getline(in, line); ++lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // written on Windows
    ASSERT_TRUE(line.size() > 10 && std::regex_match(line.substr(0, 10), stamp)) << line;
    int t = -1, n = -1, end = 0;
    if (line.find("thread") == std::string::npos) continue;
    ASSERT_EQ(std::sscanf(line.c_str() + 10, "thread %d line %d %n", &t, &n, &end), 2) << line;
    ASSERT_EQ(line.substr(10 + size_t(end)), std::string(size_t(n % 97), 'x')) << line;
    ASSERT_EQ(n, next[t]++) << line;
  }
  EXPECT_EQ(lines, 3 + 4 * 400);
}

// Past its bound the log stops the loop's step lines, once said, and keeps
// every other line; a log that cannot be written is said once on standard
// error. A game over before the loop starts ends it before its first step.
TEST(Log, StepLinesStopAtTheBoundAndAFullDiskIsSaidOnce) {
  lk::LogManager& log = lk::LogManager::getInstance();
  lk::GameManager& game = lk::GameManager::getInstance();
  lkt::stageAssets();
  ASSERT_EQ(game.startUp(), 0);  // the loop runs only in a started engine
  log.setTimeStamp(false);
  game.setGameOver(true);
  game.run();
  EXPECT_EQ(lkt::logLines().back(), "GameManager::run(): game loop started.");
  log.startUp();
  log.setBound(2000);
  struct Stepper : lk::Object {
    int eventHandler(const lk::Event* p_event) override {
      if (p_event->getType() != lk::STEP_EVENT) return 0;
      const int step = static_cast<const lk::EventStep*>(p_event)->getStepCount();
      lk::LogManager::getInstance().writeLog("step %d seen\n", step);
      if (step == 29) lk::GameManager::getInstance().setGameOver(true);
      return 1;
    }
  };
  world().startUp();
  new Stepper;
  game.setGameOver(false);
  game.run();
  game.shutDown();
  log.setBound(lk::MAX_LOG_BYTES);
  int steps = 0, seen = 0, bound = 0;
  for (const std::string& line : lkt::logLines()) {
    if (line.rfind("GameManager::run(): (step #", 0) == 0) steps += 1 + 1000 * bound;  // none after the bound's line
    seen += line == "step " + std::to_string(seen) + " seen";
    bound += line == "LogManager::stepLinesWanted(): lark.log has passed 2000 bytes; the game loop's step lines are no longer written.";
  }
  EXPECT_GT(steps, 3);
  EXPECT_LT(steps, 25);
  EXPECT_EQ(seen, 30);
  EXPECT_EQ(bound, 1);
#ifndef _WIN32
  std::filesystem::remove("../lark.log");
  std::filesystem::create_symlink("/dev/full", "../lark.log");
  testing::internal::CaptureStderr();
  log.startUp();
  for (int i = 0; i < 3; ++i) log.writeLog("lost\n");
  log.shutDown();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "LogManager::writeLog(): lark.log could not be written. No space left on device\n");
#endif
}

namespace {

struct Loaded {
  int result;
  std::string echo, sprite;  // standard output; "frames WxH slowdown colour:frame|frame|"
};

Loaded loadSprite(const std::string& content, const std::string& label) {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.shutDown(), rm.startUp();  // an empty table
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

// Full tables refuse a load, naming the file, without opening it; music
// refuses an empty label; a repeated label finds the first.
TEST(Resources, FullTablesRefuseAndTheFirstOfALabelIsFound) {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.shutDown(), rm.startUp();
  lkt::writeFile("../a-spr.txt", "1\n1\n1\n1\nred\na\n");
  lkt::writeFile("../b-spr.txt", "2\n1\n1\n1\nblue\nb\nc\n");
  for (const auto& [name, samples] : {std::pair{"../a.wav", 80u}, {"../b.wav", 160u}}) {  // 8 kHz, 16-bit mono
    const char head[] = "RIFF----WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x80\x3e\0\0\2\0\x10\0data--\0\0";
    std::string wav = std::string(head, sizeof head - 1) + std::string(2 * samples, '\x11');
    wav[4] = char(wav.size() - 8), wav[5] = char((wav.size() - 8) >> 8), wav[6] = wav[7] = 0, wav[40] = char(2 * samples), wav[41] = char(2 * samples >> 8);
    lkt::writeFile(name, wav);
  }
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

// The first draw after setSprite shows the frame it finds, then each frame
// stays for `slowdown` draws; at -1 the animation stands still.
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

// Loads that work but rarely do what was meant, and calls out of order, are
// named in the log; nothing else changes.
TEST(Misuse, IsNamedInTheLog) {
  const std::string head = "ResourceManager::loadSprite(): ../odd-spr.txt ";
  EXPECT_EQ(loadSprite("2\n3\n2\n1\nred\nabc\nabcde\nab\n", "odd").sprite, "2 3x2 1 1:abcabcde|ab|");
  EXPECT_EQ(lkt::logLines().end()[-4], head + "line 7 has 5 characters; the sprite is 3 wide.");
  EXPECT_EQ(lkt::logLines().end()[-3], head + "has 2 rows in all that are not 3 characters wide.");
  EXPECT_EQ(lkt::logLines().end()[-2], head + "ends before its last frame is complete (missing rows: 1).");
  loadSprite("1\n3\n2\n1\nred\nabc\ndef", "fine");
  EXPECT_EQ(lkt::logLines().back(), "ResourceManager::loadSprite(): Sprite successfully loaded from ../fine-spr.txt.");
  const Entries log = lkt::logLines();
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

TEST_F(World, ViewEventsChangeOnlyTheItemsWithTheirExactLabel) {
  lk::ViewObject *points = new lk::ViewObject, *twin = new lk::ViewObject, *round = new lk::ViewObject;
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
  // An item without a border is one line, on the top row.
  lk::ViewObject* plain = new lk::ViewObject;
  plain->setBorder(false), plain->setLocation(lk::TOP_LEFT);
  EXPECT_EQ(plain->getPosition().getY(), 0);
  EXPECT_EQ(round->getPosition().getY(), 1);
  // Sums beyond int stop at its limits.
  const lk::EventView most("Points:", INT_MAX), least("Points:", INT_MIN);
  const int expected[] = {INT_MAX - 50, INT_MAX, -1, INT_MIN, INT_MIN};
  for (int i = 0; i < 5; ++i) {
    points->eventHandler(i < 2 ? &most : &least);
    EXPECT_EQ(points->getValue(), expected[i]) << i;
  }
}

namespace {

// A RIFF WAVE file of the given chunks ("fmt " is 16-bit mono at 8 kHz).
std::string wav(const std::vector<std::pair<std::string, std::string>>& chunks) {
  const auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string body = "WAVE";
  for (const auto& [id, content] : chunks) body += id + content;
  return "RIFF" + u32(std::uint32_t(body.size())) + body;
}
std::string sized(std::uint32_t claimed, const std::string& content) {
  return std::string{char(claimed), char(claimed >> 8), char(claimed >> 16), char(claimed >> 24)} + content;
}
const std::string FORMAT = sized(16, std::string("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 16));
const std::string SAMPLES = sized(8, std::string(8, '\x10'));

}  // namespace

// Chunks are walked with 64-bit positions: a file with a chunk claiming
// almost 4 GiB, one running past the end, or an odd-sized one ahead of the
// samples (whose pad byte SFML's reader would take for the next header) is
// refused at once with a line naming it.
TEST(Sound, WavChunksPastTheEndOrOddSizedAheadOfTheSamplesAreRefusedAtOnce) {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.shutDown(), rm.startUp();
  const struct {
    std::string name, content, refusal;  // the refusal's text after the file name; "" when it loads
  } cases[] = {
      {"huge-first", wav({{"junk", sized(0xFFFFFFF8u, std::string(64, 'j'))}, {"fmt ", FORMAT}, {"data", SAMPLES}}),
       " has a chunk at byte 12 claiming 4294967288 bytes, past the file's end at byte 124."},
      {"past-end", wav({{"fmt ", FORMAT}, {"LIST", sized(40, "abc")}}),
       " has a chunk at byte 36 claiming 40 bytes, past the file's end at byte 47."},
      {"odd-chunk", wav({{"note", sized(3, std::string("abc") + '\0')}, {"fmt ", FORMAT}, {"data", SAMPLES}}),
       " has a chunk at byte 12 of an odd 3 bytes ahead of its samples, which the WAV reader would misread."},
      {"even-chunk", wav({{"note", sized(4, "abcd")}, {"fmt ", FORMAT}, {"data", SAMPLES}}), ""},
  };
  for (const auto& c : cases) {
    const std::string file = "../" + c.name + ".wav";
    lkt::writeFile(file, c.content);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(rm.loadSound(file, c.name) == 0, c.refusal.empty()) << c.name;
    EXPECT_EQ(rm.loadMusic(file, c.name) == 0, c.refusal.empty()) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
    if (!c.refusal.empty()) {
      EXPECT_EQ(lkt::logCount("Sound::loadSound(): " + file + c.refusal), 1) << c.name;
      EXPECT_EQ(lkt::logCount("Music::loadMusic(): " + file + c.refusal), 1) << c.name;
    }
  }
}

// A tone from sox, as WAV and as MP3 from lame: the MP3 decodes at its rate
// and channels, to the same length (no encoder delay or padding left) and
// sample-aligned with the original, up to the codec's error.
TEST(Mp3, DecodesToTheOriginalsLengthAndSamples) {
#ifdef _WIN32
  GTEST_SKIP() << "sox and lame, which make the tones, are the Linux build's";
#endif
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
  for (const auto& [rate, channels, options] : {std::tuple{44100, 1, "-b 128"}, std::tuple{22050, 2, "-b 96 --id3v2-only --tt Lark"}}) {
    const std::string name = "../tone-" + std::to_string(channels);
    ASSERT_TRUE(lkt::run("sox -n -b 16 -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " + name +
                         ".wav synth 0.7 sine 440 vol 0.5 && lame --quiet " + options + " " + name + ".wav " + name + ".mp3"));
    ASSERT_EQ(rm.loadSound(name + ".wav", name + "wav"), 0);
    ASSERT_EQ(rm.loadSound(name + ".mp3", name), 0);
    const sf::SoundBuffer &mp3 = *rm.getSound(name)->getBuffer(), &wav = *rm.getSound(name + "wav")->getBuffer();
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

TEST(Input, TheKeyTableMapsEachOfItsKeysAndNoOther) {
  std::map<int, int> table = {
      {sf::Keyboard::Num0, lk::NUM0}, {sf::Keyboard::Space, lk::SPACE}, {sf::Keyboard::Enter, lk::ENTER}, {sf::Keyboard::Escape, lk::ESCAPE},
      {sf::Keyboard::Tab, lk::TAB}, {sf::Keyboard::Left, lk::LEFT_ARROW}, {sf::Keyboard::Right, lk::RIGHT_ARROW}, {sf::Keyboard::Up, lk::UP_ARROW},
      {sf::Keyboard::Down, lk::DOWN_ARROW}, {sf::Keyboard::Pause, lk::PAUSE}, {sf::Keyboard::Hyphen, lk::HYPHEN}, {sf::Keyboard::Equal, lk::EQUAL},
      {sf::Keyboard::Tilde, lk::TILDE}, {sf::Keyboard::Period, lk::PERIOD}, {sf::Keyboard::Comma, lk::COMMA}, {sf::Keyboard::Slash, lk::SLASH},
      {sf::Keyboard::LControl, lk::LEFT_CONTROL}, {sf::Keyboard::RControl, lk::RIGHT_CONTROL}, {sf::Keyboard::LShift, lk::LEFT_SHIFT},
      {sf::Keyboard::RShift, lk::RIGHT_SHIFT}};
  for (int i = 0; i < 26; ++i) table[sf::Keyboard::A + i] = lk::A + i;
  for (int i = 0; i < 9; ++i) table[sf::Keyboard::Num1 + i] = lk::NUM1 + i;
  for (int i = 0; i < 12; ++i) table[sf::Keyboard::F1 + i] = lk::F1 + i;
  for (int code = -1000; code < sf::Keyboard::KeyCount + 1000; ++code)
    EXPECT_EQ(lk::InputManager::mapKey(code), table.count(code) ? table[code] : lk::UNDEFINED_KEY) << code;
}

// A title set before start-up names the window. Keys and buttons held down
// are known until released, or until another window takes the focus, which
// pauses the game until the focus comes back.
TEST(Input, HeldKeysAndButtonsAndTheFocusAreFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "xdotool, which presses the keys, is the Linux build's";
#else
  ASSERT_TRUE(lkt::privateDisplay()) << "Xvfb did not start";
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  lk::InputManager& input = lk::InputManager::getInstance();
  const lk::GameManager& game = lk::GameManager::getInstance();
  lk::LogManager::getInstance().startUp();
  lkt::stageAssets();
  display.setTitle("Held keys");
  ASSERT_EQ(display.startUp(), 0);
  ASSERT_EQ(input.startUp(), 0);
  const auto within = [&](const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i, lk::platform::sleepMilliseconds(10)) {
      input.getInput();
      if (condition()) return true;
    }
    return false;
  };
  const std::string focus = "timeout 20 xdotool search --sync --name '^Held keys$' windowfocus --sync";
  ASSERT_TRUE(lkt::run(focus));
  ASSERT_TRUE(lkt::run("xdotool keydown a mousemove --window $(xdotool search --name '^Held keys$') 50 50 mousedown 3"));
  EXPECT_TRUE(within([&] { return input.isKeyHeld(lk::A) && input.isButtonHeld(lk::RIGHT_BUTTON); }));
  EXPECT_FALSE(input.isKeyHeld(lk::B) || input.isButtonHeld(lk::LEFT_BUTTON) || input.isKeyHeld(lk::UNDEFINED_KEY));
  ASSERT_TRUE(lkt::run("xdotool keyup a mouseup 3 keydown b"));
  EXPECT_TRUE(within([&] { return !input.isKeyHeld(lk::A) && !input.isButtonHeld(lk::RIGHT_BUTTON) && input.isKeyHeld(lk::B); }));
  EXPECT_FALSE(game.getPaused());

  sf::Window cover(sf::VideoMode(200, 100), "Cover", sf::Style::None);
  ASSERT_TRUE(lkt::run("timeout 20 xdotool search --sync --name '^Cover$' windowfocus --sync"));
  EXPECT_TRUE(within([&] { return game.getPaused(); }));
  EXPECT_FALSE(input.isKeyHeld(lk::B)) << "its release goes to the other window";
  ASSERT_TRUE(lkt::run("xdotool keyup b"));
  ASSERT_TRUE(lkt::run(focus));
  EXPECT_TRUE(within([&] { return !game.getPaused(); }));
  EXPECT_EQ(lkt::logCount("GameManager::setPaused(): The game is paused."), 1);
  EXPECT_EQ(lkt::logCount("GameManager::setPaused(): The game goes on."), 1);
  input.shutDown();
  display.shutDown();
#endif
}

// What the game draws, twice: by the fast path, then by the per-cell
// reference drawing. Boxed HUD items, a sprite with transparency over
// another, every colour and every byte at whole and fractional places, and
// cells whose later backgrounds cut into earlier glyphs from every side; then
// a full screen of every printable character in every colour. The fast path
// cuts glyphs along later backgrounds, whose texture coordinates may round
// otherwise: at most 2 levels on at most 0.1% of the pixels.
TEST(Window, ColoursAndTransparencyShowAndTheFastPathDrawsTheReferencePicture) {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  lk::LogManager::getInstance().startUp();
  // Without a window nothing is drawn, and each call says so.
  EXPECT_EQ(display.drawCh(lk::Vector(61, 1), '#', lk::RED), -1);
  EXPECT_EQ(display.swapBuffer(), -1);
  const Entries said = lkt::logLines();
  EXPECT_EQ(Entries(said.end() - 2, said.end()),
            (Entries{"DisplayManager::drawCh(): Could not draw. The SFML window is not allocated.",
                     "DisplayManager::swapBuffer(): Could not swap buffers. The SFML window is not allocated."}));
  const lk::Vector middle = lk::pixelsToCells(lk::Vector(512, 384));
  EXPECT_NEAR(middle.getX(), 60, 1e-3);
  EXPECT_NEAR(middle.getY(), 18, 1e-3);
  // Without the font the start fails, and fails again when asked again; with it, it succeeds.
  ASSERT_EQ(display.startUp(), -1);
  ASSERT_EQ(display.startUp(), -1);
  EXPECT_FALSE(display.isStarted());
  lkt::stageAssets();
  ASSERT_EQ(display.startUp(), 0);
  world().startUp();
  const char* labels[] = {"Ducks Missed:", "ROUND", "Points:"};
  for (int i = 0; i < 3; ++i) {
    lk::ViewObject* p = new lk::ViewObject;
    p->setViewString(labels[i]), p->setLocation(lk::ViewObjectLocation(i)), p->setValue(i == 2 ? -2300 : i);
    p->setColor(i == 1 ? lk::WHITE : lk::YELLOW);
  }
  lk::Sprite block(1), front(1);
  block.setColor(lk::GREEN), front.setColor(lk::RED), front.setTransparency('@');
  block.insertFrame(lk::Frame(5, 3, std::string(15, '#')));
  front.insertFrame(lk::Frame(3, 3, "@#@###  @"));
  const auto scene = [&] {
    world().draw();
    for (int k = -1; k <= 8; ++k) display.drawCh(lk::Vector(60 + 4 * k + 6, 3), '#', lk::Color(k));
    block.draw(0, lk::Vector(90, 10)), front.draw(0, lk::Vector(90, 10));
    block.draw(0, lk::Vector(98.5f, 10.5f)), front.draw(0, lk::Vector(99, 10.25f));
    for (int b = 0; b < 256; ++b)
      display.drawCh(lk::Vector(62 + (b % 64) * 1.75f, 22 + (b / 64) * 1.5f + 0.125f * (b % 3)), char(b), lk::Color(b % 8));
    for (int pass = 0; pass < 3; ++pass)
      for (int i = 0; i < 72; ++i) {
        const int k = pass == 2 ? 71 - i : i;
        display.drawCh(lk::Vector(130 + k % 12 + (pass == 1 ? 0.5f : 0), 4 + k / 12 + (pass == 1 ? 0.5f : 0)),
                       "gjpqy_|WM@#%&QJ,;(){}[]"[(k * 7 + pass) % 23], lk::Color(1 + (k + pass) % 7));
      }
  };
  const auto everyCharacter = [&] {
    for (int n = 0; n < 120 * 36; ++n) display.drawCh(lk::Vector(60 + n % 120, n / 120), char(' ' + n % 95), lk::Color(n / 95 % 8));
  };
  sf::Image shot[2];
  for (const auto& draw : {std::function<void()>(everyCharacter), std::function<void()>(scene)}) {
    for (int reference = 0; reference < 2; ++reference) {
      display.setReferenceDrawing(reference == 1);
      draw();
      display.flush();
      sf::Texture texture;
      texture.create(1024, 768), texture.update(*display.getWindow());
      shot[reference] = texture.copyToImage();
      display.swapBuffer();
    }
    int differing = 0, most = 0;
    for (unsigned i = 0; i < 1024 * 768; ++i) {
      const sf::Color a = shot[0].getPixel(i % 1024, i / 1024), b = shot[1].getPixel(i % 1024, i / 1024);
      const int by = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      differing += by > 0, most = std::max(most, by);
    }
    EXPECT_GT(lkt::count(shot[1], {0, 0, 1024, 768}, [](sf::Color c) { return c.r + c.g + c.b > 0; }), 10000);
    EXPECT_LE(most, 2);
    EXPECT_LE(differing, 1024 * 768 / 1000);
    std::printf("%d pixels differ from the reference drawing, by at most %d\n", differing, most);
  }
  display.setReferenceDrawing(false);
  // Each colour shows itself and only its shades; others are white.
  const auto cell = [](int col, int row, int inset) {
    return sf::IntRect(col * 1024 / 120 + inset, row * 768 / 36 + inset, 1024 / 120 - 2 * inset, 768 / 36 - 2 * inset);
  };
  const sf::Color table[] = {sf::Color::Black, sf::Color::Red, sf::Color::Green, sf::Color::Yellow,
                             sf::Color::Blue, sf::Color::Magenta, sf::Color::Cyan, sf::Color::White};
  for (int k = -1; k <= 8; ++k) {
    const sf::Color e = k >= 0 && k <= 7 ? table[k] : sf::Color::White;
    EXPECT_GT(lkt::count(shot[0], cell(4 * k + 6, 3, 0), [&](sf::Color c) { return c == e; }), 10) << k;
    EXPECT_EQ(lkt::count(shot[0], cell(4 * k + 6, 3, 0), [&](sf::Color c) { return (!e.r && c.r) || (!e.g && c.g) || (!e.b && c.b); }), 0) << k;
  }
  // The front sprite's '@' cells leave the green block showing; its blanks are drawn.
  std::string seen;
  for (int i = 0; i < 9; ++i) {
    const int red = lkt::count(shot[0], cell(29 + i % 3, 9 + i / 3, 2), [](sf::Color c) { return c.r > 150 && c.g < 90; });
    const int green = lkt::count(shot[0], cell(29 + i % 3, 9 + i / 3, 2), [](sf::Color c) { return c.g > 150 && c.r < 90; });
    seen += red > 8 && red > 4 * green ? 'R' : green > 8 && green > 4 * red ? 'G' : '.';
  }
  EXPECT_EQ(seen, "GRGRRR..G");
  // Every printable glyph stays inside its cell: the backgrounds of the cells
  // drawn after it (to its right, as in a string, and the row below, as in a
  // sprite) take none of its ink away.
  sf::Image alone[2];
  for (int cover = 0; cover < 2; ++cover) {
    for (int c = 0; c < 95; ++c) {
      const float x = float(61 + c % 30 * 4), y = float(1 + c / 30 * 4);
      display.drawCh(lk::Vector(x, y), char(' ' + c), lk::WHITE);
      for (int n = 0; n < 4 * cover; ++n) display.drawCh(lk::Vector(x + float(n % 3 - 1), y + float(n > 0)), ' ', lk::WHITE);
    }
    display.flush();
    sf::Texture texture;
    texture.create(1024, 768), texture.update(*display.getWindow());
    alone[cover] = texture.copyToImage();
    display.swapBuffer();
  }
  double worst = 0;
  for (int c = 1; c < 95; ++c) {
    const sf::IntRect around = cell(c % 30 * 4, c / 30 * 4, 0);
    long ink[2] = {0, 0};
    for (int cover = 0; cover < 2; ++cover)
      lkt::count(alone[cover], {around.left - 9, around.top - 22, 27, 64}, [&](sf::Color p) { return ink[cover] += p.r, false; });
    worst = std::max(worst, 1 - double(ink[1]) / double(std::max(ink[0], 1L)));
    EXPECT_GT(ink[0], 0) << char(' ' + c);
  }
  std::printf("the glyph most cut by the next cells' backgrounds loses %.1f %% of its ink\n", 100 * worst);
  EXPECT_LT(worst, 0.05);
  world().shutDown();
  display.shutDown();
}
