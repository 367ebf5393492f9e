#include "MusicStream.h"

#include "Mp3SoundFileReader.h"
#include "SoundFileCheck.h"

namespace lk {

MusicStream::MusicStream() : m_p_music(), m_paused(false) {}

int MusicStream::open(const std::string& filename, bool audible) {
  registerMp3Reader();
  if (checkSoundFile(filename, "Music::loadMusic", 0) != 0) return -1;
  if (!audible) {
    sf::InputSoundFile file;
    return file.openFromFile(filename) ? 0 : -1;
  }
  if (!m_p_music) m_p_music.reset(new sf::Music);
  m_paused = false;
  return m_p_music->openFromFile(filename) ? 0 : -1;
}

void MusicStream::play(bool loop) {
  if (!m_p_music) return;
  m_p_music->setLoop(loop);
  m_p_music->play();
  m_paused = false;
}

void MusicStream::stop() {
  if (!m_p_music) return;
  m_p_music->stop();
  m_paused = false;
}

void MusicStream::pause() {
  if (!m_p_music || m_p_music->getStatus() != sf::SoundSource::Playing) return;
  m_p_music->pause();
  m_paused = true;
}

void MusicStream::resume() {
  if (!m_p_music || !m_paused) return;
  m_paused = false;
  if (m_p_music->getStatus() == sf::SoundSource::Paused) m_p_music->play();
}

const sf::Music* MusicStream::getStream() const { return m_p_music.get(); }

}  // namespace lk
