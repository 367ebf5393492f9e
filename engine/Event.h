#ifndef LK_EVENT_H
#define LK_EVENT_H

#include <string>
#include <utility>

namespace lk {

const std::string UNDEFINED_EVENT = "lk::undefined";

/// The base of every event: a type name that receivers compare.
class Event {
 public:
  Event();
  virtual ~Event();

  /// Every receiver asks this of every event it is offered.
  std::string getType() const { return m_type; }
  /// Sets the type name; a game's own events pick a name of their own.
  void setType(std::string new_type) { m_type = std::move(new_type); }

 private:
  std::string m_type;
};

}  // namespace lk

#endif
