#include "SpatialGrid.h"

#include <algorithm>
#include <cmath>

#include "Geometry.h"

namespace lk {

SpatialGrid::SpatialGrid() { reset(Box(), 1.0f); }

void SpatialGrid::reset(Box area, float bucket_size) {
  m_left = area.getCorner().getX();
  m_top = area.getCorner().getY();
  m_bucket_size = bucket_size;
  m_inverse_size = 1.0f / bucket_size;
  m_columns = std::max(1, static_cast<int>(std::ceil(area.getHorizontal() / bucket_size)));
  m_rows = std::max(1, static_cast<int>(std::ceil(area.getVertical() / bucket_size)));
  m_buckets.assign(static_cast<size_t>(m_columns) * m_rows, {});
  m_spans.clear();
}

// Any monotonic mapping keeps intersecting boxes in a shared bucket.
int SpatialGrid::column(float x) const {
  const float c = (x - m_left) * m_inverse_size;
  if (!(c >= 1)) return 0;  // also catches NaN
  return c >= static_cast<float>(m_columns - 1) ? m_columns - 1 : static_cast<int>(c);
}

int SpatialGrid::row(float y) const {
  const float r = (y - m_top) * m_inverse_size;
  if (!(r >= 1)) return 0;
  return r >= static_cast<float>(m_rows - 1) ? m_rows - 1 : static_cast<int>(r);
}

// Boxes include their far edges, so the span does too.
SpatialGrid::Span SpatialGrid::spanOf(const Entry& box) const {
  Span span{column(box.x), row(box.y), column(box.x + box.horizontal), row(box.y + box.vertical)};
  // A box of negative size still occupies its corner's bucket.
  if (span.x1 < span.x0) std::swap(span.x0, span.x1);
  if (span.y1 < span.y0) std::swap(span.y0, span.y1);
  return span;
}

void SpatialGrid::add(const Entry& entry, Span span) {
  for (int r = span.y0; r <= span.y1; ++r)
    for (int c = span.x0; c <= span.x1; ++c)
      m_buckets[static_cast<size_t>(r) * m_columns + c].push_back(entry);
}

void SpatialGrid::take(Object* p_object, Span span) {
  for (int r = span.y0; r <= span.y1; ++r) {
    for (int c = span.x0; c <= span.x1; ++c) {
      std::vector<Entry>& bucket = m_buckets[static_cast<size_t>(r) * m_columns + c];
      const auto found = std::find_if(bucket.begin(), bucket.end(), [p_object](const Entry& e) {
        return e.p_object == p_object;
      });
      if (found != bucket.end()) {
        *found = bucket.back();
        bucket.pop_back();
      }
    }
  }
}

SpatialGrid::Entry SpatialGrid::entryOf(Object* p_object, Box box) {
  const Vector corner = box.getCorner();
  return {p_object, corner.getX(), corner.getY(), box.getHorizontal(), box.getVertical()};
}

void SpatialGrid::insert(Object* p_object, Box world_box) {
  if (m_spans.count(p_object) != 0) return;
  const Entry entry = entryOf(p_object, world_box);
  const Span span = spanOf(entry);
  m_spans.emplace(p_object, span);
  add(entry, span);
}

void SpatialGrid::remove(Object* p_object) {
  const auto found = m_spans.find(p_object);
  if (found == m_spans.end()) return;
  take(p_object, found->second);
  m_spans.erase(found);
}

void SpatialGrid::update(Object* p_object, Box world_box) {
  const auto found = m_spans.find(p_object);
  if (found == m_spans.end()) return;
  const Entry entry = entryOf(p_object, world_box);
  const Span span = spanOf(entry);
  if (span == found->second) {
    // The same buckets: only the box they keep changes.
    for (int r = span.y0; r <= span.y1; ++r)
      for (int c = span.x0; c <= span.x1; ++c)
        for (Entry& e : m_buckets[static_cast<size_t>(r) * m_columns + c])
          if (e.p_object == p_object) {
            e = entry;
            break;
          }
    return;
  }
  take(p_object, found->second);
  add(entry, span);
  found->second = span;
}

void SpatialGrid::query(Box area, std::vector<Object*>& hits) const {
  const Entry box = entryOf(nullptr, area);
  const Span span = spanOf(box);
  const float x = box.x, y = box.y, horizontal = box.horizontal, vertical = box.vertical;
  for (int r = span.y0; r <= span.y1; ++r) {
    for (int c = span.x0; c <= span.x1; ++c) {
      for (const Entry& e : m_buckets[static_cast<size_t>(r) * m_columns + c])
        if (spansOverlap(x, horizontal, e.x, e.horizontal) &&
            spansOverlap(y, vertical, e.y, e.vertical))
          hits.push_back(e.p_object);
    }
  }
}

}  // namespace lk
