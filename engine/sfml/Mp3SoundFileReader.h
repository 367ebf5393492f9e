// MP3 decoding for SFML builds that have none of their own (before 2.6),
// on libmpg123. With a newer SFML only the registration call remains, and it
// does nothing.
#ifndef LK_MP3_SOUND_FILE_READER_H
#define LK_MP3_SOUND_FILE_READER_H

#include <SFML/Audio.hpp>
#include <SFML/Config.hpp>

#if SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6
#define LK_OWN_MP3_READER 1
#endif

#ifdef LK_OWN_MP3_READER
struct mpg123_handle_struct;
#endif

namespace lk {

// Makes SFML's sound buffers and music read MP3 files. Safe to call any
// number of times; the sound and music loaders call it before every load.
void registerMp3Reader();

#ifdef LK_OWN_MP3_READER

class Mp3SoundFileReader : public sf::SoundFileReader {
 public:
  Mp3SoundFileReader();
  ~Mp3SoundFileReader() override;
  Mp3SoundFileReader(const Mp3SoundFileReader&) = delete;
  Mp3SoundFileReader& operator=(const Mp3SoundFileReader&) = delete;

  // True when the stream starts with an MPEG audio frame (after an optional
  // ID3v2 tag) followed by a second, consistent one.
  static bool check(sf::InputStream& stream);

  bool open(sf::InputStream& stream, Info& info) override;
  void seek(sf::Uint64 sample_offset) override;
  sf::Uint64 read(sf::Int16* samples, sf::Uint64 max_count) override;

 private:
  void close();

  mpg123_handle_struct* m_p_handle;  // the decoder, or null
  unsigned int m_channel_count;
  sf::Uint64 m_sample_count;  // interleaved samples announced to SFML
  sf::Uint64 m_position;      // interleaved samples handed out so far
  bool m_decoder_done;
};

#endif

}  // namespace lk

#endif
