#ifndef LK_EVENT_COLLISION_H
#define LK_EVENT_COLLISION_H

#include "Event.h"
#include "Vector.h"

namespace lk {

class Object;

const std::string COLLISION_EVENT = "lk::collision";

/// Sent to both parties when a moving object would overlap another.
class EventCollision : public Event {
 public:
  EventCollision();
  /// The moving object, the object it met, and where it was moving to.
  EventCollision(Object* p_o1, Object* p_o2, Vector p);

  /// The object that moved.
  Object* getObject1() const { return m_p_obj1; }
  /// Sets the object that moved.
  void setObject1(Object* p_new_o1) { m_p_obj1 = p_new_o1; }
  /// The object it met.
  Object* getObject2() const { return m_p_obj2; }
  /// Sets the object it met.
  void setObject2(Object* p_new_o2) { m_p_obj2 = p_new_o2; }
  /// Where the mover was going when they met.
  Vector getPosition() const { return m_pos; }
  /// Sets where the mover was going.
  void setPosition(Vector new_pos) { m_pos = new_pos; }

 private:
  Vector m_pos;
  Object* m_p_obj1;
  Object* m_p_obj2;
};

}  // namespace lk

#endif
