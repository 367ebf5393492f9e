#include "Music.h"

#include <utility>

#include "LogManager.h"
#include "MusicStream.h"

namespace lk {

Music::Music() : m_p_stream(), m_label("undefined"), m_audible(true) {}

Music::~Music() {}

int Music::loadMusic(std::string filename) {
  if (!m_p_stream) m_p_stream.reset(new MusicStream);
  if (m_p_stream->open(filename, m_audible) != 0) {
    LogManager::getInstance().writeLog(
        "Music::loadMusic(): ERROR: music could not be opened from %s.\n", filename.c_str());
    return -1;
  }
  LogManager::getInstance().writeLog("Music::loadMusic(): music successfully opened from %s.\n",
                                     filename.c_str());
  return 0;
}

void Music::setLabel(std::string new_label) { m_label = std::move(new_label); }

std::string Music::getLabel() const { return m_label; }

void Music::play(bool loop) {
  if (m_audible && m_p_stream) m_p_stream->play(loop);
}

void Music::stop() {
  if (m_audible && m_p_stream) m_p_stream->stop();
}

void Music::pause() {
  if (m_audible && m_p_stream) m_p_stream->pause();
}

void Music::resume() {
  if (m_audible && m_p_stream) m_p_stream->resume();
}

void Music::setAudible(bool audible) { m_audible = audible; }

#if defined(LK_BACKEND_SFML)
const sf::Music* Music::getStream() const { return m_p_stream ? m_p_stream->getStream() : nullptr; }
#endif

}  // namespace lk
