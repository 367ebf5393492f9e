// A fixed-capacity list of object pointers, copied by value. It owns nothing.
#ifndef LK_OBJECT_LIST_H
#define LK_OBJECT_LIST_H

namespace lk {

class Object;
class ObjectListIterator;

const int MAX_OBJECTS = 2000;

class ObjectList {
 public:
  ObjectList();

  // Appends; does nothing when the list is full.
  void insert(Object* p_object);
  // Removes the first entry equal to the pointer, keeping the order.
  void remove(Object* p_object);
  void clear();

  int getCount() const;
  bool isEmpty() const;
  bool isFull() const;
  // The entry at index, or null outside 0 to count - 1.
  Object* at(int index) const;

 private:
  friend class ObjectListIterator;
  int m_count;
  Object* m_p_obj[MAX_OBJECTS];
};

}  // namespace lk

#endif
