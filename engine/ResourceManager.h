#ifndef LK_RESOURCE_MANAGER_H
#define LK_RESOURCE_MANAGER_H

#include <string>

#include "Manager.h"
#include "Music.h"
#include "Sound.h"
#include "Sprite.h"

namespace lk {

const int MAX_SPRITES = 500;
const int MAX_SOUNDS = 50;
const int MAX_MUSIC = 50;

/// Holds the sprites, sounds and music under text labels for the whole run.
class ResourceManager : public Manager {
 public:
  /// The one resource manager.
  static ResourceManager& getInstance();
  ~ResourceManager() override;

  /// Empties the tables and checks once for an audio device; 0.
  int startUp() override;
  /// Deletes every sprite and empties the three tables.
  void shutDown() override;

  /// Reads a sprite file and registers it under the label; 0 or -1.
  int loadSprite(std::string filename, std::string label);
  /// The first loaded sprite with that label, or null.
  Sprite* getSprite(std::string label) const;

  /// Loads a sound effect under the label; 0, or -1 with a log line.
  int loadSound(std::string filename, std::string label);
  /// The first loaded sound with that label, or null.
  Sound* getSound(std::string label);
  /// Opens a music file to stream under the label; 0, or -1 with a log line.
  int loadMusic(std::string filename, std::string label);
  /// The first loaded music with that label, or null.
  Music* getMusic(std::string label);

  /// Pauses every playing sound and music.
  void pauseAudio();
  /// Resumes the sounds and music that pauseAudio() paused.
  void resumeAudio();

 private:
  ResourceManager();

  Sprite* m_p_sprite[MAX_SPRITES];
  int m_sprite_count;
  Sound m_sound[MAX_SOUNDS];
  int m_sound_count;
  Music m_music[MAX_MUSIC];
  int m_music_count;
};

}  // namespace lk

#endif
