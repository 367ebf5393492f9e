// Any bytes as an MP3 file, through the calls SFML makes on a sound file
// reader: open, the announced format, every sample, then seeks to offsets
// taken from the input and reads from each to the end. Exactly the announced
// number of samples must come out every time, as SFML's sound buffer insists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/System/Err.hpp>

#include "Mp3SoundFileReader.h"

namespace {

// Samples from the current position to the end of the stream.
std::uint64_t readToEnd(sf::InputSoundFile& file) {
  static std::vector<sf::Int16> buffer(4096);
  std::uint64_t total = 0;
  for (std::uint64_t got; (got = file.read(buffer.data(), buffer.size())) > 0;) total += got;
  return total;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sf::err().rdbuf(nullptr);  // SFML's refusals of bad files go nowhere
  lk::registerMp3Reader();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sf::InputSoundFile file;
  if (!file.openFromMemory(data, size)) return 0;
  const std::uint64_t count = file.getSampleCount();
  const unsigned channels = file.getChannelCount();
  if (channels < 1 || channels > 2 || file.getSampleRate() == 0 || count % channels != 0) std::abort();
  if (readToEnd(file) != count) std::abort();
  // Offsets from the input's first bytes, one of them past the end.
  std::uint32_t seed = static_cast<std::uint32_t>(size);
  for (std::size_t i = 0; i < size && i < 16; ++i) seed = seed * 31 + data[i];
  for (int i = 0; i < 4; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint64_t offset = i == 3 ? count + 7 : (count == 0 ? 0 : seed % count);
    file.seek(offset);
    const std::uint64_t start = offset >= count ? count : offset / channels * channels;
    if (readToEnd(file) != count - start) std::abort();
  }
  return 0;
}
