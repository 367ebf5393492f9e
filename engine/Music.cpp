#include "Music.h"

#include <utility>

#include "LogManager.h"
#include "Mp3SoundFileReader.h"
#include "SoundFileCheck.h"

namespace lk {

Music::Music() : m_music(), m_label("undefined") {}

int Music::loadMusic(std::string filename) {
  registerMp3Reader();
  if (checkSoundFile(filename, "Music::loadMusic", 0) != 0 || !m_music.openFromFile(filename)) {
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
  m_music.setLoop(loop);
  m_music.play();
}

void Music::stop() { m_music.stop(); }

const sf::Music& Music::getStream() const { return m_music; }

}  // namespace lk
