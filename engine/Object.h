#ifndef LK_OBJECT_H
#define LK_OBJECT_H

#include <string>

#include "Animation.h"
#include "Box.h"
#include "Vector.h"

namespace lk {

class Event;

/// How an object takes part in collisions.
enum Solidness {
  HARD = 0,      ///< collides, and hard blocks hard
  SOFT = 1,      ///< collides, never blocks or is blocked
  SPECTRAL = 2,  ///< never collides
};

const int MAX_ALTITUDE = 4;

/// The base of everything in the game world. An object registers itself with
/// the world manager when made and leaves it when destroyed; from creation on
/// the world manager owns it.
class Object {
 public:
  Object();
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  /// Returns 1 when the event was acted on, else 0; the base ignores it.
  virtual int eventHandler(const Event* p_event);
  /// Draws the animation's current frame at the position and advances it;
  /// -1 with no sprite.
  virtual int draw();

  // The world manager asks these of every object in every update: they are
  // defined here, so they cost no call.
  /// The unique id, counted from 0 in order of creation.
  int getId() const { return m_id; }
  /// The type name that other objects compare.
  std::string getType() const { return m_type; }
  /// Sets the type name.
  void setType(std::string new_type);
  /// The drawing layer, 0 (drawn first) to MAX_ALTITUDE.
  int getAltitude() const { return m_altitude; }
  /// Sets the drawing layer; objects outside 0 to MAX_ALTITUDE are not drawn.
  void setAltitude(int new_altitude);
  /// How the object collides.
  Solidness getSolidness() const { return m_solidness; }
  /// Sets how the object collides.
  void setSolidness(Solidness new_solid);

  /// The position in world cells.
  Vector getPosition() const { return m_position; }
  void setPosition(Vector new_position);  ///< a plain assignment: no tests
  /// The direction of motion, of length 1 or 0.
  Vector getDirection() const { return m_direction; }
  /// Sets the direction of motion.
  void setDirection(Vector new_direction);
  /// Cells per step along the direction.
  float getSpeed() const { return m_speed; }
  /// Sets the cells per step along the direction.
  void setSpeed(float new_speed);
  /// The direction scaled by the speed.
  Vector getVelocity() const {
    Vector velocity = m_direction;
    velocity.scale(m_speed);
    return velocity;
  }
  /// Sets speed and direction from a velocity in cells per step.
  void setVelocity(Vector new_velocity);
  /// What is added to the velocity at every move.
  Vector getAcceleration() const { return m_acceleration; }
  /// Sets what is added to the velocity at every move.
  void setAcceleration(Vector new_acceleration);

  /// The bounding box, relative to the position.
  Box getBox() const { return m_box; }
  /// Sets the bounding box, relative to the position.
  void setBox(Box new_box);

  /// A copy of the sprite and its animation state.
  Animation getAnimation() const;
  /// Puts back an animation state taken with getAnimation (sprite, frame and
  /// slowdown count), for a frame drawn without moving it on.
  void setAnimation(Animation animation);
  /// Shows the loaded sprite with that label and sizes the box to it, centred
  /// on the position; -1, with nothing changed and a log line naming the label,
  /// when there is none.
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
