// The base of every event: a type name that receivers compare.
#ifndef LK_EVENT_H
#define LK_EVENT_H

#include <string>

namespace lk {

const std::string UNDEFINED_EVENT = "lk::undefined";

class Event {
 public:
  Event();
  virtual ~Event();

  std::string getType() const;
  void setType(std::string new_type);

 private:
  std::string m_type;
};

}  // namespace lk

#endif
