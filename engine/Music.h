// Music streamed from its file while it plays.
#ifndef LK_MUSIC_H
#define LK_MUSIC_H

#include <memory>
#include <string>

#include <SFML/Audio.hpp>

namespace lk {

class Music {
 public:
  Music();
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  int loadMusic(std::string filename);
  void setLabel(std::string new_label);
  std::string getLabel() const;
  void play(bool loop = true);
  void stop();
  // Without an audio device the file is still opened to check it, but no
  // SFML stream is made (it would fail and complain on every refill), and
  // play and stop do nothing.
  void setAudible(bool audible);
  // The stream, for callers that check its state; null before a load, or
  // when the music is not audible.
  const sf::Music* getStream() const;

 private:
  std::unique_ptr<sf::Music> m_music;  // made by the first load with audio
  std::string m_label;
  bool m_audible;
};

}  // namespace lk

#endif
