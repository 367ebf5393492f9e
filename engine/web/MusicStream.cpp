#include "MusicStream.h"

namespace lk {

MusicStream::MusicStream() = default;

int MusicStream::open(const std::string& filename, bool audible) {
  return m_clip.load(filename, audible);
}

void MusicStream::play(bool loop) { m_clip.play(loop); }

void MusicStream::stop() { m_clip.stop(); }

void MusicStream::pause() { m_clip.pause(); }

void MusicStream::resume() { m_clip.resume(); }

}  // namespace lk
