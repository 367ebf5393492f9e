#ifndef LK_SPRITE_H
#define LK_SPRITE_H

#include <string>

#include "Color.h"
#include "Frame.h"
#include "Vector.h"

namespace lk {

/// A labelled sequence of frames of one size, drawn in one colour.
class Sprite {
 public:
  /// An empty white sprite with room for max_frames frames (none when that cannot be allocated).
  explicit Sprite(int max_frames);
  ~Sprite();
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  /// Copies the frame in; dropped when the sprite is full.
  void insertFrame(Frame frame);

  /// Draws the frame centred on the position; -1 when the frame number is out
  /// of range or the frame has no text. Transparent cells are left alone.
  int draw(int frame_number, Vector position) const;

  /// The width of every frame in characters.
  int getWidth() const;
  /// Sets the width of every frame.
  void setWidth(int new_width);
  /// The height of every frame in rows.
  int getHeight() const;
  /// Sets the height of every frame.
  void setHeight(int new_height);
  /// The frames inserted so far.
  int getFrameCount() const;
  /// The frames the sprite has room for.
  int getMaxFrameCount() const;
  /// A copy of the frame; an empty frame when the number is out of range.
  Frame getFrame(int frame_number) const;
  /// The colour of every character.
  Color getColor() const;
  /// Sets the colour of every character.
  void setColor(Color new_color);
  /// The character that is not drawn; 0 for none.
  char getTransparency() const;
  /// Sets the character that is not drawn; 0 for none.
  void setTransparency(char new_transparency);
  /// Steps each frame is shown.
  int getSlowdown() const;
  /// Sets the steps each frame is shown.
  void setSlowdown(int new_slowdown);
  /// The label the sprite is found by.
  std::string getLabel() const;
  /// Sets the label the sprite is found by.
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
