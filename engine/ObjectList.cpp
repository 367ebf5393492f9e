#include "ObjectList.h"

namespace lk {

ObjectList::ObjectList() : m_count(0) {}

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

}  // namespace lk
