// Boxes and their intersection, and the fixed-capacity object list
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

using Objects = std::vector<lk::Object*>;

Objects contents(const lk::ObjectList& list) {
  Objects out;
  for (int i = 0; i < list.getCount(); ++i) out.push_back(list.at(i));
  return out;
}

lk::Box box(float x, float y, float w, float h) { return lk::Box(lk::Vector(x, y), w, h); }

}  // namespace

TEST(ValueTypesTest, BoxesIntersectInclusively) {
  const lk::Box unit = box(0, 0, 1, 1);
  // Either order gives the same answer.
  const auto meets = [&unit](const lk::Box& other) {
    const bool answer = lk::boxIntersectsBox(unit, other);
    EXPECT_EQ(answer, lk::boxIntersectsBox(other, unit));
    return answer;
  };
  EXPECT_TRUE(meets(box(1, 0, 1, 1)));           // side by side, touching
  EXPECT_TRUE(meets(box(0, 1, 1, 1)));           // one above the other
  EXPECT_TRUE(meets(box(1, 1, 1, 1)));           // corners only
  EXPECT_TRUE(meets(box(-3, -3, 10, 10)));       // one inside the other
  EXPECT_TRUE(meets(box(1, 0.5f, 0, 0)));        // a point on the edge
  EXPECT_TRUE(meets(box(0.25f, 0.75f, 0, 0)));   // a point inside
  EXPECT_FALSE(meets(box(1.01f, 0, 1, 1)));      // a gap in x
  EXPECT_FALSE(meets(box(0, -1.01f, 1, 1)));     // a gap in y
  EXPECT_FALSE(meets(box(1.5f, 0.5f, 0, 0)));    // a point outside
  EXPECT_FALSE(meets(box(0.2f, 5, 0.5f, 1)));    // overlap in x only
  EXPECT_FALSE(meets(box(5, 0.2f, 1, 0.5f)));    // overlap in y only
}

TEST(ValueTypesTest, ObjectListHoldsAtMost2000AndCopiesAreSnapshots) {
  lk::ObjectList list;
  for (int i = 0; i <= lk::MAX_OBJECTS; ++i) list.insert(fake(i));  // the last is ignored
  EXPECT_TRUE(list.isFull());
  EXPECT_EQ(list.getCount(), 2000);
  EXPECT_EQ(list.at(1999), fake(1999));
  EXPECT_EQ(list.at(2000), nullptr);
  EXPECT_EQ(list.at(-1), nullptr);

  const lk::ObjectList copy = list;
  list.remove(fake(0));
  EXPECT_EQ(copy.at(0), fake(0));
  EXPECT_EQ(list.at(0), fake(1));
  list.insert(fake(5000));  // room again
  EXPECT_EQ(list.at(1999), fake(5000));
}

TEST(ValueTypesTest, RemoveTakesOnlyTheFirstOccurrenceAndKeepsOrder) {
  lk::ObjectList list;
  for (int i : {1, 2, 1, 3, 1}) list.insert(fake(i));
  list.remove(fake(1));
  list.remove(fake(9));  // not there: nothing happens
  EXPECT_EQ(contents(list), (Objects{fake(2), fake(1), fake(3), fake(1)}));
  list.remove(fake(1));
  list.remove(fake(1));
  EXPECT_EQ(contents(list), (Objects{fake(2), fake(3)}));
}

TEST(ValueTypesTest, IteratorReadsTheListLive) {
  lk::ObjectList list;
  for (int i = 0; i < 4; ++i) list.insert(fake(i));  // 0 1 2 3

  // Removing the entry under the iterator pulls the next one into its place,
  // so next() passes over it.
  Objects visited;
  lk::ObjectListIterator li(&list);
  for (li.first(); !li.isDone(); li.next()) {
    visited.push_back(li.currentObject());
    if (li.currentObject() == fake(1)) list.remove(fake(1));
  }
  EXPECT_EQ(visited, (Objects{fake(0), fake(1), fake(3)}));
  EXPECT_EQ(li.currentObject(), nullptr);

  // An entry appended during a walk is reached by it.
  visited.clear();
  for (li.first(); !li.isDone(); li.next()) {
    visited.push_back(li.currentObject());
    if (li.currentObject() == fake(0)) list.insert(fake(7));
  }
  EXPECT_EQ(visited, (Objects{fake(0), fake(2), fake(3), fake(7)}));

  // A list emptied under the walk ends it; going on past the end is harmless.
  li.first();
  list.clear();
  li.next();
  EXPECT_TRUE(li.isDone());
  li.next();
  EXPECT_EQ(li.currentObject(), nullptr);
}
