#include "Mp3SoundFileReader.h"

#ifdef LK_OWN_MP3_READER

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <mpg123.h>

#include "LogManager.h"

namespace lk {

namespace {

// The stream handed to libmpg123's reader callbacks.
mpg123_ssize_t readCallback(void* p_stream, void* p_buffer, size_t bytes) {
  const sf::Int64 got =
      static_cast<sf::InputStream*>(p_stream)->read(p_buffer, static_cast<sf::Int64>(bytes));
  return got < 0 ? -1 : static_cast<mpg123_ssize_t>(got);
}

off_t seekCallback(void* p_stream, off_t offset, int whence) {
  sf::InputStream* stream = static_cast<sf::InputStream*>(p_stream);
  sf::Int64 base = 0;
  if (whence == SEEK_CUR) {
    base = stream->tell();
  } else if (whence == SEEK_END) {
    base = stream->getSize();
  } else if (whence != SEEK_SET) {
    return -1;
  }
  if (base < 0) return -1;
  const sf::Int64 target = base + static_cast<sf::Int64>(offset);
  if (target < 0) return -1;
  const sf::Int64 reached = stream->seek(target);
  return reached < 0 ? -1 : static_cast<off_t>(reached);
}

// The parts of an MPEG audio frame header that tell one frame from the next.
struct FrameHeader {
  int version;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layer;    // 1, 2 or 3
  int sample_rate;
  int length;     // bytes, header included
  int side_info;  // bytes between the header (and its checksum) and the data
};

bool parseFrameHeader(const unsigned char* h, FrameHeader& out) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  const int version = (h[1] >> 3) & 3;
  const int layer_bits = (h[1] >> 1) & 3;
  const int bitrate_index = h[2] >> 4;
  const int rate_index = (h[2] >> 2) & 3;
  const int padding = (h[2] >> 1) & 1;
  // Reserved values; free-format streams (bitrate index 0) are not taken.
  if (version == 1 || layer_bits == 0 || bitrate_index == 0 || bitrate_index == 15 ||
      rate_index == 3 || (h[3] & 3) == 2)
    return false;

  static const int kBitrates[5][15] = {
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},  // MPEG-2 layers II, III
  };
  static const int kRates[3] = {44100, 48000, 32000};

  const int layer = 4 - layer_bits;
  const bool mpeg1 = version == 3;
  const int table = mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4);
  const int bitrate = kBitrates[table][bitrate_index] * 1000;
  const int sample_rate = kRates[rate_index] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));

  int length = 0;
  if (layer == 1)
    length = (12 * bitrate / sample_rate + padding) * 4;
  else if (layer == 3 && !mpeg1)
    length = 72 * bitrate / sample_rate + padding;
  else
    length = 144 * bitrate / sample_rate + padding;

  out.version = version;
  out.layer = layer;
  out.sample_rate = sample_rate;
  out.length = length;
  const bool mono = (h[3] >> 6) == 3;
  out.side_info = (layer != 3 ? 0
                   : mpeg1    ? (mono ? 17 : 32)
                              : (mono ? 9 : 17)) +
                  ((h[1] & 1) == 0 ? 2 : 0);
  return length > 4;
}

bool readAt(sf::InputStream& stream, sf::Int64 offset, unsigned char* p_out, sf::Int64 count) {
  return stream.seek(offset) == offset && stream.read(p_out, count) == count;
}

// How far past an ID3v2 tag the first frame is looked for.
const sf::Int64 MAX_JUNK_AFTER_TAG = 64 * 1024;

