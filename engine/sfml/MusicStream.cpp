#include "MusicStream.h"

#include "Mp3SoundFileReader.h"
#include "SoundFileCheck.h"

namespace lk {

MusicStream::MusicStream() : m_p_music(), m_paused(false) {}

int MusicStream::open(const std::string& filename, bool audible) {
  registerMp3Reader();
  unsigned long long held = 0;
  if (checkSoundFile(filename, "Music::loadMusic", 0, &held) != 0) return -1;
  if (!audible) {
    sf::InputSoundFile file;
    return file.openFromFile(filename) ? 0 : -1;
  }
  if (!m_p_music) m_p_music.reset(new sf::Music);
  m_paused = false;
  if (!m_p_music->openFromFile(filename)) return -1;
  // A file cut short plays, and loops, what it holds: the loop ends where
  // its samples end, so the stream never asks for those its header only
  // announces. (SFML turns the time back into the same sample count.)
  const unsigned long long per_second =
      static_cast<unsigned long long>(m_p_music->getSampleRate()) * m_p_music->getChannelCount();
  if (held > 0)
    m_p_music->setLoopPoints(sf::Music::TimeSpan(
        sf::Time::Zero, sf::microseconds(static_cast<sf::Int64>(held * 1000000 / per_second))));
  return 0;
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
