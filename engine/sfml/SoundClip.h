// A sound decoded whole into memory and played from there, on SFML's audio.
//
// A backend's SoundClip: deviceOpens, load, play, stop, pause and resume,
// with the meanings below; getBuffer is desktop only.
#ifndef LK_SOUND_CLIP_H
#define LK_SOUND_CLIP_H

#include <memory>
#include <string>

#include <SFML/Audio.hpp>

namespace lk {

class SoundClip {
 public:
  SoundClip();
  ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  // Whether the system's audio device opens (it is closed again).
  static bool deviceOpens();

  // Reads and decodes the whole file. When `audible`, into the buffer a
  // voice plays from; otherwise only to check it, making no audio object
  // (each would fail and complain without a device). 0 or -1; the file's
  // checks log what is wrong with it.
  int load(const std::string& filename, bool audible);
  // Play, stop, pause and resume do nothing before an audible load.
  void play(bool loop);
  void stop();
  // A playing sound stops where it is, and resume goes on from there; a
  // sound not playing is left alone by both.
  void pause();
  void resume();

  // Desktop only: the decoded samples, null before an audible load.
  const sf::SoundBuffer* getBuffer() const;

 private:
  // Made by the first audible load, and kept: the voice plays from the
  // buffer beside it, and goes first.
  std::unique_ptr<sf::SoundBuffer> m_p_buffer;
  std::unique_ptr<sf::Sound> m_p_voice;
  bool m_paused;
};

}  // namespace lk

#endif
