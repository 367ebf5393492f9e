#include "Event.h"

namespace lk {

Event::Event() : m_type(UNDEFINED_EVENT) {}

Event::~Event() {}

}  // namespace lk
