#ifndef LK_FRAME_H
#define LK_FRAME_H

#include <string>

namespace lk {

/// One picture of a sprite: rows of characters joined top row first.
class Frame {
 public:
  Frame();
  /// A frame of width x height characters, its rows joined top row first.
  Frame(int new_width, int new_height, std::string frame_str);

  /// Characters per row.
  int getWidth() const;
  /// Number of rows.
  int getHeight() const;
  /// A copy of the rows, joined top row first.
  std::string getString() const;
  /// The text itself, for drawing without a copy.
  const std::string& text() const;

 private:
  int m_width;
  int m_height;
  std::string m_frame_str;
};

}  // namespace lk

#endif
