#include "SoundClip.h"

#include <cstdio>

#include "BrowserCalls.h"

namespace lk {

SoundClip::SoundClip() : m_id(-1) {}

SoundClip::~SoundClip() { stop(); }

bool SoundClip::deviceOpens() { return lk_web_audio_open() == 0; }

int SoundClip::load(const std::string& filename, bool audible) {
  if (audible) {
    const int id = lk_web_audio_load(filename.c_str());
    if (id < 0) return -1;
    stop();
    m_id = id;
    return 0;
  }
  // Without Web Audio there is no decoder: a file that can be read and is
  // not empty passes.
  std::FILE* p_file = std::fopen(filename.c_str(), "rb");
  if (p_file == nullptr) return -1;
  const bool has_bytes = std::fgetc(p_file) != EOF;
  std::fclose(p_file);
  return has_bytes ? 0 : -1;
}

void SoundClip::play(bool loop) {
  if (m_id >= 0) lk_web_audio_play(m_id, loop ? 1 : 0);
}

void SoundClip::stop() {
  if (m_id >= 0) lk_web_audio_stop(m_id);
}

void SoundClip::pause() {
  if (m_id >= 0) lk_web_audio_pause(m_id);
}

void SoundClip::resume() {
  if (m_id >= 0) lk_web_audio_resume(m_id);
}

}  // namespace lk
