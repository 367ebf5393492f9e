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

/// Music streamed from its file while it plays.
class Music {
 public:
  /// An empty music labelled "undefined".
  Music();
  ~Music();
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  /// Opens the file to stream it; 0, or -1 with a log line naming it.
  int loadMusic(std::string filename);
  /// Sets the label the music is found by.
  void setLabel(std::string new_label);
  /// The label the music is found by ("undefined" until set).
  std::string getLabel() const;
  /// Starts playing from the beginning, over and over with `loop`.
  void play(bool loop = true);
  /// Stops playing.
  void stop();
  /// Stops playing music where it is; music not playing is left alone.
  void pause();
  /// Goes on from where pause() stopped the music.
  void resume();
  /// Without an audio device the file is still opened to check it, but no
  /// stream is made (it would fail and complain on every refill), and play
  /// and stop do nothing.
  void setAudible(bool audible);
#if defined(LK_BACKEND_SFML)
  /// The stream, for callers that check its state; null before a load, or
  /// when the music is not audible.
  const sf::Music* getStream() const;
#endif

 private:
  std::unique_ptr<MusicStream> m_p_stream;  // made by the first load
  std::string m_label;
  bool m_audible;
};

}  // namespace lk

#endif
