// The game-object base: identity, default box, velocity, sprites by label,
// and what happens to an object beyond the world's capacity.
#include <vector>

#include <gtest/gtest.h>

#include "EventCollision.h"
#include "EventStep.h"
#include "Geometry.h"
#include "LogManager.h"
#include "Object.h"
#include "Recorder.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WorldManager.h"

namespace {

class ObjectTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lk::LogManager::getInstance().startUp(), 0);
    ASSERT_EQ(lk::WorldManager::getInstance().startUp(), 0);
  }
  void TearDown() override {
    lk::WorldManager::getInstance().shutDown();
    lk::LogManager::getInstance().shutDown();
  }
};

}  // namespace

// Every test runs in a process of its own, so this is the run's first object.
TEST_F(ObjectTest, IdsCountFromZeroAcrossTypes) {
  lk::Object* p_plain = new lk::Object;
  lktest::Recorder* p_recorder = new lktest::Recorder("r");
  lk::Object* p_second_plain = new lk::Object;
  EXPECT_EQ(p_plain->getId(), 0);
  EXPECT_EQ(p_recorder->getId(), 1);
  EXPECT_EQ(p_second_plain->getId(), 2);

  // Ids are never reused.
  lk::WorldManager::getInstance().markForDelete(p_plain);
  lk::WorldManager::getInstance().update();
  EXPECT_EQ((new lk::Object)->getId(), 3);

  EXPECT_EQ(p_second_plain->getType(), "Object");
  EXPECT_EQ(p_second_plain->getAltitude(), 2);
  EXPECT_EQ(p_second_plain->getSolidness(), lk::HARD);
}

TEST_F(ObjectTest, DefaultBoxLeavesNeighboursOneCellApartUntouched) {
  lk::Object* p_a = new lk::Object;
  p_a->setPosition(lk::Vector(10, 10));
  const lk::Box world = lk::getWorldBox(p_a);
  EXPECT_FLOAT_EQ(world.getCorner().getX(), 9.5f);
  EXPECT_FLOAT_EQ(world.getCorner().getY(), 9.5f);
  EXPECT_FLOAT_EQ(world.getCorner().getX() + world.getHorizontal(), 10.49f);
  EXPECT_FLOAT_EQ(world.getCorner().getY() + world.getVertical(), 10.49f);

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
  EXPECT_EQ(p->getVelocity(), lk::Vector(0, 0));
}

TEST_F(ObjectTest, UnknownSpriteLabelChangesNothing) {
  ASSERT_EQ(lk::ResourceManager::getInstance().startUp(), 0);
  lk::Object* p = new lk::Object;
  const lk::Box before = p->getBox();
  EXPECT_EQ(p->setSprite("no-such-sprite"), -1);
  EXPECT_EQ(p->getAnimation().getSprite(), nullptr);
  EXPECT_EQ(p->getBox().getCorner(), before.getCorner());
  EXPECT_EQ(p->getBox().getHorizontal(), before.getHorizontal());
  EXPECT_EQ(p->getBox().getVertical(), before.getVertical());
  EXPECT_EQ(p->draw(), -1);  // nothing to draw
  lk::ResourceManager::getInstance().shutDown();
}

TEST_F(ObjectTest, ObjectBeyondCapacityIsNotInTheWorld) {
  lk::WorldManager& world = lk::WorldManager::getInstance();
  std::vector<lktest::Recorder*> members;
  // Inside the view, so every member is drawn.
  for (int i = 0; i < lk::MAX_OBJECTS; ++i)
    members.push_back(new lktest::Recorder("m", lk::Vector(100, 10), lk::SPECTRAL));
  lktest::Recorder* p_extra = new lktest::Recorder("extra", lk::Vector(100, 10));
  p_extra->setVelocity(lk::Vector(1, 0));
  members[0]->setSolidness(lk::HARD);
  members[0]->setVelocity(lk::Vector(0.25f, 0));  // moves onto the extra's cell

  EXPECT_EQ(world.getAllObjects().getCount(), lk::MAX_OBJECTS);
  const lk::EventStep step(0);
  EXPECT_EQ(world.onEvent(&step), lk::MAX_OBJECTS);
  world.update();
  world.draw();
  EXPECT_TRUE(p_extra->seen.empty());
  EXPECT_EQ(lktest::journalCount("extra draw"), 0);
  EXPECT_EQ(lktest::journalCount("m draw"), lk::MAX_OBJECTS);
  EXPECT_FLOAT_EQ(p_extra->getPosition().getX(), 100.0f);  // never moved
  EXPECT_EQ(members[0]->count(lk::COLLISION_EVENT), 0);    // and never met

  // Once a member has gone, a new object joins again.
  world.markForDelete(members[1]);
  world.update();
  lktest::Recorder* p_late = new lktest::Recorder("late", lk::Vector(100, 10));
  EXPECT_EQ(world.getAllObjects().at(lk::MAX_OBJECTS - 1), p_late);

  delete p_extra;  // the world does not own it
}
