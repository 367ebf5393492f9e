#include "ObjectList.h"

namespace lk {

ObjectList::ObjectList() : m_count(0) {}

void ObjectList::insert(Object* p_object) {
  if (m_count == MAX_OBJECTS) return;
  m_p_obj[m_count++] = p_object;
}

void ObjectList::remove(Object* p_object) {
  for (int i = 0; i < m_count; ++i) {
    if (m_p_obj[i] == p_object) {
      for (int j = i; j < m_count - 1; ++j) m_p_obj[j] = m_p_obj[j + 1];
      --m_count;
      return;
    }
  }
}

void ObjectList::clear() { m_count = 0; }

int ObjectList::getCount() const { return m_count; }

bool ObjectList::isEmpty() const { return m_count == 0; }

bool ObjectList::isFull() const { return m_count == MAX_OBJECTS; }

Object* ObjectList::at(int index) const {
  return index >= 0 && index < m_count ? m_p_obj[index] : nullptr;
}

}  // namespace lk