// Where the first of two consistent frames starts (after an optional ID3v2
// tag), or -1.
sf::Int64 findFirstFrame(sf::InputStream& stream, FrameHeader& first) {
  const sf::Int64 size = stream.getSize();
  unsigned char bytes[10];
  if (size < 4 || !readAt(stream, 0, bytes, 4)) return -1;

  sf::Int64 start = 0;
  sf::Int64 search = 0;
  if (size >= 10 && std::memcmp(bytes, "ID3", 3) == 0 && readAt(stream, 0, bytes, 10) &&
      bytes[3] != 0xFF && bytes[4] != 0xFF && (bytes[6] | bytes[7] | bytes[8] | bytes[9]) < 0x80) {
    const sf::Int64 tag = (sf::Int64(bytes[6]) << 21) | (sf::Int64(bytes[7]) << 14) |
                          (sf::Int64(bytes[8]) << 7) | sf::Int64(bytes[9]);
    start = 10 + tag + ((bytes[5] & 0x10) != 0 ? 10 : 0);
    search = MAX_JUNK_AFTER_TAG;
  }

  // The candidates' headers are read in one go rather than one seek each.
  const sf::Int64 window = std::max<sf::Int64>(0, std::min(search + 4, size - start));
  std::vector<unsigned char> headers(static_cast<std::size_t>(window));
  if (window < 4 || !readAt(stream, start, headers.data(), window)) return -1;
  for (sf::Int64 offset = start; offset <= start + search && offset + 4 <= size; offset++) {
    unsigned char header[4];
    if (!parseFrameHeader(&headers[static_cast<std::size_t>(offset - start)], first)) continue;
    const sf::Int64 next = offset + first.length;
    if (next == size) return offset;  // a single frame
    FrameHeader second;
    if (next + 4 <= size && readAt(stream, next, header, 4) && parseFrameHeader(header, second) &&
        second.version == first.version && second.layer == first.layer &&
        second.sample_rate == first.sample_rate)
      return offset;
  }
  return -1;
}

// The stream's length in bytes as the encoder's Xing or Info tag in the
// first frame gives it, or -1 when the frame carries no such number.
sf::Int64 taggedByteCount(sf::InputStream& stream, sf::Int64 offset, const FrameHeader& frame) {
  unsigned char tag[16];
  const sf::Int64 at = offset + 4 + frame.side_info;
  if (at + 16 > offset + frame.length || !readAt(stream, at, tag, 16) ||
      (std::memcmp(tag, "Xing", 4) != 0 && std::memcmp(tag, "Info", 4) != 0) || (tag[7] & 2) == 0)
    return -1;
  const unsigned char* p_bytes = tag + ((tag[7] & 1) != 0 ? 12 : 8);
  return (sf::Int64(p_bytes[0]) << 24) | (sf::Int64(p_bytes[1]) << 16) |
         (sf::Int64(p_bytes[2]) << 8) | p_bytes[3];
}

}  // namespace

Mp3SoundFileReader::Mp3SoundFileReader()
    : m_p_handle(nullptr),
      m_channel_count(0),
      m_sample_count(0),
      m_position(0),
      m_decoder_done(false) {}

Mp3SoundFileReader::~Mp3SoundFileReader() { close(); }

void Mp3SoundFileReader::close() {
  if (m_p_handle == nullptr) return;
  mpg123_close(m_p_handle);
  mpg123_delete(m_p_handle);
  m_p_handle = nullptr;
}

bool Mp3SoundFileReader::check(sf::InputStream& stream) {
  FrameHeader first;
  return findFirstFrame(stream, first) >= 0;
}

