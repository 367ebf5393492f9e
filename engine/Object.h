// The base of everything in the game world. An object registers itself with
// the world manager when made and leaves it when destroyed; from creation on
// the world manager owns it.
#ifndef LK_OBJECT_H
#define LK_OBJECT_H

#include <string>

#include "Animation.h"
#include "Box.h"
#include "Vector.h"

namespace lk {

class Event;

enum Solidness {
  HARD = 0,      // collides, and hard blocks hard
  SOFT = 1,      // collides, never blocks or is blocked
  SPECTRAL = 2,  // never collides
};

const int MAX_ALTITUDE = 4;

class Object {
 public:
  Object();
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // Returns 1 when the event was acted on, else 0; the base ignores it.
  virtual int eventHandler(const Event* p_event);
  // Draws the animation's current frame at the position and advances it;
  // -1 with no sprite.
  virtual int draw();

  // The world manager asks these of every object in every update: they are
  // defined here, so they cost no call.
  int getId() const { return m_id; }
  std::string getType() const { return m_type; }
  void setType(std::string new_type);
  int getAltitude() const { return m_altitude; }
  void setAltitude(int new_altitude);
  Solidness getSolidness() const { return m_solidness; }
  void setSolidness(Solidness new_solid);

  Vector getPosition() const { return m_position; }
  void setPosition(Vector new_position);  // a plain assignment: no tests
  Vector getDirection() const { return m_direction; }
  void setDirection(Vector new_direction);
  float getSpeed() const { return m_speed; }
  void setSpeed(float new_speed);
  Vector getVelocity() const {
    Vector velocity = m_direction;
    velocity.scale(m_speed);
    return velocity;
  }
  void setVelocity(Vector new_velocity);
  Vector getAcceleration() const { return m_acceleration; }
  void setAcceleration(Vector new_acceleration);

  Box getBox() const { return m_box; }
  void setBox(Box new_box);

  Animation getAnimation() const;
  // Puts back an animation state taken with getAnimation (sprite, frame and
  // slowdown count), for a frame drawn without moving it on.
  void setAnimation(Animation animation);
  // Shows the loaded sprite with that label and sizes the box to it, centred
  // on the position; -1, with nothing changed, when there is none.
  int setSprite(std::string label);

 private:
  int m_id;
  std::string m_type;
  int m_altitude;
  Solidness m_solidness;
  Animation m_animation;
  Vector m_position;
  Vector m_direction;
  float m_speed;
  Vector m_acceleration;
  Box m_box;
};

}  // namespace lk

#endif
