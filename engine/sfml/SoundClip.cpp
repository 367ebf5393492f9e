#include "SoundClip.h"

#include <vector>

#include <AL/alc.h>

#include "Mp3SoundFileReader.h"
#include "SoundFileCheck.h"

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

SoundClip::SoundClip() : m_p_buffer(), m_p_voice(), m_paused(false) {}

SoundClip::~SoundClip() {
  // The voice must let go of the buffer before the buffer is destroyed.
  if (m_p_voice) m_p_voice->resetBuffer();
}

bool SoundClip::deviceOpens() {
  // SFML opens its own device when the first sound or music is loaded.
  ALCdevice* p_device = alcOpenDevice(nullptr);
  if (p_device == nullptr) return false;
  alcCloseDevice(p_device);
  return true;
}

int SoundClip::load(const std::string& filename, bool audible) {
  registerMp3Reader();
  if (checkSoundFile(filename, "Sound::loadSound", MAX_SOUND_SAMPLES) != 0) return -1;
  if (!audible) return decodes(filename) ? 0 : -1;
  if (!m_p_buffer) m_p_buffer.reset(new sf::SoundBuffer);
  if (!m_p_voice) m_p_voice.reset(new sf::Sound);
  if (!m_p_buffer->loadFromFile(filename)) return -1;
  m_p_voice->setBuffer(*m_p_buffer);
  m_paused = false;
  return 0;
}

void SoundClip::play(bool loop) {
  if (!m_p_voice) return;
  m_p_voice->setLoop(loop);
  m_p_voice->play();
  m_paused = false;
}

void SoundClip::stop() {
  if (!m_p_voice) return;
  m_p_voice->stop();
  m_paused = false;
}

void SoundClip::pause() {
  if (!m_p_voice || m_p_voice->getStatus() != sf::SoundSource::Playing) return;
  m_p_voice->pause();
  m_paused = true;
}

void SoundClip::resume() {
  if (!m_p_voice || !m_paused) return;
  m_paused = false;
  // Stopped meanwhile (by stop(), or a load): stays stopped.
  if (m_p_voice->getStatus() == sf::SoundSource::Paused) m_p_voice->play();
}

const sf::SoundBuffer* SoundClip::getBuffer() const { return m_p_buffer.get(); }

}  // namespace lk
