#include "ResourceManager.h"

#include <utility>

#include "LogManager.h"
#include "SoundClip.h"
#include "SpriteFileReader.h"

namespace lk {

ResourceManager& ResourceManager::getInstance() {
  static ResourceManager instance;
  return instance;
}

ResourceManager::ResourceManager()
    : m_p_sprite(), m_sprite_count(0), m_sound_count(0), m_music_count(0) {
  setType("ResourceManager");
}

ResourceManager::~ResourceManager() {
  // Sprites still held at exit (shutDown never ran) are freed here too, so
  // that nothing leaks.
  for (int i = 0; i < m_sprite_count; i++) {
    delete m_p_sprite[i];
    m_p_sprite[i] = nullptr;
  }
}

int ResourceManager::startUp() {
  m_sprite_count = 0;
  m_sound_count = 0;
  m_music_count = 0;
  // Without an audio device every audio call fails and complains, again and
  // again from a music's streaming thread, and asks the system for a device
  // once more: ask once here, and keep audio off for the run.
  const bool audible = SoundClip::deviceOpens();
  if (!audible)
    LogManager::getInstance().writeLog(
        "ResourceManager::startUp(): No audio device could be opened. The game plays without "
        "sound.\n");
  for (Sound& sound : m_sound) sound.setAudible(audible);
  for (Music& music : m_music) music.setAudible(audible);
  m_is_started = true;
  return 0;
}

void ResourceManager::shutDown() {
  for (int i = 0; i < m_sprite_count; i++) {
    delete m_p_sprite[i];
    m_p_sprite[i] = nullptr;
  }
  // Nothing can be found after this, so nothing may go on playing: a music
  // stream left running would outlive the engine on its own thread.
  for (int i = 0; i < m_sound_count; i++) m_sound[i].stop();
  for (int i = 0; i < m_music_count; i++) m_music[i].stop();
  m_sprite_count = 0;
  m_sound_count = 0;
  m_music_count = 0;
  m_is_started = false;
}

int ResourceManager::loadSprite(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (m_sprite_count == MAX_SPRITES) {
    log.writeLog("ResourceManager::loadSprite(): sprite array is full. %s could not be loaded.\n",
                 filename.c_str());
    return -1;
  }
  Sprite* p_sprite = SpriteFileReader(filename).read();
  if (p_sprite == nullptr) return -1;
  p_sprite->setLabel(std::move(label));
  m_p_sprite[m_sprite_count] = p_sprite;
  m_sprite_count++;
  log.writeLog("ResourceManager::loadSprite(): Sprite successfully loaded from %s.\n",
               filename.c_str());
  return 0;
}

Sprite* ResourceManager::getSprite(std::string label) const {
  for (int i = 0; i < m_sprite_count; i++)
    if (m_p_sprite[i] != nullptr && m_p_sprite[i]->getLabel() == label) return m_p_sprite[i];
  return nullptr;
}

int ResourceManager::loadSound(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (m_sound_count == MAX_SOUNDS) {
    log.writeLog("ResourceManager::loadSound(): sound array is full. %s could not be loaded.\n",
                 filename.c_str());
    return -1;
  }
  if (m_sound[m_sound_count].loadSound(filename) == -1) {
    log.writeLog("ResourceManager::loadSound(): Unable to load sound from file %s.\n",
                 filename.c_str());
    return -1;
  }
  m_sound[m_sound_count].setLabel(std::move(label));
  m_sound_count++;
  return 0;
}

Sound* ResourceManager::getSound(std::string label) {
  for (int i = 0; i < m_sound_count; i++)
    if (m_sound[i].getLabel() == label) return &m_sound[i];
  return nullptr;
}

int ResourceManager::loadMusic(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (m_music_count == MAX_MUSIC) {
    log.writeLog("ResourceManager::loadMusic(): music array is full. %s could not be loaded.\n",
                 filename.c_str());
    return -1;
  }
  if (label.empty()) {
    log.writeLog("ResourceManager::loadMusic(): music could be loaded with label of \"\".\n");
    return -1;
  }
  if (m_music[m_music_count].loadMusic(filename) == -1) {
    log.writeLog("ResourceManager::loadMusic(): Unable to associate music object with file %s.\n",
                 filename.c_str());
    return -1;
  }
  m_music[m_music_count].setLabel(std::move(label));
  m_music_count++;
  return 0;
}

Music* ResourceManager::getMusic(std::string label) {
  for (int i = 0; i < m_music_count; i++)
    if (m_music[i].getLabel() == label) return &m_music[i];
  return nullptr;
}

void ResourceManager::pauseAudio() {
  for (int i = 0; i < m_sound_count; i++) m_sound[i].pause();
  for (int i = 0; i < m_music_count; i++) m_music[i].pause();
}

void ResourceManager::resumeAudio() {
  for (int i = 0; i < m_sound_count; i++) m_sound[i].resume();
  for (int i = 0; i < m_music_count; i++) m_music[i].resume();
}

}  // namespace lk
