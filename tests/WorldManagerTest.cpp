// The world: collisions and refused moves, out-of-world events, acceleration,
// deferred deletion, and drawing by altitude with culling against the view.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EventCollision.h"
#include "EventOut.h"
#include "EventStep.h"
#include "LogManager.h"
#include "Object.h"
#include "Recorder.h"
#include "TestSupport.h"
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

  static bool alive(const lk::Object* p) {
    const lk::ObjectList all = world().getAllObjects();
    for (int i = 0; i < all.getCount(); ++i)
      if (all.at(i) == p) return true;
    return false;
  }
};

void expectAt(const lk::Object* p, float x, float y) {
  EXPECT_FLOAT_EQ(p->getPosition().getX(), x) << lktest::nameOf(p);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), y) << lktest::nameOf(p);
}

}  // namespace

TEST_F(WorldManagerTest, StartUpSetsTheWorldAndTheView) {
  EXPECT_TRUE(world().isStarted());
  EXPECT_TRUE(lktest::logHas("WorldManager::startUp(): WorldManager was successfully started."));
  const lk::Box boundary = world().getBoundary();
  EXPECT_EQ(boundary.getCorner(), lk::Vector(0, 0));
  EXPECT_EQ(boundary.getHorizontal(), 240.0f);
  EXPECT_EQ(boundary.getVertical(), 36.0f);
  const lk::Box view = world().getView();
  EXPECT_EQ(view.getCorner(), lk::Vector(60, 0));
  EXPECT_EQ(view.getHorizontal(), 120.0f);
  EXPECT_EQ(view.getVertical(), 36.0f);
}

TEST_F(WorldManagerTest, MoverHearsOfTheCollisionFirstAndSoftGivesWay) {
  Recorder* p_mover = new Recorder("a", lk::Vector(10, 10), lk::HARD);
  Recorder* p_soft = new Recorder("b", lk::Vector(12, 10), lk::SOFT);
  p_mover->setVelocity(lk::Vector(1, 0));
  frame(0);  // to (11, 10): touching b's box

  EXPECT_EQ(journal(), (Entries{"a lk::collision a->b (11,10)", "b lk::collision a->b (11,10)",
                                "a lk::step 0", "b lk::step 0"}));
  ASSERT_FALSE(p_soft->seen.empty());
  EXPECT_EQ(p_soft->seen[0].p_obj1, p_mover);
  EXPECT_EQ(p_soft->seen[0].p_obj2, p_soft);
  expectAt(p_mover, 11, 10);  // hard onto soft moves
  expectAt(p_soft, 12, 10);

  // Soft onto hard moves as well; the position is the destination.
  Recorder* p_soft_mover = new Recorder("c", lk::Vector(50, 10), lk::SOFT);
  Recorder* p_wall = new Recorder("d", lk::Vector(51, 10), lk::HARD);
  EXPECT_EQ(world().moveObject(p_soft_mover, lk::Vector(50.5f, 10)), 0);
  expectAt(p_soft_mover, 50.5f, 10);
  ASSERT_EQ(p_wall->seen.size(), 1u);
  EXPECT_EQ(p_wall->seen[0].p_obj1, p_soft_mover);
  EXPECT_EQ(p_wall->seen[0].position, lk::Vector(50.5f, 10));
  EXPECT_EQ(p_soft_mover->count(lk::COLLISION_EVENT), 1);
}

TEST_F(WorldManagerTest, HardRefusesHardButBothHearOfIt) {
  Recorder* p_mover = new Recorder("a", lk::Vector(10, 10), lk::HARD);
  Recorder* p_wall = new Recorder("b", lk::Vector(12, 10), lk::HARD);
  p_mover->setVelocity(lk::Vector(1.5f, 0));
  p_mover->setAcceleration(lk::Vector(0, 0.5f));

  EXPECT_EQ(world().moveObject(p_mover, lk::Vector(11.5f, 10)), -1);
  expectAt(p_mover, 10, 10);
  EXPECT_FLOAT_EQ(p_mover->getSpeed(), 1.5f);  // acceleration not applied
  EXPECT_EQ(p_mover->getDirection(), lk::Vector(1, 0));
  EXPECT_EQ(journal(), (Entries{"a lk::collision a->b (11.5,10)", "b lk::collision a->b (11.5,10)"}));
  EXPECT_EQ(p_wall->seen.at(0).p_obj1, p_mover);
}

