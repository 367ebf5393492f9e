// Objects and the world: identity, default box, velocity, capacity;
// collisions and refused moves, out-of-world events, acceleration,
// deferred deletion, and drawing by altitude with culling against the view.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EventOut.h"
#include "EventStep.h"
#include "Geometry.h"
#include "LogManager.h"
#include "Recorder.h"
#include "WorldManager.h"

using lktest::journal;
using lktest::Recorder;
using Entries = std::vector<std::string>;

namespace {

class WorldManagerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lk::LogManager::getInstance().startUp(), 0);
    ASSERT_EQ(world().startUp(), 0);
  }
  void TearDown() override {
    world().shutDown();
    lk::LogManager::getInstance().shutDown();
  }

  static lk::WorldManager& world() { return lk::WorldManager::getInstance(); }

  // One frame as the game loop runs it, without a window.
  static void frame(int step) {
    world().update();
    world().draw();
    const lk::EventStep event(step);
    world().onEvent(&event);
  }
};

void expectAt(const lk::Object* p, float x, float y) {
  EXPECT_FLOAT_EQ(p->getPosition().getX(), x) << Recorder::nameOf(p);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), y) << Recorder::nameOf(p);
}

}  // namespace

TEST_F(WorldManagerTest, SolidnessAndTypesDecideEventsAndMoves) {
  const struct {
    lk::Solidness mover, other;
    const char* mover_type;
    const char* other_type;
    int result;
    bool events;
  } cases[] = {
      {lk::HARD, lk::SOFT, "Thing", "Thing", 0, true},
      {lk::SOFT, lk::HARD, "Thing", "Thing", 0, true},
      {lk::HARD, lk::HARD, "Thing", "Thing", -1, true},
      {lk::SPECTRAL, lk::HARD, "Thing", "Thing", 0, false},
      {lk::HARD, lk::SPECTRAL, "Thing", "Thing", 0, false},
      {lk::HARD, lk::HARD, "Duck", "Duck", 0, false},  // ducks pass each other
      {lk::HARD, lk::HARD, "Duck", "Bullet", -1, true},
      {lk::HARD, lk::HARD, "duck", "Duck", -1, true},  // the type test is exact
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const float y = 2.0f + 4.0f * static_cast<float>(i);
    const std::string m = "m" + std::to_string(i), o = "o" + std::to_string(i);
    SCOPED_TRACE(m);
    Recorder* p_mover = new Recorder(m, lk::Vector(10, y), c.mover);
    Recorder* p_other = new Recorder(o, lk::Vector(11.5f, y), c.other);
    p_mover->setType(c.mover_type);
    p_other->setType(c.other_type);
    p_mover->setVelocity(lk::Vector(1, 0));
    p_mover->setAcceleration(lk::Vector(0, 0.5f));
    journal().clear();

    EXPECT_EQ(world().moveObject(p_mover, lk::Vector(11, y)), c.result);
    // The mover is told first; the position is its destination.
    const std::string event =
        " lk::collision " + m + "->" + o + " (11," + std::to_string(static_cast<int>(y)) + ")";
    EXPECT_EQ(journal(), (c.events ? Entries{m + event, o + event} : Entries{}));
    // A refused move keeps position and velocity; the acceleration waits.
    expectAt(p_mover, c.result == 0 ? 11.0f : 10.0f, y);
    EXPECT_NEAR(p_mover->getVelocity().getY(), c.result == 0 ? 0.5f : 0.0f, 1e-6);
    expectAt(p_other, 11.5f, y);
  }
}

TEST_F(WorldManagerTest, EveryPartnerIsToldInListOrderAndARefusedMoveIsTriedAgain) {
  Recorder* p_mover = new Recorder("a", lk::Vector(10, 10), lk::HARD);
  new Recorder("b", lk::Vector(11, 10), lk::SOFT);
  Recorder* p_wall = new Recorder("c", lk::Vector(11, 10.5f), lk::HARD);
  new Recorder("d", lk::Vector(11, 11), lk::SOFT);
  new Recorder("far", lk::Vector(20, 10), lk::HARD);
  p_mover->setVelocity(lk::Vector(1, 0.5f));
  const Entries told = {"a lk::collision a->b (11,10.5)", "b lk::collision a->b (11,10.5)",
                        "a lk::collision a->c (11,10.5)", "c lk::collision a->c (11,10.5)",
                        "a lk::collision a->d (11,10.5)", "d lk::collision a->d (11,10.5)"};
  for (int step = 0; step < 2; ++step) {
    journal().clear();
    world().update();
    EXPECT_EQ(journal(), told);
    expectAt(p_mover, 10, 10);
  }
  // Solidness is read after the handlers: a wall that turns soft lets it by.
  p_wall->on_event = [](Recorder& self, const lk::Event&) { self.setSolidness(lk::SOFT); };
  world().update();
  expectAt(p_mover, 11, 10.5f);
}

