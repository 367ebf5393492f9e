#include "Music.h"

#include <utility>

#include "LogManager.h"
#include "Mp3SoundFileReader.h"

namespace lk {

Music::Music() : m_music(), m_label("undefined"), m_audible(true) {}

int Music::loadMusic(std::string filename) {
  registerMp3Reader();
  bool opened;
  if (m_audible) {
    if (!m_music) m_music.reset(new sf::Music);
    opened = m_music->openFromFile(filename);
  } else {
    sf::InputSoundFile file;
    opened = file.openFromFile(filename);
  }
  if (!opened) {
    LogManager::getInstance().writeLog("Music::loadMusic(): ERROR: music could not be opened from %s.\n",
                                       filename.c_str());
    return -1;
  }
  LogManager::getInstance().writeLog("Music::loadMusic(): music successfully opened from %s.\n",
                                     filename.c_str());
  return 0;
}

void Music::setLabel(std::string new_label) { m_label = std::move(new_label); }

std::string Music::getLabel() const { return m_label; }

void Music::play(bool loop) {
  if (!m_audible || !m_music) return;
  m_music->setLoop(loop);
  m_music->play();
}

void Music::stop() {
  if (m_audible && m_music) m_music->stop();
}

void Music::setAudible(bool audible) { m_audible = audible; }

const sf::Music* Music::getStream() const { return m_music.get(); }

}  // namespace lk
