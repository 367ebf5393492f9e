// The engine's colours; any other value draws white.
#ifndef LK_COLOR_H
#define LK_COLOR_H

namespace lk {

enum Color {
  BLACK = 0,
  RED,
  GREEN,
  YELLOW,
  BLUE,
  MAGENTA,
  CYAN,
  WHITE,
};

}  // namespace lk

#endif
