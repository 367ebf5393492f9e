#include "ViewObject.h"

#include <algorithm>
#include <climits>
#include <sstream>
#include <utility>

#include "DisplayManager.h"
#include "EventView.h"
#include "WorldManager.h"

namespace lk {

std::string toString(int value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

ViewObject::ViewObject()
    : m_view_string(), m_value(0), m_border(true), m_color(WHITE), m_location(TOP_CENTER) {
  setType("ViewObject");
  setSolidness(SPECTRAL);
  setAltitude(MAX_ALTITUDE);
  setLocation(TOP_CENTER);
}

ViewObject::~ViewObject() {}

void ViewObject::setLocation(ViewObjectLocation new_location) {
  const double view_width = WorldManager::getInstance().getView().getHorizontal();
  double factor = 0.5;
  if (new_location == TOP_LEFT) factor = 0.16666666666666666;
  if (new_location == TOP_RIGHT) factor = 0.8333333333333334;
  // A boxed item needs three rows, so its text sits on the second.
  const float y = m_border ? 1.f : 0.f;
  setPosition(Vector(static_cast<float>(view_width * factor), y));
  m_location = new_location;
}

ViewObjectLocation ViewObject::getLocation() const { return m_location; }

void ViewObject::setViewString(std::string new_view_string) {
  m_view_string = std::move(new_view_string);
}
std::string ViewObject::getViewString() const { return m_view_string; }
void ViewObject::setValue(int new_value) { m_value = new_value; }
int ViewObject::getValue() const { return m_value; }
void ViewObject::setBorder(bool new_border) { m_border = new_border; }
bool ViewObject::getBorder() const { return m_border; }
void ViewObject::setColor(Color new_color) { m_color = new_color; }
Color ViewObject::getColor() const { return m_color; }

int ViewObject::eventHandler(const Event* p_event) {
  if (p_event->getType() != VIEW_EVENT) return 0;
  const EventView* p_view_event = static_cast<const EventView*>(p_event);
  if (p_view_event->getTag() != m_view_string) return 0;
  if (p_view_event->getDelta()) {
    // A sum beyond int stops at its limit instead of wrapping.
    const long long sum = static_cast<long long>(m_value) + p_view_event->getValue();
    m_value = static_cast<int>(std::min<long long>(std::max<long long>(sum, INT_MIN), INT_MAX));
  } else
    m_value = p_view_event->getValue();
  return 1;
}

int ViewObject::draw() {
  const std::string value = toString(m_value);
  const std::string text =
      m_border ? " " + m_view_string + " " + value + " " : m_view_string + " " + value;
  // Positions are kept relative to the view; the display takes the view off again.
  const Vector at = getPosition() + WorldManager::getInstance().getView().getCorner();
  DisplayManager& display = DisplayManager::getInstance();
  if (m_border) {
    const std::string rule(text.size() + 2, '-');
    const std::string middle = "|" + std::string(text.size(), ' ') + "|";
    display.drawString(Vector(at.getX(), at.getY() + 1), rule, m_color);
    display.drawString(at, middle, m_color);
    display.drawString(Vector(at.getX(), at.getY() - 1), rule, m_color);
  }
  display.drawString(at, text, m_color);
  return 0;
}

}  // namespace lk
