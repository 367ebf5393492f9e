#include "SpatialGrid.h"

#include <algorithm>
#include <cmath>

namespace lk {

SpatialGrid::SpatialGrid() { reset(Box(), 1.0f); }

void SpatialGrid::reset(Box area, float bucket_size) {
  m_left = area.getCorner().getX();
  m_top = area.getCorner().getY();
  m_bucket_size = bucket_size;
  m_columns = std::max(1, static_cast<int>(std::ceil(area.getHorizontal() / bucket_size)));
  m_rows = std::max(1, static_cast<int>(std::ceil(area.getVertical() / bucket_size)));
  m_buckets.assign(static_cast<size_t>(m_columns) * m_rows, {});
  m_spans.clear();
}

int SpatialGrid::column(float x) const {
  const float c = std::floor((x - m_left) / m_bucket_size);
  if (!(c > 0)) return 0;  // also catches NaN
  return c >= m_columns - 1 ? m_columns - 1 : static_cast<int>(c);
}

int SpatialGrid::row(float y) const {
  const float r = std::floor((y - m_top) / m_bucket_size);
  if (!(r > 0)) return 0;
  return r >= m_rows - 1 ? m_rows - 1 : static_cast<int>(r);
}

// Boxes include their far edges, so the span does too.
SpatialGrid::Span SpatialGrid::spanOf(Box box) const {
  const float x = box.getCorner().getX();
  const float y = box.getCorner().getY();
  Span span{column(x), row(y), column(x + box.getHorizontal()), row(y + box.getVertical())};
  // A box of negative size still occupies its corner's bucket.
  if (span.x1 < span.x0) std::swap(span.x0, span.x1);
  if (span.y1 < span.y0) std::swap(span.y0, span.y1);
  return span;
}

void SpatialGrid::add(Object* p_object, Span span) {
  for (int r = span.y0; r <= span.y1; ++r)
    for (int c = span.x0; c <= span.x1; ++c)
      m_buckets[static_cast<size_t>(r) * m_columns + c].push_back(p_object);
}

void SpatialGrid::take(Object* p_object, Span span) {
  for (int r = span.y0; r <= span.y1; ++r) {
    for (int c = span.x0; c <= span.x1; ++c) {
      std::vector<Object*>& bucket = m_buckets[static_cast<size_t>(r) * m_columns + c];
      const auto found = std::find(bucket.begin(), bucket.end(), p_object);
      if (found != bucket.end()) {
        *found = bucket.back();
        bucket.pop_back();
      }
    }
  }
}

void SpatialGrid::insert(Object* p_object, Box world_box) {
  if (m_spans.count(p_object) != 0) return;
  const Span span = spanOf(world_box);
  m_spans.emplace(p_object, span);
  add(p_object, span);
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
  const Span span = spanOf(world_box);
  if (span == found->second) return;
  take(p_object, found->second);
  add(p_object, span);
  found->second = span;
}

void SpatialGrid::query(Box area, std::vector<Object*>& candidates) const {
  const Span span = spanOf(area);
  for (int r = span.y0; r <= span.y1; ++r) {
    for (int c = span.x0; c <= span.x1; ++c) {
      const std::vector<Object*>& bucket = m_buckets[static_cast<size_t>(r) * m_columns + c];
      candidates.insert(candidates.end(), bucket.begin(), bucket.end());
    }
  }
}

}  // namespace lk
