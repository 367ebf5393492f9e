// A look at a sound file's header before SFML loads it. SFML believes what
// the header announces: it sizes a sound's sample buffer, and music's
// one-second stream buffer, from it before reading a single sample, so a
// damaged or hostile header could ask for gigabytes.
#ifndef LK_SOUND_FILE_CHECK_H
#define LK_SOUND_FILE_CHECK_H

#include <string>

namespace lk {

// Sound effects are decoded whole: 2^24 samples (32 MiB) is more than three
// minutes of 44.1 kHz stereo.
const unsigned long long MAX_SOUND_SAMPLES = 1ULL << 24;
const unsigned int MAX_SAMPLE_RATE = 192000;
const unsigned int MAX_CHANNELS = 8;

// -1 when no reader takes the file (SFML's error stream says why), or, after
// a log line from `caller` (as in "Sound::loadSound") that names the file,
// when the file announces a rate or channel count out of bounds or more than
// `max_samples` samples (0: any number); 0 when the file can be loaded.
// A file that ends before the samples it announces (an interrupted copy) is
// refused too when `p_held` is null; otherwise it is taken, and *p_held is
// set to the samples it does hold (a whole number of frames), as it is for
// a whole file.
int checkSoundFile(const std::string& filename, const char* caller, unsigned long long max_samples,
                   unsigned long long* p_held = nullptr);

}  // namespace lk

#endif