TEST_F(WorldManagerTest, ObjectThatDoesNotMoveIsNeverTested) {
  Recorder* p_still = new Recorder("still", lk::Vector(10, 10), lk::HARD);
  Recorder* p_placed = new Recorder("placed", lk::Vector(40, 10), lk::HARD);
  p_placed->setPosition(lk::Vector(10, 10));  // right on top, but no move
  frame(0);
  // Velocity and acceleration that cancel out are no move either.
  p_placed->setVelocity(lk::Vector(0.5f, 0));
  p_placed->setAcceleration(lk::Vector(-0.5f, 0));
  frame(1);
  const std::vector<std::string> steps_only = {lk::STEP_EVENT, lk::STEP_EVENT};
  EXPECT_EQ(p_still->seen, steps_only);
  EXPECT_EQ(p_placed->seen, steps_only);
}

TEST_F(WorldManagerTest, OneOutEventPerExit) {
  // Box from x - 0.5 to x + 0.5: at x = -0.5 it touches the left edge.
  Recorder* p = new Recorder("p", lk::Vector(-0.5f, 10), lk::SPECTRAL);
  EXPECT_EQ(world().moveObject(p, lk::Vector(-1.5f, 10)), 0);  // wholly out
  EXPECT_EQ(p->count(lk::OUT_EVENT), 1);
  world().moveObject(p, lk::Vector(-2.5f, 10));
  world().moveObject(p, lk::Vector(-1.5f, 10));
  EXPECT_EQ(p->count(lk::OUT_EVENT), 1);         // moves outside say nothing
  world().moveObject(p, lk::Vector(-0.5f, 10));  // back, touching
  world().moveObject(p, lk::Vector(-0.6f, 10));  // a little further: out again
  EXPECT_EQ(p->count(lk::OUT_EVENT), 2);

  const struct {
    lk::Vector from, to;
    int outs;
  } edges[] = {
      {{230, 10}, {240.5f, 10}, 0},  // still touching the right edge
      {{240.5f, 10}, {300, 10}, 1},
      {{100, 36.5f}, {100, 36.6f}, 1},
  };
  for (const auto& e : edges) {
    Recorder* p_edge = new Recorder("edge", e.from, lk::SPECTRAL);
    world().moveObject(p_edge, e.to);
    EXPECT_EQ(p_edge->count(lk::OUT_EVENT), e.outs) << e.to.getX() << "," << e.to.getY();
  }

  // An object made outside hears nothing until it has come in.
  Recorder* p_late = new Recorder("late", lk::Vector(-10, 10), lk::HARD);
  p_late->setVelocity(lk::Vector(-4, 0));
  frame(0);
  frame(1);
  EXPECT_EQ(p_late->count(lk::OUT_EVENT), 0);
  p_late->setVelocity(lk::Vector(5, 0));  // -18 -> -13 -> ... -> 2 -> ... -> 237 -> 242
  for (int step = 2; step < 60; ++step) frame(step);
  EXPECT_EQ(p_late->count(lk::OUT_EVENT), 1);
  EXPECT_GT(p_late->getPosition().getX(), 240.5f);
}

TEST_F(WorldManagerTest, AccelerationAddsToTheVelocityAtEveryMove) {
  Recorder* p = new Recorder("p", lk::Vector(100, 10), lk::SPECTRAL);
  p->setAcceleration(lk::Vector(0, 0.02f));
  frame(0);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 10.02f);
  EXPECT_FLOAT_EQ(p->getSpeed(), 0.02f);
  EXPECT_EQ(p->getDirection(), lk::Vector(0, 1));
  frame(1);
  expectAt(p, 100, 10.06f);
  EXPECT_FLOAT_EQ(p->getSpeed(), 0.04f);
}

