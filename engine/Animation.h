#ifndef LK_ANIMATION_H
#define LK_ANIMATION_H

#include <string>

#include "Vector.h"

namespace lk {

class Sprite;

/// Which sprite an object shows, the frame it is at, and the count that slows
/// the change of frames. A value type; it never owns the sprite.
class Animation {
 public:
  Animation();

  /// Also starts the slowdown count at the sprite's slowdown; keeps the index.
  void setSprite(Sprite* p_new_sprite);
  /// The sprite shown, or null.
  Sprite* getSprite() const;
  /// Sets the name of the sprite shown.
  void setName(std::string new_name);
  /// The name of the sprite shown; "undefined" without one.
  std::string getName() const;
  /// Sets the frame to show next.
  void setIndex(int new_index);
  /// The frame shown next.
  int getIndex() const;
  /// Sets the steps the current frame has been shown.
  void setSlowdownCount(int new_slowdown_count);
  /// The steps the current frame has been shown.
  int getSlowdownCount() const;

  /// Draws the current frame at the position, then advances; -1 with no sprite.
  int draw(Vector position);

 private:
  Sprite* m_p_sprite;
  std::string m_name;
  int m_index;
  int m_slowdown_count;
};

}  // namespace lk

#endif
