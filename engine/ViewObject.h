#ifndef LK_VIEW_OBJECT_H
#define LK_VIEW_OBJECT_H

#include <string>

#include "Color.h"
#include "Object.h"

namespace lk {

/// Where a view object sits along the top of the view.
enum ViewObjectLocation {
  TOP_LEFT = 0,
  TOP_CENTER = 1,
  TOP_RIGHT = 2,
};

/// The value in decimal, as a stream writes it by default.
std::string toString(int value);

/// A heads-up display item fixed on the screen: a label and a number,
/// optionally boxed.
class ViewObject : public Object {
 public:
  ViewObject();
  ~ViewObject() override;

  int eventHandler(const Event* p_event) override;
  int draw() override;

  /// Places the object relative to the view; reads the border flag now.
  void setLocation(ViewObjectLocation new_location);
  /// Where the object sits along the top of the view.
  ViewObjectLocation getLocation() const;
  /// Sets the label, which view events name.
  void setViewString(std::string new_view_string);
  /// The label.
  std::string getViewString() const;
  /// Sets the number shown.
  void setValue(int new_value);
  /// The number shown.
  int getValue() const;
  /// Draws a border around the item (true, the default).
  void setBorder(bool new_border);
  /// Whether a border is drawn.
  bool getBorder() const;
  /// Sets the colour of label, number and border.
  void setColor(Color new_color);
  /// The colour of label, number and border.
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
