#include "Music.h"

#include <utility>

#include "LogManager.h"
#include "Mp3SoundFileReader.h"
#include "SoundFileCheck.h"

namespace lk {

Music::Music() : m_music(), m_label("undefined"), m_audible(true) {}

int Music::loadMusic(std::string filename) {
  registerMp3Reader();
  unsigned long long held = 0;
  bool opened = checkSoundFile(filename, "Music::loadMusic", 0, &held) == 0;
  if (opened && m_audible) {
    if (!m_music) m_music.reset(new sf::Music);
    opened = m_music->openFromFile(filename);
    // A file cut short plays, and loops, what it holds: the loop ends where
    // its samples end, so the stream never asks for those its header only
    // announces. (SFML turns the time back into the same sample count.)
    const unsigned long long per_second = static_cast<unsigned long long>(m_music->getSampleRate()) *
                                          m_music->getChannelCount();
    if (opened && held > 0)
      m_music->setLoopPoints(sf::Music::TimeSpan(
          sf::Time::Zero, sf::microseconds(static_cast<sf::Int64>(held * 1000000 / per_second))));
  } else if (opened) {
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
