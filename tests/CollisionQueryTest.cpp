// The world finds collision candidates through a grid; whatever the objects
// do, the answer must equal a plain scan of the object list in list order.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "Geometry.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"
#include "WorldManager.h"

namespace {

std::vector<lk::Object*> scanForCollisions(const lk::Object* p_mover, lk::Vector where) {
  std::vector<lk::Object*> found;
  const lk::ObjectList all = lk::WorldManager::getInstance().getAllObjects();
  lk::ObjectListIterator li(&all);
  for (li.first(); !li.isDone(); li.next()) {
    lk::Object* p = li.currentObject();
    if (p == p_mover || p->getSolidness() == lk::SPECTRAL) continue;
    if (!lk::boxIntersectsBox(lk::getWorldBox(p_mover, where), lk::getWorldBox(p))) continue;
    if (p_mover->getType() == "Duck" && p->getType() == "Duck") continue;
    found.push_back(p);
  }
  return found;
}

std::vector<lk::Object*> asVector(const lk::ObjectList& list) {
  std::vector<lk::Object*> out;
  for (int i = 0; i < list.getCount(); ++i) out.push_back(list.at(i));
  return out;
}

float randomIn(float low, float high) {
  return low + (high - low) * static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
}

lk::Vector randomPlace() {
  // Mostly in the world, some well outside it, some on bucket edges.
  switch (std::rand() % 4) {
    case 0: return lk::Vector(randomIn(-50, 290), randomIn(-20, 60));
    case 1: return lk::Vector(static_cast<float>(std::rand() % 31) * 8.0f, 8.0f * (std::rand() % 6));
    default: return lk::Vector(randomIn(0, 240), randomIn(0, 36));
  }
}

class CollisionQueryTest : public testing::Test {
 protected:
  void SetUp() override {
    lk::LogManager::getInstance().startUp();
    lk::WorldManager::getInstance().startUp();
  }
  void TearDown() override { lk::WorldManager::getInstance().shutDown(); }
};

TEST_F(CollisionQueryTest, GridAnswersLikeAScanAsObjectsComeMoveAndGo) {
  std::srand(7);
  lk::WorldManager& world = lk::WorldManager::getInstance();
  std::vector<lk::Object*> objects;
  for (int round = 0; round < 40; ++round) {
    // New objects of every kind and size, some of them ducks.
    for (int i = 0; i < 25; ++i) {
      lk::Object* p = new lk::Object;
      p->setType(std::rand() % 3 == 0 ? "Duck" : "Thing");
      p->setSolidness(static_cast<lk::Solidness>(std::rand() % 3));
      if (std::rand() % 2)
        p->setBox(lk::Box(lk::Vector(-randomIn(0, 8), -randomIn(0, 4)), randomIn(0, 16),
                          randomIn(0, 8)));
      p->setPosition(randomPlace());
      p->setVelocity(lk::Vector(randomIn(-3, 3), randomIn(-1, 1)));
      objects.push_back(p);
    }
    // Some jump elsewhere or change size behind the world's back.
    for (lk::Object* p : objects) {
      if (std::rand() % 5 == 0) p->setPosition(randomPlace());
      if (std::rand() % 9 == 0) p->setBox(lk::Box(lk::Vector(-1, -1), randomIn(0, 30), 2));
    }
    // Some leave.
    for (size_t i = 0; i < objects.size();) {
      if (std::rand() % 6 == 0) {
        delete objects[i];
        objects.erase(objects.begin() + static_cast<long>(i));
      } else {
        ++i;
      }
    }
    world.update();
    for (lk::Object* p : objects) {
      const lk::Vector where = std::rand() % 2 ? randomPlace() : p->getPosition();
      ASSERT_EQ(asVector(world.getCollisions(p, where)), scanForCollisions(p, where));
    }
  }
  EXPECT_GT(objects.size(), 100u);
}

TEST_F(CollisionQueryTest, AnObjectPlacedOverAnotherIsFoundAtOnce) {
  lk::Object* p_still = new lk::Object;
  p_still->setPosition(lk::Vector(100, 10));
  lk::Object* p_mover = new lk::Object;
  p_mover->setPosition(lk::Vector(30, 30));
  EXPECT_EQ(lk::WorldManager::getInstance().getCollisions(p_mover, lk::Vector(100.5f, 10)).getCount(), 1);
  // Moved far away with a plain assignment: no longer found where it was.
  p_still->setPosition(lk::Vector(200, 2));
  EXPECT_EQ(lk::WorldManager::getInstance().getCollisions(p_mover, lk::Vector(100.5f, 10)).getCount(), 0);
  EXPECT_EQ(lk::WorldManager::getInstance().getCollisions(p_mover, lk::Vector(200, 2.5f)).getCount(), 1);
}

}  // namespace
