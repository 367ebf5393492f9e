// The world's rules for moves, collisions, exits and deletion; view events.

#include "EventCollision.h"
#include "EventStep.h"
#include "EventView.h"
#include "Geometry.h"
#include "Support.h"
#include "ViewObject.h"

using lkt::Entries, lkt::world;

namespace {

// "a lk::step 0", "a lk::collision a->b (11,10)", "a draw", "a deleted"... across all recorders.
Entries journal;

// A 1 x 1 box centred on its place that journals its events, draws and deletion; runs its hooks.
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
  void SetUp() override { lk::LogManager::getInstance().startUp(), world().startUp(); }
  void TearDown() override { world().shutDown(); }
  static void frame(int step) {  // the loop's order, without a window
    world().update(), world().draw();
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

// Whatever objects come, jump, resize or go, collisions are those of a plain scan, in list order.
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
    const auto gone = [&](lk::Object* p) { return random() % 6 == 0 && (delete p, true); };
    objects.erase(std::remove_if(objects.begin(), objects.end(), gone), objects.end());
    world().update();
    const lk::ObjectList all = world().getAllObjects();
    for (lk::Object* p : objects) {
      const lk::Vector where = random() % 2 ? place() : p->getPosition();
      std::vector<int> scanned, found;
      for (int i = 0; i < all.getCount(); ++i)
        if (const lk::Object* q = all.at(i); q != p && q->getSolidness() != lk::SPECTRAL && lk::boxIntersectsBox(lk::getWorldBox(p, where), lk::getWorldBox(q)) &&
            !(p->getType() == "Duck" && q->getType() == "Duck"))
          scanned.push_back(q->getId());
      const lk::ObjectList hits = world().getCollisions(p, where);
      for (int i = 0; i < hits.getCount(); ++i) found.push_back(hits.at(i)->getId());
      ASSERT_EQ(found, scanned) << round;
    }
  }
}

// Past its capacity the world takes in no more, listed or met.
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
  frame(0), frame(1);
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
  // a marks itself twice; its destructor marks b, whose destructor makes one that moves onto c.
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
