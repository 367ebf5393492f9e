// Vectors, boxes and their intersection, and the fixed-capacity object list
// with its live iterator.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "Box.h"
#include "Geometry.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "Vector.h"

namespace {

// Distinct pointers for the list; they are only stored and compared.
lk::Object* fake(int i) {
  return reinterpret_cast<lk::Object*>(static_cast<std::uintptr_t>(0x10000 + 16 * i));
}

std::vector<lk::Object*> contents(const lk::ObjectList& list) {
  std::vector<lk::Object*> out;
  for (int i = 0; i < list.getCount(); ++i) out.push_back(list.at(i));
  return out;
}

lk::Box box(float x, float y, float w, float h) { return lk::Box(lk::Vector(x, y), w, h); }

// Intersection must not depend on the order of the two boxes.
bool meets(const lk::Box& a, const lk::Box& b) {
  const bool ab = lk::boxIntersectsBox(a, b);
  EXPECT_EQ(ab, lk::boxIntersectsBox(b, a));
  return ab;
}

}  // namespace

TEST(ValueTypesTest, BoxesIntersectInclusively) {
  const lk::Box unit = box(0, 0, 1, 1);
  EXPECT_TRUE(meets(unit, box(1, 0, 1, 1)));           // side by side, touching
  EXPECT_TRUE(meets(unit, box(0, 1, 1, 1)));           // one above the other
  EXPECT_TRUE(meets(unit, box(1, 1, 1, 1)));           // corners only
  EXPECT_TRUE(meets(unit, box(-3, -3, 10, 10)));       // one inside the other
  EXPECT_TRUE(meets(unit, box(1, 0.5f, 0, 0)));        // a point on the edge
  EXPECT_TRUE(meets(unit, box(0.25f, 0.75f, 0, 0)));   // a point inside

  EXPECT_FALSE(meets(unit, box(1.01f, 0, 1, 1)));      // a gap in x
  EXPECT_FALSE(meets(unit, box(0, -1.01f, 1, 1)));     // a gap in y
  EXPECT_FALSE(meets(unit, box(1.5f, 0.5f, 0, 0)));    // a point outside
  EXPECT_FALSE(meets(unit, box(0.2f, 5, 0.5f, 1)));    // overlap in x only
  EXPECT_FALSE(meets(unit, box(5, 0.2f, 1, 0.5f)));    // overlap in y only
}

TEST(ValueTypesTest, NormalizeLeavesZeroAlone) {
  lk::Vector zero;
  zero.normalize();
  EXPECT_EQ(zero.getX(), 0.0f);
  EXPECT_EQ(zero.getY(), 0.0f);

  lk::Vector v(3, 4);
  EXPECT_FLOAT_EQ(v.getMagnitude(), 5.0f);
  v.normalize();
  EXPECT_FLOAT_EQ(v.getX(), 0.6f);
  EXPECT_FLOAT_EQ(v.getY(), 0.8f);
}

TEST(ValueTypesTest, ObjectListHoldsAtMost2000) {
  lk::ObjectList list;
  EXPECT_TRUE(list.isEmpty());
  for (int i = 0; i < lk::MAX_OBJECTS; ++i) list.insert(fake(i));
  EXPECT_TRUE(list.isFull());
  list.insert(fake(5000));  // ignored
  EXPECT_EQ(list.getCount(), 2000);
  EXPECT_EQ(list.at(1999), fake(1999));
  EXPECT_EQ(list.at(2000), nullptr);
  EXPECT_EQ(list.at(-1), nullptr);

  // Copies are independent snapshots.
  lk::ObjectList copy = list;
  list.remove(fake(0));
  EXPECT_EQ(copy.getCount(), 2000);
  EXPECT_EQ(copy.at(0), fake(0));
  EXPECT_EQ(list.at(0), fake(1));
  list.insert(fake(5000));  // room again
  EXPECT_EQ(list.at(1999), fake(5000));
}

TEST(ValueTypesTest, RemoveTakesOnlyTheFirstOccurrenceAndKeepsOrder) {
  lk::ObjectList list;
  for (int i : {1, 2, 1, 3, 1}) list.insert(fake(i));
  list.remove(fake(1));
  EXPECT_EQ(contents(list), (std::vector<lk::Object*>{fake(2), fake(1), fake(3), fake(1)}));
  list.remove(fake(9));  // not there: nothing happens
  EXPECT_EQ(list.getCount(), 4);
  list.remove(fake(1));
  list.remove(fake(1));
  EXPECT_EQ(contents(list), (std::vector<lk::Object*>{fake(2), fake(3)}));
}

TEST(ValueTypesTest, IteratorReadsTheListLive) {
  lk::ObjectList list;
  for (int i = 0; i < 4; ++i) list.insert(fake(i));  // 0 1 2 3

  // Removing the entry under the iterator pulls the next one into its place,
  // so next() passes over it.
  std::vector<lk::Object*> visited;
  lk::ObjectListIterator li(&list);
  for (li.first(); !li.isDone(); li.next()) {
    visited.push_back(li.currentObject());
    if (li.currentObject() == fake(1)) list.remove(fake(1));
  }
  EXPECT_EQ(visited, (std::vector<lk::Object*>{fake(0), fake(1), fake(3)}));
  EXPECT_EQ(li.currentObject(), nullptr);

  // An entry appended during a walk is reached by it.
  visited.clear();
  for (li.first(); !li.isDone(); li.next()) {
    visited.push_back(li.currentObject());
    if (li.currentObject() == fake(0)) list.insert(fake(7));
  }
  EXPECT_EQ(visited, (std::vector<lk::Object*>{fake(0), fake(2), fake(3), fake(7)}));

  // A list emptied under the walk ends it.
  int steps = 0;
  for (li.first(); !li.isDone() && steps < 10; li.next(), ++steps) list.clear();
  EXPECT_EQ(steps, 1);
  EXPECT_TRUE(li.isDone());
  li.next();  // past the end is harmless
  EXPECT_EQ(li.currentObject(), nullptr);
}
