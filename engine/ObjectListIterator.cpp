#include "ObjectListIterator.h"

#include "ObjectList.h"

namespace lk {

ObjectListIterator::ObjectListIterator(const ObjectList* p_list) : m_p_list(p_list), m_index(0) {}

void ObjectListIterator::first() { m_index = 0; }

void ObjectListIterator::next() {
  if (m_index < m_p_list->getCount()) ++m_index;
}

// Past the end counts as done too: a list that shrank by several entries under
// the walk must not leave it running for ever.
bool ObjectListIterator::isDone() const { return m_index >= m_p_list->getCount(); }

Object* ObjectListIterator::currentObject() const { return m_p_list->at(m_index); }

}  // namespace lk
