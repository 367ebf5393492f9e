// The game-object base: identity, default box, velocity, and what happens to
// an object beyond the world's capacity.
#include <vector>

#include <gtest/gtest.h>

#include "Geometry.h"
#include "LogManager.h"
#include "Recorder.h"
#include "WorldManager.h"

namespace {

class ObjectTest : public testing::Test {
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
};

}  // namespace

// Every test runs in a process of its own, so this is the run's first object.
TEST_F(ObjectTest, IdsCountFromZeroAcrossTypesAndAreNeverReused) {
  lk::Object* p_plain = new lk::Object;
  EXPECT_EQ(p_plain->getId(), 0);
  EXPECT_EQ((new lktest::Recorder("r"))->getId(), 1);
  world().markForDelete(p_plain);
  world().update();
  lk::Object* p_next = new lk::Object;
  EXPECT_EQ(p_next->getId(), 2);
  EXPECT_EQ(p_next->getType(), "Object");
  EXPECT_EQ(p_next->getAltitude(), 2);
  EXPECT_EQ(p_next->getSolidness(), lk::HARD);
}

TEST_F(ObjectTest, DefaultBoxLeavesNeighboursOneCellApartUntouched) {
  lk::Object* p_a = new lk::Object;
  p_a->setPosition(lk::Vector(10, 10));
  const lk::Box box = lk::getWorldBox(p_a);
  EXPECT_EQ(box.getCorner(), lk::Vector(9.5f, 9.5f));
  EXPECT_FLOAT_EQ(box.getHorizontal(), 0.99f);
  EXPECT_FLOAT_EQ(box.getVertical(), 0.99f);

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

TEST_F(ObjectTest, VelocityIsSpeedAlongAUnitDirection) {
  lk::Object* p = new lk::Object;
  p->setVelocity(lk::Vector(3, 4));
  EXPECT_FLOAT_EQ(p->getSpeed(), 5.0f);
  EXPECT_FLOAT_EQ(p->getDirection().getX(), 0.6f);
  EXPECT_FLOAT_EQ(p->getDirection().getY(), 0.8f);
  p->setVelocity(lk::Vector(0, 0));
  EXPECT_EQ(p->getSpeed(), 0.0f);
  EXPECT_EQ(p->getDirection(), lk::Vector(0, 0));  // not NaN
}

TEST_F(ObjectTest, ObjectBeyondCapacityIsNotInTheWorld) {
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
