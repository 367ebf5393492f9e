#include "SoundFileCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include <SFML/Audio/InputSoundFile.hpp>

#include "LogManager.h"

namespace lk {

namespace {

// 64-bit file positions on every system: long, which fseek and ftell take,
// is 32 bits on Windows.
int seekTo(std::FILE* p_file, std::int64_t position) {
#ifdef _WIN32
  return _fseeki64(p_file, position, SEEK_SET);
#else
  return fseeko(p_file, static_cast<off_t>(position), SEEK_SET);
#endif
}

std::int64_t fileSize(std::FILE* p_file) {
#ifdef _WIN32
  if (_fseeki64(p_file, 0, SEEK_END) != 0) return -1;
  return _ftelli64(p_file);
#else
  if (fseeko(p_file, 0, SEEK_END) != 0) return -1;
  return static_cast<std::int64_t>(ftello(p_file));
#endif
}

// What a walk over a RIFF WAVE file's chunks, up to its samples, finds.
enum WavLayout { WAV_FINE, WAV_DATA_BEFORE_FORMAT, WAV_CHUNK_PAST_END, WAV_ODD_CHUNK };

struct WavWalk {
  WavLayout layout = WAV_FINE;
  std::int64_t chunk_at = 0;     // the offending chunk's header
  unsigned long chunk_size = 0;  // and the size it claims
  std::int64_t file_size = 0;
};

// SFML's WAV reader walks the chunks in order, believing each size: a chunk
// claiming more bytes than the file holds sends it seeking far past the end
// (and, where its stream seeks with a 32-bit long, round in circles), and a
// "data" chunk before any "fmt " makes it divide the data's length by a
// sample size it has not read yet. RIFF follows an odd-sized chunk with a pad
// byte, which that reader does not step over: it would take the next header
// from one byte early, so such a chunk ahead of the samples is refused too.
// Anything not RIFF WAVE is left to SFML.
WavWalk walkWav(const std::string& filename) {
  WavWalk walk;
  std::FILE* p_file = std::fopen(filename.c_str(), "rb");
  if (p_file == nullptr) return walk;
  unsigned char chunk[12];
  const std::int64_t size = fileSize(p_file);
  walk.file_size = size;
  if (size >= 12 && seekTo(p_file, 0) == 0 && std::fread(chunk, 1, 12, p_file) == 12 &&
      std::memcmp(chunk, "RIFF", 4) == 0 && std::memcmp(chunk + 8, "WAVE", 4) == 0) {
    std::int64_t position = 12;
    bool format_seen = false;
    while (position + 8 <= size && seekTo(p_file, position) == 0 &&
           std::fread(chunk, 1, 8, p_file) == 8) {
      const unsigned long chunk_size =
          chunk[4] | (chunk[5] << 8) | (chunk[6] << 16) | (0UL + chunk[7]) << 24;
      const std::int64_t end = position + 8 + static_cast<std::int64_t>(chunk_size);
      // The samples end the walk: a "data" chunk that runs past the end is a
      // file cut short, which the caller judges by the samples it holds.
      if (std::memcmp(chunk, "data", 4) == 0) {
        if (!format_seen) walk.layout = WAV_DATA_BEFORE_FORMAT;
        break;
      }
      if (end > size) {
        walk.layout = WAV_CHUNK_PAST_END;
        walk.chunk_at = position;
        walk.chunk_size = chunk_size;
        break;
      }
      if ((chunk_size & 1) != 0) {
        walk.layout = WAV_ODD_CHUNK;
        walk.chunk_at = position;
        walk.chunk_size = chunk_size;
        break;
      }
      if (std::memcmp(chunk, "fmt ", 4) == 0) format_seen = true;
      if (end <= position) break;  // cannot happen with 64-bit positions; never loop
      position = end;
    }
  }
  std::fclose(p_file);
  return walk;
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
  const WavWalk walk = walkWav(filename);
  if (walk.layout == WAV_DATA_BEFORE_FORMAT) {
    log.writeLog(
        "%s(): %s has its samples ahead of their format (a \"data\" chunk before \"fmt \").\n",
        caller, filename.c_str());
    return -1;
  }
  // SFML's file stream seeks and tells with a long: on Windows, 32 bits.
  if (walk.file_size > static_cast<std::int64_t>(std::numeric_limits<long>::max())) {
    log.writeLog("%s(): %s is %lld bytes long, more than this system's file streams can seek in.\n",
                 caller, filename.c_str(), static_cast<long long>(walk.file_size));
    return -1;
  }
  if (walk.layout == WAV_CHUNK_PAST_END) {
    log.writeLog(
        "%s(): %s has a chunk at byte %lld claiming %lu bytes, past the file's end at byte %lld.\n",
        caller, filename.c_str(), static_cast<long long>(walk.chunk_at), walk.chunk_size,
        static_cast<long long>(walk.file_size));
    return -1;
  }
  if (walk.layout == WAV_ODD_CHUNK) {
    log.writeLog(
        "%s(): %s has a chunk at byte %lld of an odd %lu bytes ahead of its samples, which the WAV "
        "reader would misread.\n",
        caller, filename.c_str(), static_cast<long long>(walk.chunk_at), walk.chunk_size);
    return -1;
  }
  sf::InputSoundFile file;
  if (!file.openFromFile(filename)) return -1;  // SFML has said why
  const unsigned int rate = file.getSampleRate();
  const unsigned int channels = file.getChannelCount();
  const unsigned long long count = file.getSampleCount();
  if (rate == 0 || rate > MAX_SAMPLE_RATE || channels == 0 || channels > MAX_CHANNELS) {
    log.writeLog("%s(): %s announces %u samples a second on %u channels (at most %u on %u).\n",
                 caller, filename.c_str(), rate, channels, MAX_SAMPLE_RATE, MAX_CHANNELS);
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
      log.writeLog("%s(): %s ends before the %llu samples it announces.\n", caller,
                   filename.c_str(), count);
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
    log.writeLog("%s(): %s holds %llu of the %llu samples it announces; what it holds is played.\n",
                 caller, filename.c_str(), *p_held, count);
    return 0;
  }
  if (p_held != nullptr) *p_held = frames * channels;
  return 0;
}

}  // namespace lk
