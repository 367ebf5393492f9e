// Which sprite an object shows, the frame it is at, and the count that slows
// the change of frames. A value type; it never owns the sprite.
#ifndef LK_ANIMATION_H
#define LK_ANIMATION_H

#include <string>

#include "Vector.h"

namespace lk {

class Sprite;

class Animation {
 public:
  Animation();

  // Also starts the slowdown count at the sprite's slowdown; keeps the index.
  void setSprite(Sprite* p_new_sprite);
  Sprite* getSprite() const;
  void setName(std::string new_name);
  std::string getName() const;
  void setIndex(int new_index);
  int getIndex() const;
  void setSlowdownCount(int new_slowdown_count);
  int getSlowdownCount() const;

  // Draws the current frame at the position, then advances; -1 with no sprite.
  int draw(Vector position);

 private:
  Sprite* m_p_sprite;
  std::string m_name;
  int m_index;
  int m_slowdown_count;
};

}  // namespace lk

#endif
