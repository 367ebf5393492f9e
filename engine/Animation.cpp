#include "Animation.h"

#include <utility>

#include "Sprite.h"

namespace lk {

Animation::Animation()
    : m_p_sprite(nullptr), m_name("undefined"), m_index(0), m_slowdown_count(0) {}

void Animation::setSprite(Sprite* p_new_sprite) {
  m_p_sprite = p_new_sprite;
  m_slowdown_count = p_new_sprite != nullptr ? p_new_sprite->getSlowdown() : 0;
}

Sprite* Animation::getSprite() const { return m_p_sprite; }

void Animation::setName(std::string new_name) { m_name = std::move(new_name); }

std::string Animation::getName() const { return m_name; }

void Animation::setIndex(int new_index) { m_index = new_index; }

int Animation::getIndex() const { return m_index; }

void Animation::setSlowdownCount(int new_slowdown_count) { m_slowdown_count = new_slowdown_count; }

int Animation::getSlowdownCount() const { return m_slowdown_count; }

int Animation::draw(Vector position) {
  if (m_p_sprite == nullptr) return -1;

  // The frame current when the draw began is the one shown.
  m_p_sprite->draw(m_index, position);

  if (m_slowdown_count == -1) return 0;  // stopped

  // Counted in 64 bits so that extreme counts or indices set from outside
  // cannot overflow.
  const long long count = static_cast<long long>(m_slowdown_count) + 1;
  long long index = m_index;
  if (count >= m_p_sprite->getSlowdown()) {
    index++;
    m_slowdown_count = 0;
  } else {
    m_slowdown_count = static_cast<int>(count);
  }
  if (index >= m_p_sprite->getFrameCount()) index = 0;
  m_index = static_cast<int>(index);
  return 0;
}

}  // namespace lk