bool Mp3SoundFileReader::open(sf::InputStream& stream, Info& info) {
  close();
  m_channel_count = 0;
  m_sample_count = 0;
  m_position = 0;
  m_decoder_done = false;

  // A stream shorter than its encoder's tag says was cut short (a failed
  // copy, say): refused rather than played up to where it breaks off.
  FrameHeader first;
  const sf::Int64 first_offset = findFirstFrame(stream, first);
  const sf::Int64 tagged = first_offset < 0 ? -1 : taggedByteCount(stream, first_offset, first);
  if (tagged > stream.getSize()) {
    LogManager::getInstance().writeLog(
        "Mp3SoundFileReader::open(): the stream ends after %lld of the %lld bytes "
        "its Xing tag announces.\n",
        static_cast<long long>(stream.getSize()), static_cast<long long>(tagged));
    return false;
  }

  int error = MPG123_OK;
  m_p_handle = mpg123_new(nullptr, &error);
  if (m_p_handle == nullptr) return false;
  mpg123_param(m_p_handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);

  // 16-bit samples at whatever rate and channel count the stream has.
  mpg123_format_none(m_p_handle);
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; i++)
    mpg123_format(m_p_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (stream.seek(0) != 0 ||
      mpg123_replace_reader_handle(m_p_handle, readCallback, seekCallback, nullptr) != MPG123_OK ||
      mpg123_open_handle(m_p_handle, &stream) != MPG123_OK ||
      mpg123_getformat(m_p_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
      (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) {
    close();
    return false;
  }
  // No format changes mid-stream: SFML plays one rate and channel count.
  mpg123_format_none(m_p_handle);
  mpg123_format(m_p_handle, rate, channels, MPG123_ENC_SIGNED_16);

  // A scan makes the length exact (and seeking accurate) for streams without
  // an encoder's length tag.
  mpg123_scan(m_p_handle);
  const off_t frames = mpg123_length(m_p_handle);
  if (frames < 0 || mpg123_seek(m_p_handle, 0, SEEK_SET) < 0) {
    close();
    return false;
  }

  m_channel_count = static_cast<unsigned int>(channels);
  m_sample_count = static_cast<sf::Uint64>(frames) * m_channel_count;
  info.channelCount = m_channel_count;
  info.sampleRate = static_cast<unsigned int>(rate);
  info.sampleCount = m_sample_count;
  return true;
}

void Mp3SoundFileReader::seek(sf::Uint64 sample_offset) {
  if (m_p_handle == nullptr) return;
  const sf::Uint64 frame = std::min(sample_offset, m_sample_count) / m_channel_count;
  // In a damaged stream libmpg123 may land before or after the frame asked
  // for. The position is the one asked for all the same: what is read from
  // here on is cut or padded to the announced length, as SFML counts on.
  const off_t reached = mpg123_seek(m_p_handle, static_cast<off_t>(frame), SEEK_SET);
  m_position = frame * m_channel_count;
  m_decoder_done = reached < 0;
}

sf::Uint64 Mp3SoundFileReader::read(sf::Int16* samples, sf::Uint64 max_count) {
  if (m_p_handle == nullptr) return 0;
  // Exactly the announced number of samples comes out: SFML's sound buffer
  // insists on it, so a decoder that stops early is padded with silence and
  // one that runs on is cut.
  const sf::Uint64 wanted =
      std::min(max_count, m_sample_count - std::min(m_position, m_sample_count));
  sf::Uint64 count = 0;
  while (count < wanted && !m_decoder_done) {
    size_t done = 0;
    const int result = mpg123_read(m_p_handle, samples + count,
                                   static_cast<size_t>(wanted - count) * sizeof(sf::Int16), &done);
    count += done / sizeof(sf::Int16);
    if (result == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0;
      int encoding = 0;
      mpg123_getformat(m_p_handle, &rate, &channels, &encoding);
      if (static_cast<unsigned int>(channels) != m_channel_count) m_decoder_done = true;
    } else if (result != MPG123_OK) {
      m_decoder_done = true;  // the end of the stream, or damage past repair
    } else if (done == 0) {
      m_decoder_done = true;
    }
  }
  if (count < wanted) {
    std::fill(samples + count, samples + wanted, sf::Int16(0));
    count = wanted;
  }
  m_position += count;
  return count;
}

void registerMp3Reader() {
  static const bool registered = [] {
    mpg123_init();
    sf::SoundFileFactory::registerReader<Mp3SoundFileReader>();
    return true;
  }();
  (void)registered;
}

}  // namespace lk

#else

namespace lk {

void registerMp3Reader() {}

}  // namespace lk

#endif
