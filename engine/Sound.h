// A sound effect, decoded whole into memory and played from there.
#ifndef LK_SOUND_H
#define LK_SOUND_H

#include <string>

#include <SFML/Audio.hpp>

namespace lk {

class Sound {
 public:
  Sound();
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  int loadSound(std::string filename);
  void setLabel(std::string new_label);
  std::string getLabel() const;
  void play(bool loop = false);
  void stop();
  // The decoded samples, for callers that check what was loaded.
  const sf::SoundBuffer& getBuffer() const;

 private:
  sf::Sound m_sound;
  sf::SoundBuffer m_sound_buffer;
  std::string m_label;
};

}  // namespace lk

#endif
