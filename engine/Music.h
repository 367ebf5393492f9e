// Music streamed from its file while it plays.
#ifndef LK_MUSIC_H
#define LK_MUSIC_H

#include <memory>
#include <string>

#if defined(LK_BACKEND_SFML)
#include <SFML/Audio.hpp>
#endif

namespace lk {

// The platform's music stream (the backend's).
class MusicStream;

class Music {
 public:
  Music();
  ~Music();
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  int loadMusic(std::string filename);
  void setLabel(std::string new_label);
  std::string getLabel() const;
  void play(bool loop = true);
  void stop();
  // Playing music stops where it is; resume goes on from there. Neither
  // touches music that is not playing.
  void pause();
  void resume();
  // Without an audio device the file is still opened to check it, but no
  // stream is made (it would fail and complain on every refill), and play
  // and stop do nothing.
  void setAudible(bool audible);
#if defined(LK_BACKEND_SFML)
  // The stream, for callers that check its state; null before a load, or
  // when the music is not audible.
  const sf::Music* getStream() const;
#endif

 private:
  std::unique_ptr<MusicStream> m_p_stream;  // made by the first load
  std::string m_label;
  bool m_audible;
};

}  // namespace lk

#endif
