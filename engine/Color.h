#ifndef LK_COLOR_H
#define LK_COLOR_H

namespace lk {

/// The engine's colours; any other value draws white. The fixed int type lets
/// such values be held without undefined behaviour.
enum Color : int {
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
