// The base of every event: a type name that receivers compare.
#ifndef LK_EVENT_H
#define LK_EVENT_H

#include <string>
#include <utility>

namespace lk {

const std::string UNDEFINED_EVENT = "lk::undefined";

class Event {
 public:
  Event();
  virtual ~Event();

  // Every receiver asks this of every event it is offered.
  std::string getType() const { return m_type; }
  void setType(std::string new_type) { m_type = std::move(new_type); }

 private:
  std::string m_type;
};

}  // namespace lk

#endif
