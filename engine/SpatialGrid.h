#ifndef LK_SPATIAL_GRID_H
#define LK_SPATIAL_GRID_H

#include <unordered_map>
#include <vector>

#include "Box.h"

namespace lk {

class Object;

/// A uniform grid of buckets over the world that finds the objects whose boxes
/// overlap a given box, so a collision query need not test every object.
/// Objects outside the grid's area fall into its edge buckets. Each bucket
/// keeps its objects' world boxes, so a query tests them without asking the
/// objects.
class SpatialGrid {
 public:
  SpatialGrid();

  /// Empties the grid and lays it over the area in square buckets.
  void reset(Box area, float bucket_size);

  /// Adds the object with its world box.
  void insert(Object* p_object, Box world_box);
  /// Removes the object; unknown objects are ignored.
  void remove(Object* p_object);
  /// Moves a known object to its new box; unknown objects are ignored.
  void update(Object* p_object, Box world_box);

  /// Appends every object whose world box intersects the area (as
  /// boxIntersectsBox tells); an object may appear more than once.
  void query(Box area, std::vector<Object*>& hits) const;

 private:
  struct Span {
    int x0, y0, x1, y1;
    bool operator==(const Span& other) const {
      return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
    }
  };

  struct Entry {
    Object* p_object;
    float x, y, horizontal, vertical;  // the world box
  };

  static Entry entryOf(Object* p_object, Box box);
  Span spanOf(const Entry& box) const;
  int column(float x) const;
  int row(float y) const;
  void add(const Entry& entry, Span span);
  void take(Object* p_object, Span span);

  float m_left, m_top, m_bucket_size, m_inverse_size;
  int m_columns, m_rows;
  std::vector<std::vector<Entry>> m_buckets;
  std::unordered_map<Object*, Span> m_spans;
};

}  // namespace lk

#endif
