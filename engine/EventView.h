#ifndef LK_EVENT_VIEW_H
#define LK_EVENT_VIEW_H

#include "Event.h"

namespace lk {

const std::string VIEW_EVENT = "lk::view";

/// Tells the view objects with a matching label to add to or set their value.
class EventView : public Event {
 public:
  EventView();
  /// A delta event: matching view objects add the value.
  EventView(std::string new_tag, int new_value);

  /// Sets the label of the view objects it is for.
  void setTag(std::string new_tag);
  /// The label of the view objects it is for.
  std::string getTag() const;
  /// Sets the value to add, or to set when not a delta.
  void setValue(int new_value);
  /// The value to add, or to set when not a delta.
  int getValue() const;
  /// Whether the value is added (true, the default) or replaces the old one.
  void setDelta(bool new_delta);
  /// Whether the value is added rather than set.
  bool getDelta() const;

 private:
  std::string m_tag;
  int m_value;
  bool m_delta;
};

}  // namespace lk

#endif