TEST_F(WorldManagerTest, MarkedObjectLivesOutItsFrameAndGoesOnce) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10), lk::HARD);
  new Recorder("b", lk::Vector(101, 10), lk::HARD);
  p_a->setVelocity(lk::Vector(0.5f, 0));
  // a marks itself again and again when it meets b, during frame 0's update.
  p_a->on_event = [](Recorder& self, const lk::Event& e) {
    if (e.getType() != lk::COLLISION_EVENT) return;
    for (int i = 0; i < 5; ++i) lk::WorldManager::getInstance().markForDelete(&self);
  };
  frame(0);
  EXPECT_EQ(journal(), (Entries{"a lk::collision a->b (100.5,10)",
                                "b lk::collision a->b (100.5,10)", "a draw", "b draw",
                                "a lk::step 0", "b lk::step 0"}));
  journal().clear();
  frame(1);
  EXPECT_EQ(journal(), (Entries{"a deleted", "b draw", "b lk::step 1"}));
  EXPECT_EQ(world().getAllObjects().getCount(), 1);
}

TEST_F(WorldManagerTest, ChainedDeletionsAndNewcomersAreHandledInTheSameUpdate) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10));
  Recorder* p_b = new Recorder("b", lk::Vector(102, 10));
  Recorder* p_c = new Recorder("c", lk::Vector(104, 10));
  Recorder* p_keep = new Recorder("keep", lk::Vector(106, 10), lk::SOFT);
  Recorder* p_heir = nullptr;
  Recorder* p_made = nullptr;
  p_a->on_destroy = [p_b] { lk::WorldManager::getInstance().markForDelete(p_b); };
  p_b->on_destroy = [p_c] { lk::WorldManager::getInstance().markForDelete(p_c); };
  // The last one leaves an heir, which moves in the same update onto keep,
  // whose handler makes another object, which moves in that walk too.
  p_c->on_destroy = [&p_heir] {
    p_heir = new Recorder("heir", lk::Vector(105, 10));
    p_heir->setVelocity(lk::Vector(0.5f, 0));
  };
  p_keep->on_event = [&p_made](Recorder&, const lk::Event&) {
    p_made = new Recorder("made", lk::Vector(150, 20));
    p_made->setVelocity(lk::Vector(0, 2));
  };
  world().markForDelete(p_a);
  world().update();
  EXPECT_EQ(journal(), (Entries{"a deleted", "b deleted", "c deleted",
                                "heir lk::collision heir->keep (105.5,10)",
                                "keep lk::collision heir->keep (105.5,10)"}));
  ASSERT_NE(p_made, nullptr);
  expectAt(p_heir, 105.5f, 10);
  expectAt(p_made, 150, 22);

  // Nothing is left waiting; shut-down deletes every object once, one that
  // is marked as well.
  journal().clear();
  world().markForDelete(p_heir);
  world().shutDown();
  world().update();
  EXPECT_EQ(journal(), (Entries{"keep deleted", "heir deleted", "made deleted"}));
  EXPECT_EQ(world().getAllObjects().getCount(), 0);
}

TEST_F(WorldManagerTest, DrawsByAltitudeInListOrder) {
  const struct {
    const char* name;
    int altitude;
  } layout[] = {{"a3", 3}, {"b0", 0}, {"c3", 3}, {"d1", 1}, {"e0", 0},
                {"f4", 4}, {"g2", 2}, {"high", 5}, {"low", -1}};
  for (const auto& item : layout)
    (new Recorder(item.name, lk::Vector(100, 10)))->setAltitude(item.altitude);
  world().draw();
  EXPECT_EQ(journal(),
            (Entries{"b0 draw", "e0 draw", "d1 draw", "g2 draw", "a3 draw", "c3 draw", "f4 draw"}));
}

TEST_F(WorldManagerTest, OnlyObjectsMeetingTheViewAreDrawn) {
  // The view spans x 60..180 and y 0..36; boxes are x +- 0.5, y +- 0.5.
  const struct {
    const char* name;
    float x, y;
  } layout[] = {{"inside", 120, 18},         {"left-touch", 59.5f, 18},
                {"left-out", 59.4f, 18},     {"right-touch", 180.5f, 18},
                {"right-out", 180.6f, 18},   {"bottom-touch", 120, 36.5f},
                {"top-out", 120, -0.6f},     {"world-only", 10, 10}};
  for (const auto& item : layout) new Recorder(item.name, lk::Vector(item.x, item.y));
  // View objects sit relative to the view: in world terms these are far off.
  (new lktest::RecordingViewObject("hud"))->setPosition(lk::Vector(5, 5));
  (new lktest::RecordingViewObject("hud-far"))->setPosition(lk::Vector(-500, -500));
  world().draw();
  Entries drawn = journal();
  std::sort(drawn.begin(), drawn.end());
  EXPECT_EQ(drawn, (Entries{"bottom-touch draw", "hud draw", "hud-far draw", "inside draw",
                            "left-touch draw", "right-touch draw"}));
}

