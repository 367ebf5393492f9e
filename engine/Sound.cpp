#include "Sound.h"

#include <utility>
#include <vector>

#include "LogManager.h"
#include "Mp3SoundFileReader.h"

namespace lk {

namespace {

// Decodes the whole file as a sound buffer would, without the audio device.
bool decodes(const std::string& filename) {
  sf::InputSoundFile file;
  if (!file.openFromFile(filename)) return false;
  std::vector<sf::Int16> chunk(4096);
  sf::Uint64 read = 0;
  for (sf::Uint64 got; (got = file.read(chunk.data(), chunk.size())) > 0;) read += got;
  return read == file.getSampleCount();
}

}  // namespace

Sound::Sound() : m_sound_buffer(), m_sound(), m_label("undefined"), m_audible(true) {}

Sound::~Sound() {
  // The voice must let go of the buffer before the buffer is destroyed.
  if (m_sound) m_sound->resetBuffer();
}

int Sound::loadSound(std::string filename) {
  registerMp3Reader();
  bool loaded;
  if (m_audible) {
    if (!m_sound_buffer) m_sound_buffer.reset(new sf::SoundBuffer);
    if (!m_sound) m_sound.reset(new sf::Sound);
    loaded = m_sound_buffer->loadFromFile(filename);
  } else {
    loaded = decodes(filename);
  }
  if (!loaded) {
    LogManager::getInstance().writeLog("Sound::loadSound(): ERROR: sound could not be loaded from %s.\n",
                                       filename.c_str());
    return -1;
  }
  if (m_audible) m_sound->setBuffer(*m_sound_buffer);
  LogManager::getInstance().writeLog("Sound::loadSound(): sound successfully loaded from %s.\n",
                                     filename.c_str());
  return 0;
}

void Sound::setLabel(std::string new_label) { m_label = std::move(new_label); }

std::string Sound::getLabel() const { return m_label; }

void Sound::play(bool loop) {
  if (!m_audible || !m_sound) return;
  m_sound->setLoop(loop);
  m_sound->play();
}

void Sound::stop() {
  if (m_audible && m_sound) m_sound->stop();
}

void Sound::setAudible(bool audible) { m_audible = audible; }

const sf::SoundBuffer* Sound::getBuffer() const { return m_sound_buffer.get(); }

}  // namespace lk
