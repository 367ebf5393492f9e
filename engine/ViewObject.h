// A heads-up display item fixed on the screen: a label and a number,
// optionally boxed.
#ifndef LK_VIEW_OBJECT_H
#define LK_VIEW_OBJECT_H

#include <string>

#include "Color.h"
#include "Object.h"

namespace lk {

enum ViewObjectLocation {
  TOP_LEFT = 0,
  TOP_CENTER = 1,
  TOP_RIGHT = 2,
};

// The value in decimal, as a stream writes it by default.
std::string toString(int value);

class ViewObject : public Object {
 public:
  ViewObject();
  ~ViewObject() override;

  int eventHandler(const Event* p_event) override;
  int draw() override;

  // Places the object relative to the view; reads the border flag now.
  void setLocation(ViewObjectLocation new_location);
  ViewObjectLocation getLocation() const;
  void setViewString(std::string new_view_string);
  std::string getViewString() const;
  void setValue(int new_value);
  int getValue() const;
  void setBorder(bool new_border);
  bool getBorder() const;
  void setColor(Color new_color);
  Color getColor() const;

 private:
  std::string m_view_string;
  int m_value;
  bool m_border;
  Color m_color;
  ViewObjectLocation m_location;
};

}  // namespace lk

#endif
