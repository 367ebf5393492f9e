// One picture of a sprite: rows of characters joined top row first.
#ifndef LK_FRAME_H
#define LK_FRAME_H

#include <string>

namespace lk {

class Frame {
 public:
  Frame();
  Frame(int new_width, int new_height, std::string frame_str);

  int getWidth() const;
  int getHeight() const;
  std::string getString() const;
  // The text itself, for drawing without a copy.
  const std::string& text() const;

 private:
  int m_width;
  int m_height;
  std::string m_frame_str;
};

}  // namespace lk

#endif
