#ifndef LK_OBJECT_LIST_ITERATOR_H
#define LK_OBJECT_LIST_ITERATOR_H

#include "ObjectList.h"

namespace lk {

class Object;

/// Walks an ObjectList live: entries inserted or removed during the walk are
/// seen by it.
class ObjectListIterator {
 public:
  /// An iterator over the list, at its first entry.
  explicit ObjectListIterator(const ObjectList* p_list);

  /// Goes back to the first entry.
  void first() { m_index = 0; }
  /// Goes to the next entry.
  void next() {
    if (m_index < m_p_list->getCount()) ++m_index;
  }
  /// Past the end counts as done too: a list that shrank by several entries
  /// under the walk must not leave it running for ever.
  bool isDone() const { return m_index >= m_p_list->getCount(); }
  /// The object at the current entry, or null when done.
  Object* currentObject() const { return m_p_list->at(m_index); }

 private:
  const ObjectList* m_p_list;
  int m_index;
};

}  // namespace lk

#endif