TEST_F(WorldManagerTest, RefusedMoveIsTriedAgainEveryFrame) {
  Recorder* p_mover = new Recorder("a", lk::Vector(10, 10), lk::HARD);
  Recorder* p_wall = new Recorder("b", lk::Vector(11.5f, 10), lk::HARD);
  p_mover->setVelocity(lk::Vector(1, 0));
  frame(0);
  frame(1);
  expectAt(p_mover, 10, 10);
  EXPECT_EQ(p_mover->count(lk::COLLISION_EVENT), 2);
  EXPECT_EQ(p_wall->count(lk::COLLISION_EVENT), 2);

  // Solidness is read after the handlers: a wall that turns soft lets it by.
  p_wall->on_event = [](Recorder& self, const lk::Event& e) {
    if (e.getType() == lk::COLLISION_EVENT) self.setSolidness(lk::SOFT);
  };
  frame(2);
  expectAt(p_mover, 11, 10);
}

TEST_F(WorldManagerTest, EveryPartnerIsToldInListOrderBeforeTheMoveIsDecided) {
  Recorder* p_mover = new Recorder("a", lk::Vector(10, 10), lk::HARD);
  new Recorder("b", lk::Vector(11, 10), lk::SOFT);
  new Recorder("c", lk::Vector(11, 10.5f), lk::HARD);
  new Recorder("d", lk::Vector(11, 11), lk::SOFT);
  new Recorder("far", lk::Vector(20, 10), lk::HARD);
  EXPECT_EQ(world().moveObject(p_mover, lk::Vector(11, 10.5f)), -1);
  EXPECT_EQ(journal(), (Entries{
                           "a lk::collision a->b (11,10.5)", "b lk::collision a->b (11,10.5)",
                           "a lk::collision a->c (11,10.5)", "c lk::collision a->c (11,10.5)",
                           "a lk::collision a->d (11,10.5)", "d lk::collision a->d (11,10.5)",
                       }));
  expectAt(p_mover, 10, 10);
}

TEST_F(WorldManagerTest, SpectralNeverCollides) {
  Recorder* p_ghost = new Recorder("ghost", lk::Vector(10, 10), lk::SPECTRAL);
  new Recorder("wall", lk::Vector(11, 10), lk::HARD);
  EXPECT_EQ(world().moveObject(p_ghost, lk::Vector(11, 10)), 0);
  expectAt(p_ghost, 11, 10);

  Recorder* p_hard = new Recorder("hard", lk::Vector(30, 10), lk::HARD);
  new Recorder("ghost2", lk::Vector(31, 10), lk::SPECTRAL);
  EXPECT_EQ(world().moveObject(p_hard, lk::Vector(31, 10)), 0);
  expectAt(p_hard, 31, 10);
  EXPECT_EQ(journal(), Entries{});
}

TEST_F(WorldManagerTest, DucksPassEachOtherButMeetBullets) {
  Recorder* p_duck = new Recorder("duck", lk::Vector(10, 10), lk::HARD);
  Recorder* p_other_duck = new Recorder("duck2", lk::Vector(11, 10), lk::HARD);
  p_duck->setType("Duck");
  p_other_duck->setType("Duck");
  EXPECT_EQ(world().moveObject(p_duck, lk::Vector(11, 10)), 0);
  EXPECT_EQ(journal(), Entries{});

  Recorder* p_bullet = new Recorder("bullet", lk::Vector(12, 10), lk::HARD);
  p_bullet->setType("Bullet");
  EXPECT_EQ(world().moveObject(p_duck, lk::Vector(12, 10.5f)), -1);
  EXPECT_EQ(journal(), (Entries{"duck lk::collision duck->bullet (12,10.5)",
                                "bullet lk::collision duck->bullet (12,10.5)"}));

  // The test is on the exact type name.
  journal().clear();
  p_other_duck->setType("duck");
  EXPECT_EQ(world().moveObject(p_other_duck, lk::Vector(11.5f, 10)), -1);
  EXPECT_EQ(lktest::journalCount("duck2 lk::collision duck2->duck (11.5,10)"), 1);
}

