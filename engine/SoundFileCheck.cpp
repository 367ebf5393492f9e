#include "SoundFileCheck.h"

#include <cstdio>
#include <cstring>

#include <SFML/Audio/InputSoundFile.hpp>

#include "LogManager.h"

namespace lk {

namespace {

// False for a RIFF WAVE file whose "data" chunk comes before any "fmt "
// chunk: SFML's WAV reader, walking the chunks in order, would divide the
// data's length by a sample size it has not read yet.
bool wavFormatBeforeData(const std::string& filename) {
  std::FILE* p_file = std::fopen(filename.c_str(), "rb");
  if (p_file == nullptr) return true;
  unsigned char chunk[12];
  bool ok = true;
  if (std::fread(chunk, 1, 12, p_file) == 12 && std::memcmp(chunk, "RIFF", 4) == 0 &&
      std::memcmp(chunk + 8, "WAVE", 4) == 0) {
    long position = 12;
    while (std::fseek(p_file, position, SEEK_SET) == 0 && std::fread(chunk, 1, 8, p_file) == 8) {
      if (std::memcmp(chunk, "fmt ", 4) == 0) break;
      if (std::memcmp(chunk, "data", 4) == 0) {
        ok = false;
        break;
      }
      const unsigned long size = chunk[4] | (chunk[5] << 8) | (chunk[6] << 16) | (0UL + chunk[7]) << 24;
      position += 8 + static_cast<long>(size);
    }
  }
  std::fclose(p_file);
  return ok;
}

// Whether sample frame `frame` of the file can be read.
bool frameHeld(sf::InputSoundFile& file, unsigned long long frame, unsigned int channels) {
  sf::Int16 samples[MAX_CHANNELS];
  file.seek(frame * channels);
  return file.read(samples, channels) == channels;
}

}  // namespace

int checkSoundFile(const std::string& filename, const char* caller, unsigned long long max_samples,
                   unsigned long long* p_held) {
  LogManager& log = LogManager::getInstance();
  if (!wavFormatBeforeData(filename)) {
    log.writeLog("%s(): %s has its samples ahead of their format (a \"data\" chunk before \"fmt \").\n", caller,
                 filename.c_str());
    return -1;
  }
  sf::InputSoundFile file;
  if (!file.openFromFile(filename)) return -1;  // SFML has said why
  const unsigned int rate = file.getSampleRate();
  const unsigned int channels = file.getChannelCount();
  const unsigned long long count = file.getSampleCount();
  if (rate == 0 || rate > MAX_SAMPLE_RATE || channels == 0 || channels > MAX_CHANNELS) {
    log.writeLog("%s(): %s announces %u samples a second on %u channels (at most %u on %u).\n", caller,
                 filename.c_str(), rate, channels, MAX_SAMPLE_RATE, MAX_CHANNELS);
    return -1;
  }
  if (max_samples > 0 && count > max_samples) {
    log.writeLog("%s(): %s announces %llu samples, more than the %llu a sound may hold.\n", caller,
                 filename.c_str(), count, max_samples);
    return -1;
  }
  // The last sample frame must be there: a sound cut short is refused
  // rather than played up to where it breaks off.
  const unsigned long long frames = count / channels;
  if (frames > 0 && !frameHeld(file, frames - 1, channels)) {
    if (p_held == nullptr) {
      log.writeLog("%s(): %s ends before the %llu samples it announces.\n", caller, filename.c_str(), count);
      return -1;
    }
    // The frames held are those before the first one missing.
    unsigned long long low = 0, high = frames - 1;
    while (low < high) {
      const unsigned long long middle = low + (high - low) / 2;
      if (frameHeld(file, middle, channels))
        low = middle + 1;
      else
        high = middle;
    }
    *p_held = low * channels;
    log.writeLog("%s(): %s holds %llu of the %llu samples it announces; what it holds is played.\n", caller,
                 filename.c_str(), *p_held, count);
    return 0;
  }
  if (p_held != nullptr) *p_held = frames * channels;
  return 0;
}

}  // namespace lk
