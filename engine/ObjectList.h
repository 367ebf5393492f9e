#ifndef LK_OBJECT_LIST_H
#define LK_OBJECT_LIST_H

namespace lk {

class Object;
class ObjectListIterator;

const int MAX_OBJECTS = 2000;

/// A fixed-capacity list of object pointers, copied by value. It owns nothing.
class ObjectList {
 public:
  ObjectList();

  /// Appends; does nothing when the list is full.
  void insert(Object* p_object) {
    if (m_count < MAX_OBJECTS) m_p_obj[m_count++] = p_object;
  }
  /// Removes the first entry equal to the pointer, keeping the order.
  void remove(Object* p_object);
  /// Empties the list.
  void clear();

  /// The number of objects held.
  int getCount() const { return m_count; }
  /// Whether the list holds no object.
  bool isEmpty() const { return m_count == 0; }
  /// Whether the list holds MAX_OBJECTS objects.
  bool isFull() const { return m_count == MAX_OBJECTS; }
  /// The entry at index, or null outside 0 to count - 1. (The count never
  /// exceeds the capacity; saying so keeps the compiler from doubting it.)
  Object* at(int index) const {
    return index >= 0 && index < m_count && index < MAX_OBJECTS ? m_p_obj[index] : nullptr;
  }

 private:
  friend class ObjectListIterator;
  int m_count;
  Object* m_p_obj[MAX_OBJECTS];
};

}  // namespace lk

#endif
