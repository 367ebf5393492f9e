#include "Sound.h"

#include <utility>

#include "LogManager.h"
#include "Mp3SoundFileReader.h"
#include "SoundFileCheck.h"

namespace lk {

Sound::Sound() : m_sound(), m_sound_buffer(), m_label("undefined") {}

Sound::~Sound() {
  // The voice must let go of the buffer before the buffer is destroyed.
  m_sound.resetBuffer();
}

int Sound::loadSound(std::string filename) {
  registerMp3Reader();
  if (checkSoundFile(filename, "Sound::loadSound", MAX_SOUND_SAMPLES) != 0 || !m_sound_buffer.loadFromFile(filename)) {
    LogManager::getInstance().writeLog("Sound::loadSound(): ERROR: sound could not be loaded from %s.\n",
                                       filename.c_str());
    return -1;
  }
  m_sound.setBuffer(m_sound_buffer);
  LogManager::getInstance().writeLog("Sound::loadSound(): sound successfully loaded from %s.\n",
                                     filename.c_str());
  return 0;
}

void Sound::setLabel(std::string new_label) { m_label = std::move(new_label); }

std::string Sound::getLabel() const { return m_label; }

void Sound::play(bool loop) {
  m_sound.setLoop(loop);
  m_sound.play();
}

void Sound::stop() { m_sound.stop(); }

const sf::SoundBuffer& Sound::getBuffer() const { return m_sound_buffer; }

}  // namespace lk