// Every test runs in a process of its own, so this is the run's first object.
TEST_F(WorldManagerTest, IdsCountFromZeroAcrossTypesAndAreNeverReused) {
  lk::Object* p_plain = new lk::Object;
  EXPECT_EQ(p_plain->getId(), 0);
  EXPECT_EQ((new lktest::Recorder("r"))->getId(), 1);
  world().markForDelete(p_plain);
  world().update();
  lk::Object* p_next = new lk::Object;
  EXPECT_EQ(p_next->getId(), 2);
}

TEST_F(WorldManagerTest, DefaultBoxLeavesNeighboursOneCellApartUntouched) {
  lk::Object* p_a = new lk::Object;
  p_a->setPosition(lk::Vector(10, 10));
  lk::Object* p_b = new lk::Object;
  for (const lk::Vector& neighbour : {lk::Vector(11, 10), lk::Vector(9, 10), lk::Vector(10, 11),
                                      lk::Vector(10, 9), lk::Vector(11, 11)}) {
    p_b->setPosition(neighbour);
    EXPECT_FALSE(lk::boxIntersectsBox(lk::getWorldBox(p_a), lk::getWorldBox(p_b)))
        << neighbour.getX() << "," << neighbour.getY();
  }
  p_b->setPosition(lk::Vector(10.5f, 10.5f));
  EXPECT_TRUE(lk::boxIntersectsBox(lk::getWorldBox(p_a), lk::getWorldBox(p_b)));
}

TEST_F(WorldManagerTest, VelocityIsSpeedAlongAUnitDirection) {
  lk::Object* p = new lk::Object;
  p->setVelocity(lk::Vector(3, 4));
  EXPECT_FLOAT_EQ(p->getSpeed(), 5.0f);
  EXPECT_FLOAT_EQ(p->getDirection().getX(), 0.6f);
  EXPECT_FLOAT_EQ(p->getDirection().getY(), 0.8f);
  p->setVelocity(lk::Vector(0, 0));
  EXPECT_EQ(p->getSpeed(), 0.0f);
  EXPECT_EQ(p->getDirection(), lk::Vector(0, 0));  // not NaN
}

TEST_F(WorldManagerTest, ObjectBeyondCapacityIsNotInTheWorld) {
  std::vector<lktest::Recorder*> members;
  // Inside the view, so every member is drawn.
  for (int i = 0; i < lk::MAX_OBJECTS; ++i)
    members.push_back(new lktest::Recorder("m", lk::Vector(100, 10), lk::SPECTRAL));
  lktest::Recorder* p_extra = new lktest::Recorder("extra", lk::Vector(100, 10));
  p_extra->setVelocity(lk::Vector(1, 0));
  members[0]->setSolidness(lk::HARD);
  members[0]->setVelocity(lk::Vector(0.25f, 0));  // moves onto the extra's cell

  const lk::EventStep step(0);
  EXPECT_EQ(world().onEvent(&step), lk::MAX_OBJECTS);
  world().update();
  world().draw();
  EXPECT_TRUE(p_extra->seen.empty());
  EXPECT_EQ(lktest::journalCount("extra draw"), 0);
  EXPECT_EQ(lktest::journalCount("m draw"), lk::MAX_OBJECTS);
  EXPECT_FLOAT_EQ(p_extra->getPosition().getX(), 100.0f);  // never moved
  EXPECT_EQ(members[0]->count(lk::COLLISION_EVENT), 0);    // and never met

  // Once a member has gone, a new object joins again.
  world().markForDelete(members[1]);
  world().update();
  lktest::Recorder* p_late = new lktest::Recorder("late", lk::Vector(100, 10));
  EXPECT_EQ(world().getAllObjects().at(lk::MAX_OBJECTS - 1), p_late);
  delete p_extra;  // the world does not own it
}
