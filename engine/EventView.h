// Tells the view objects with a matching label to add to or set their value.
#ifndef LK_EVENT_VIEW_H
#define LK_EVENT_VIEW_H

#include "Event.h"

namespace lk {

const std::string VIEW_EVENT = "lk::view";

class EventView : public Event {
 public:
  EventView();
  // A delta event: matching view objects add the value.
  EventView(std::string new_tag, int new_value);

  void setTag(std::string new_tag);
  std::string getTag() const;
  void setValue(int new_value);
  int getValue() const;
  void setDelta(bool new_delta);
  bool getDelta() const;

 private:
  std::string m_tag;
  int m_value;
  bool m_delta;
};

}  // namespace lk

#endif
