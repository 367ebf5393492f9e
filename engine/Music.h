// Music streamed from its file while it plays.
#ifndef LK_MUSIC_H
#define LK_MUSIC_H

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
  // The stream, for callers that check its state.
  const sf::Music& getStream() const;

 private:
  sf::Music m_music;
  std::string m_label;
};

}  // namespace lk

#endif
