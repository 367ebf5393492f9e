// Any bytes as an MP3 file, through the calls SFML makes on its sound file
// readers: the format check, open with the announced format, every sample,
// then seeks to offsets taken from the input and reads from each to the end.
// Exactly the announced number of samples must come out every time, as
// SFML's sound buffer and music insist. (SFML's own readers, which take some
// of these inputs first, are fuzzed through the loaders in SoundLoadFuzz.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <SFML/System/MemoryInputStream.hpp>

#include "Mp3SoundFileReader.h"

#ifdef LK_OWN_MP3_READER

namespace {

// Samples from the current position to the end of the stream.
std::uint64_t readToEnd(lk::Mp3SoundFileReader& reader) {
  static std::vector<sf::Int16> buffer(4096);
  std::uint64_t total = 0;
  for (std::uint64_t got; (got = reader.read(buffer.data(), buffer.size())) > 0;) total += got;
  return total;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lk::registerMp3Reader();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sf::MemoryInputStream stream;
  stream.open(data, size);
  lk::Mp3SoundFileReader reader;
  sf::SoundFileReader::Info info{};
  if (!lk::Mp3SoundFileReader::check(stream) || !reader.open(stream, info)) return 0;
  const std::uint64_t count = info.sampleCount;
  const unsigned channels = info.channelCount;
  if (channels < 1 || channels > 2 || info.sampleRate == 0 || count % channels != 0) std::abort();
  if (readToEnd(reader) != count) std::abort();
  // Offsets from the input's first bytes, the last of them past the end.
  std::uint32_t seed = static_cast<std::uint32_t>(size);
  for (std::size_t i = 0; i < size && i < 16; ++i) seed = seed * 31 + data[i];
  for (int i = 0; i < 4; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint64_t offset = i == 3 ? count + 7 : (count == 0 ? 0 : seed % count);
    reader.seek(offset);
    const std::uint64_t start = offset >= count ? count : offset / channels * channels;
    if (readToEnd(reader) != count - start) std::abort();
  }
  return 0;
}

#else

// SFML 2.6 and later read MP3 themselves: nothing of the engine's to fuzz.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }

#endif
