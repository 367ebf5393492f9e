#include "Sprite.h"

#include <new>
#include <utility>

#include "DisplayManager.h"
#include "LogManager.h"

namespace lk {

Sprite::Sprite(int max_frames)
    : m_width(0),
      m_height(0),
      m_max_frame_count(0),
      m_frame_count(0),
      m_color(WHITE),
      m_transparency(0),
      m_slowdown(0),
      m_frame(nullptr),
      m_label() {
  if (max_frames > 0) m_frame = new (std::nothrow) Frame[max_frames];
  if (m_frame != nullptr) {
    m_max_frame_count = max_frames;
  } else if (max_frames != 0) {
    // A negative count cannot be allocated either.
    LogManager::getInstance().writeLog(
        "Sprite::Sprite(): m_frame could not be allocated; not enough memory.\n");
  }
}

Sprite::~Sprite() { delete[] m_frame; }

void Sprite::insertFrame(Frame frame) {
  if (m_frame_count >= m_max_frame_count) return;
  m_frame[m_frame_count] = std::move(frame);
  m_frame_count++;
}

int Sprite::draw(int frame_number, Vector position) const {
  if (frame_number < 0 || frame_number >= m_frame_count) return -1;
  const Frame& frame = m_frame[frame_number];
  const std::string& text = frame.text();
  if (text.empty()) return -1;

  const int w = frame.getWidth();
  const int h = frame.getHeight();
  const int hw = w / 2;
  const int hh = h / 2;
  DisplayManager& display = DisplayManager::getInstance();
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      // Short rows leave the text shorter than w x h; the cells past its end
      // are skipped, and since the index only grows, so is the rest.
      const long long index = static_cast<long long>(y) * w + x;
      if (index >= static_cast<long long>(text.size())) return 0;
      const char c = text[static_cast<std::size_t>(index)];
      if (m_transparency != 0 && c == m_transparency) continue;
      const float cell_x = static_cast<float>(x) + position.getX() - static_cast<float>(hw);
      const float cell_y = static_cast<float>(y) + position.getY() - static_cast<float>(hh);
      display.drawCh(Vector(cell_x, cell_y), c, m_color);
    }
  }
  return 0;
}

int Sprite::getWidth() const { return m_width; }

void Sprite::setWidth(int new_width) { m_width = new_width; }

int Sprite::getHeight() const { return m_height; }

void Sprite::setHeight(int new_height) { m_height = new_height; }

int Sprite::getFrameCount() const { return m_frame_count; }

int Sprite::getMaxFrameCount() const { return m_max_frame_count; }

Frame Sprite::getFrame(int frame_number) const {
  if (frame_number < 0 || frame_number >= m_frame_count) return Frame();
  return m_frame[frame_number];
}

Color Sprite::getColor() const { return m_color; }

void Sprite::setColor(Color new_color) { m_color = new_color; }

char Sprite::getTransparency() const { return m_transparency; }

void Sprite::setTransparency(char new_transparency) { m_transparency = new_transparency; }

int Sprite::getSlowdown() const { return m_slowdown; }

void Sprite::setSlowdown(int new_slowdown) { m_slowdown = new_slowdown; }

std::string Sprite::getLabel() const { return m_label; }

void Sprite::setLabel(std::string new_label) { m_label = std::move(new_label); }

}  // namespace lk
