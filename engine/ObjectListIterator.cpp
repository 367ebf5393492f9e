#include "ObjectListIterator.h"

namespace lk {

ObjectListIterator::ObjectListIterator(const ObjectList* p_list) : m_p_list(p_list), m_index(0) {}

}  // namespace lk