TEST_F(WorldManagerTest, ObjectThatDoesNotMoveIsNeverTested) {
  Recorder* p_still = new Recorder("still", lk::Vector(10, 10), lk::HARD);
  Recorder* p_placed = new Recorder("placed", lk::Vector(40, 10), lk::HARD);
  p_placed->setPosition(lk::Vector(10, 10));  // right on top, but no move
  frame(0);
  frame(1);
  EXPECT_EQ(p_still->count(lk::COLLISION_EVENT), 0);
  EXPECT_EQ(p_placed->count(lk::COLLISION_EVENT), 0);
  EXPECT_EQ(p_still->count(lk::OUT_EVENT), 0);
  EXPECT_EQ(p_still->count(lk::STEP_EVENT), 2);

  // Velocity and acceleration that cancel out are no move either.
  p_placed->setVelocity(lk::Vector(0.5f, 0));
  p_placed->setAcceleration(lk::Vector(-0.5f, 0));
  frame(2);
  EXPECT_EQ(p_placed->count(lk::COLLISION_EVENT), 0);
}

TEST_F(WorldManagerTest, OneOutEventPerExit) {
  // Box from x - 0.5 to x + 0.5: at x = -0.5 it touches the left edge.
  Recorder* p = new Recorder("p", lk::Vector(-0.5f, 10), lk::SPECTRAL);
  EXPECT_EQ(world().moveObject(p, lk::Vector(-1.5f, 10)), 0);  // wholly out
  EXPECT_EQ(p->count(lk::OUT_EVENT), 1);
  world().moveObject(p, lk::Vector(-2.5f, 10));
  world().moveObject(p, lk::Vector(-1.5f, 10));
  EXPECT_EQ(p->count(lk::OUT_EVENT), 1);  // moves outside say nothing
  world().moveObject(p, lk::Vector(-0.5f, 10));  // back, touching
  world().moveObject(p, lk::Vector(-0.6f, 10));  // a little further: out again
  EXPECT_EQ(p->count(lk::OUT_EVENT), 2);

  // Across the other edges too.
  Recorder* p_down = new Recorder("down", lk::Vector(100, 36.5f), lk::SPECTRAL);
  world().moveObject(p_down, lk::Vector(100, 36.6f));
  Recorder* p_right = new Recorder("right", lk::Vector(230, 10), lk::SPECTRAL);
  world().moveObject(p_right, lk::Vector(240.5f, 10));  // still touching at 240
  EXPECT_EQ(p_right->count(lk::OUT_EVENT), 0);
  world().moveObject(p_right, lk::Vector(300, 10));
  Recorder* p_up = new Recorder("up", lk::Vector(100, 0), lk::SPECTRAL);
  world().moveObject(p_up, lk::Vector(100, -0.51f));
  EXPECT_EQ(p_down->count(lk::OUT_EVENT), 1);
  EXPECT_EQ(p_right->count(lk::OUT_EVENT), 1);
  EXPECT_EQ(p_up->count(lk::OUT_EVENT), 1);
}

TEST_F(WorldManagerTest, ObjectMadeOutsideHearsNothingUntilItHasComeIn) {
  Recorder* p = new Recorder("p", lk::Vector(-10, 10), lk::HARD);
  p->setVelocity(lk::Vector(-4, 0));
  frame(0);
  frame(1);
  EXPECT_EQ(p->count(lk::OUT_EVENT), 0);
  p->setVelocity(lk::Vector(5, 0));  // -18 -> -13 -> ... -> 2 -> ... -> 237 -> 242
  for (int step = 2; step < 60; ++step) frame(step);
  EXPECT_EQ(p->count(lk::OUT_EVENT), 1);
  EXPECT_GT(p->getPosition().getX(), 240.5f);
}

TEST_F(WorldManagerTest, AccelerationAddsToTheVelocityAtEveryMove) {
  Recorder* p = new Recorder("p", lk::Vector(100, 10), lk::SPECTRAL);
  p->setAcceleration(lk::Vector(0, 0.02f));
  frame(0);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 10.02f);
  EXPECT_FLOAT_EQ(p->getSpeed(), 0.02f);
  EXPECT_EQ(p->getDirection(), lk::Vector(0, 1));
  frame(1);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 10.06f);
  EXPECT_FLOAT_EQ(p->getSpeed(), 0.04f);
  EXPECT_FLOAT_EQ(p->getPosition().getX(), 100.0f);
}

