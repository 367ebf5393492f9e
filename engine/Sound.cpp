#include "Sound.h"

#include <utility>

#include "LogManager.h"
#include "SoundClip.h"

namespace lk {

Sound::Sound() : m_p_clip(), m_label("undefined"), m_audible(true) {}

Sound::~Sound() {}

int Sound::loadSound(std::string filename) {
  if (!m_p_clip) m_p_clip.reset(new SoundClip);
  if (m_p_clip->load(filename, m_audible) != 0) {
    LogManager::getInstance().writeLog(
        "Sound::loadSound(): ERROR: sound could not be loaded from %s.\n", filename.c_str());
    return -1;
  }
  LogManager::getInstance().writeLog("Sound::loadSound(): sound successfully loaded from %s.\n",
                                     filename.c_str());
  return 0;
}

void Sound::setLabel(std::string new_label) { m_label = std::move(new_label); }

std::string Sound::getLabel() const { return m_label; }

void Sound::play(bool loop) {
  if (m_audible && m_p_clip) m_p_clip->play(loop);
}

void Sound::stop() {
  if (m_audible && m_p_clip) m_p_clip->stop();
}

void Sound::pause() {
  if (m_audible && m_p_clip) m_p_clip->pause();
}

void Sound::resume() {
  if (m_audible && m_p_clip) m_p_clip->resume();
}

void Sound::setAudible(bool audible) { m_audible = audible; }

#if defined(LK_BACKEND_SFML)
const sf::SoundBuffer* Sound::getBuffer() const {
  return m_p_clip ? m_p_clip->getBuffer() : nullptr;
}
#endif

}  // namespace lk
