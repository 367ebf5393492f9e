// The base of every engine manager: a type name, a started flag and the
// broadcast of an event to every game object.
#ifndef LK_MANAGER_H
#define LK_MANAGER_H

#include <string>

namespace lk {

class Event;

class Manager {
 public:
  Manager();
  virtual ~Manager();
  Manager(const Manager&) = delete;
  Manager& operator=(const Manager&) = delete;

  virtual int startUp();
  virtual void shutDown();

  std::string getType() const;
  void setType(std::string type);
  bool isStarted() const;

  // Offers the event to every object of a snapshot of the world, in creation
  // order; returns how many objects received it.
  int onEvent(const Event* p_event) const;

 protected:
  std::string m_type;
  bool m_is_started;
};

}  // namespace lk

#endif