TEST_F(WorldManagerTest, MarkedObjectLivesOutItsFrameAndGoesOnce) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10), lk::HARD);
  new Recorder("b", lk::Vector(101, 10), lk::HARD);
  p_a->setVelocity(lk::Vector(0.5f, 0));
  // a marks itself again and again when it meets b, during the update of
  // frame 0.
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
  EXPECT_FALSE(alive(p_a));
  EXPECT_EQ(world().getAllObjects().getCount(), 1);
}

TEST_F(WorldManagerTest, DestructorsMayMarkMoreObjectsInTheSamePass) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10));
  Recorder* p_b = new Recorder("b", lk::Vector(102, 10));
  Recorder* p_c = new Recorder("c", lk::Vector(104, 10));
  Recorder* p_keep = new Recorder("keep", lk::Vector(106, 10));
  Recorder* p_made = nullptr;
  p_a->on_destroy = [p_b] { lk::WorldManager::getInstance().markForDelete(p_b); };
  p_b->on_destroy = [p_c] { lk::WorldManager::getInstance().markForDelete(p_c); };
  // The last one leaves a successor behind, which moves in the same update.
  p_c->on_destroy = [&p_made] {
    p_made = new Recorder("made", lk::Vector(110, 10));
    p_made->setVelocity(lk::Vector(1, 0));
  };
  world().markForDelete(p_a);
  world().update();
  EXPECT_EQ(journal(), (Entries{"a deleted", "b deleted", "c deleted"}));
  EXPECT_TRUE(alive(p_keep));
  ASSERT_NE(p_made, nullptr);
  EXPECT_TRUE(alive(p_made));
  expectAt(p_made, 111, 10);
  EXPECT_EQ(world().getAllObjects().getCount(), 2);

  // Nothing is left waiting: the next update deletes nothing.
  journal().clear();
  world().update();
  EXPECT_TRUE(lktest::journalOf("keep deleted").empty());
  EXPECT_EQ(world().getAllObjects().getCount(), 2);
}

TEST_F(WorldManagerTest, ObjectsMadeDuringTheMovementWalkMoveInIt) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10), lk::HARD);
  Recorder* p_b = new Recorder("b", lk::Vector(101, 10), lk::SOFT);
  Recorder* p_made = nullptr;
  p_a->setVelocity(lk::Vector(0.5f, 0));
  p_b->on_event = [&p_made](Recorder&, const lk::Event& e) {
    if (e.getType() != lk::COLLISION_EVENT || p_made != nullptr) return;
    p_made = new Recorder("made", lk::Vector(150, 20), lk::HARD);
    p_made->setVelocity(lk::Vector(0, 2));
  };
  world().update();
  ASSERT_NE(p_made, nullptr);
  expectAt(p_made, 150, 22);
}

TEST_F(WorldManagerTest, ShutDownDeletesEveryObjectOnce) {
  new Recorder("a", lk::Vector(1, 1));
  Recorder* p_b = new Recorder("b", lk::Vector(2, 2));
  new Recorder("c", lk::Vector(3, 3));
  world().markForDelete(p_b);  // pending, and deleted by the shut-down
  world().shutDown();
  EXPECT_EQ(journal(), (Entries{"a deleted", "b deleted", "c deleted"}));
  EXPECT_FALSE(world().isStarted());
  EXPECT_EQ(world().getAllObjects().getCount(), 0);
  world().update();  // nothing stale left to delete
  EXPECT_EQ(journal().size(), 3u);
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
  new Recorder("inside", lk::Vector(120, 18));
  new Recorder("left-touch", lk::Vector(59.5f, 18));
  new Recorder("left-out", lk::Vector(59.4f, 18));
  new Recorder("right-touch", lk::Vector(180.5f, 18));
  new Recorder("right-out", lk::Vector(180.6f, 18));
  new Recorder("bottom-touch", lk::Vector(120, 36.5f));
  new Recorder("top-out", lk::Vector(120, -0.6f));
  new Recorder("world-only", lk::Vector(10, 10));  // in the world, left of the view
  // View objects sit relative to the view: in world terms these are far off.
  (new lktest::RecordingViewObject("hud"))->setPosition(lk::Vector(5, 5));
  (new lktest::RecordingViewObject("hud-far"))->setPosition(lk::Vector(-500, -500));
  world().draw();
  Entries drawn = journal();
  std::sort(drawn.begin(), drawn.end());
  EXPECT_EQ(drawn, (Entries{"bottom-touch draw", "hud draw", "hud-far draw", "inside draw",
                            "left-touch draw", "right-touch draw"}));
}
