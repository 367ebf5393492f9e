#include "Frame.h"

#include <utility>

namespace lk {

Frame::Frame() : m_width(0), m_height(0), m_frame_str() {}

Frame::Frame(int new_width, int new_height, std::string frame_str)
    : m_width(new_width), m_height(new_height), m_frame_str(std::move(frame_str)) {}

int Frame::getWidth() const { return m_width; }

int Frame::getHeight() const { return m_height; }

std::string Frame::getString() const { return m_frame_str; }

const std::string& Frame::text() const { return m_frame_str; }

}  // namespace lk
