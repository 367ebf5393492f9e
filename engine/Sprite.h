// A labelled sequence of frames of one size, drawn in one colour.
#ifndef LK_SPRITE_H
#define LK_SPRITE_H

#include <string>

#include "Color.h"
#include "Frame.h"
#include "Vector.h"

namespace lk {

class Sprite {
 public:
  explicit Sprite(int max_frames);
  ~Sprite();
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  // Copies the frame in; dropped when the sprite is full.
  void insertFrame(Frame frame);

  // Draws the frame centred on the position; -1 when the frame number is out
  // of range or the frame has no text. Transparent cells are left alone.
  int draw(int frame_number, Vector position) const;

  int getWidth() const;
  void setWidth(int new_width);
  int getHeight() const;
  void setHeight(int new_height);
  int getFrameCount() const;
  int getMaxFrameCount() const;
  Frame getFrame(int frame_number) const;
  Color getColor() const;
  void setColor(Color new_color);
  char getTransparency() const;
  void setTransparency(char new_transparency);
  int getSlowdown() const;
  void setSlowdown(int new_slowdown);
  std::string getLabel() const;
  void setLabel(std::string new_label);

 private:
  int m_width;
  int m_height;
  int m_max_frame_count;
  int m_frame_count;
  Color m_color;
  char m_transparency;
  int m_slowdown;
  Frame* m_frame;
  std::string m_label;
};

}  // namespace lk

#endif
