#include "Manager.h"

#include "Object.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "WorldManager.h"

namespace lk {

Manager::Manager() : m_type("Manager"), m_is_started(false) {}

Manager::~Manager() {}

int Manager::startUp() {
  m_is_started = true;
  return 0;
}

void Manager::shutDown() { m_is_started = false; }

std::string Manager::getType() const { return m_type; }

void Manager::setType(std::string type) { m_type = type; }

bool Manager::isStarted() const { return m_is_started; }

int Manager::onEvent(const Event* p_event) const {
  // A snapshot: objects made or marked by handlers do not change who hears it.
  const ObjectList all_objects = WorldManager::getInstance().getAllObjects();
  int count = 0;
  ObjectListIterator li(&all_objects);
  for (li.first(); !li.isDone(); li.next()) {
    li.currentObject()->eventHandler(p_event);
    ++count;
  }
  return count;
}

}  // namespace lk
