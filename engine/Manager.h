#ifndef LK_MANAGER_H
#define LK_MANAGER_H

#include <string>

namespace lk {

class Event;

/// The base of every engine manager: a type name, a started flag and the
/// broadcast of an event to every game object.
class Manager {
 public:
  Manager();
  virtual ~Manager();
  Manager(const Manager&) = delete;
  Manager& operator=(const Manager&) = delete;

  /// Marks the manager started; 0. Each manager adds its own work and may return -1.
  virtual int startUp();
  /// Marks the manager stopped.
  virtual void shutDown();

  /// The manager's type name, such as "WorldManager".
  std::string getType() const;
  /// Sets the type name.
  void setType(std::string type);
  /// Whether startUp() has run and shutDown() has not.
  bool isStarted() const;

  /// Offers the event to every object of a snapshot of the world, in creation
  /// order; returns how many objects received it.
  int onEvent(const Event* p_event) const;

 protected:
  /// The type name.
  std::string m_type;
  /// Whether the manager is started.
  bool m_is_started;
};

}  // namespace lk

#endif
