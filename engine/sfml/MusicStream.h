// Music streamed from its file while it plays, on SFML's audio.
//
// A backend's MusicStream: open, play, stop, pause and resume, with the
// meanings below; getStream is desktop only.
#ifndef LK_MUSIC_STREAM_H
#define LK_MUSIC_STREAM_H

#include <memory>
#include <string>

#include <SFML/Audio.hpp>

namespace lk {

class MusicStream {
 public:
  MusicStream();
  MusicStream(const MusicStream&) = delete;
  MusicStream& operator=(const MusicStream&) = delete;

  // Opens the file to stream it. When `audible`, into a stream that plays
  // it; otherwise only to check it, making no stream (it would fail and
  // complain on every refill without a device). 0 or -1.
  int open(const std::string& filename, bool audible);
  // Play, stop, pause and resume do nothing before an audible open.
  void play(bool loop);
  void stop();
  // Playing music stops where it is, and resume goes on from there; music
  // not playing is left alone by both.
  void pause();
  void resume();

  // Desktop only: the stream, null before an audible open.
  const sf::Music* getStream() const;

 private:
  std::unique_ptr<sf::Music> m_p_music;
  bool m_paused;
};

}  // namespace lk

#endif
