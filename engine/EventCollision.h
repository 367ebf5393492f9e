// Sent to both parties when a moving object would overlap another.
#ifndef LK_EVENT_COLLISION_H
#define LK_EVENT_COLLISION_H

#include "Event.h"
#include "Vector.h"

namespace lk {

class Object;

const std::string COLLISION_EVENT = "lk::collision";

class EventCollision : public Event {
 public:
  EventCollision();
  // The moving object, the object it met, and where it was moving to.
  EventCollision(Object* p_o1, Object* p_o2, Vector p);

  Object* getObject1() const { return m_p_obj1; }
  void setObject1(Object* p_new_o1) { m_p_obj1 = p_new_o1; }
  Object* getObject2() const { return m_p_obj2; }
  void setObject2(Object* p_new_o2) { m_p_obj2 = p_new_o2; }
  Vector getPosition() const { return m_pos; }
  void setPosition(Vector new_pos) { m_pos = new_pos; }

 private:
  Vector m_pos;
  Object* m_p_obj1;
  Object* m_p_obj2;
};

}  // namespace lk

#endif
