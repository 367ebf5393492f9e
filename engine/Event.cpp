#include "Event.h"

namespace lk {

Event::Event() : m_type(UNDEFINED_EVENT) {}

Event::~Event() {}

std::string Event::getType() const { return m_type; }

void Event::setType(std::string new_type) { m_type = new_type; }

}  // namespace lk
