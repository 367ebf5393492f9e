#include "ResourceManager.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <utility>

#include "LogManager.h"
#include "SoundClip.h"

namespace lk {

namespace {

// Sprite files are untrusted input. These bounds keep a hostile file from
// exhausting memory or time; the game's own sprites are far below them.
const int MAX_SPRITE_FRAMES = 10000;
// frames x width x height, each counted as at least 1, so the bound also
// limits the number of rows read and the size of every frame.
const long long MAX_SPRITE_CELLS = 1000000;
// Rows read, frames x height: each costs time even when the file has run
// out (a missing row repeats the last line), so they are bounded on their own.
const long long MAX_SPRITE_ROWS = 100000;
// One frame, width x height: the game draws a sprite's frame every step,
// and a frame this large already covers the whole world (240 x 36 cells).
const long long MAX_FRAME_CELLS = 10000;
// One line of the file, header or row.
const int MAX_SPRITE_LINE = 1000000;
// All frame texts together: rows longer than the width, or a last line
// repeated for missing rows, may exceed the cell count, but what lies past a
// frame's cells is never drawn, so no more than the cell bound is kept.
const long long MAX_SPRITE_TEXT = 1000000;

// Reads a sprite file line by line with the rules of a text stream read by
// lines: a read while the stream is good replaces the buffer with the next
// line; a read that meets the end of the file leaves the stream not good; a
// read while the stream is not good leaves the buffer as it was.
class LineReader {
 public:
  enum Result { LINE, TOO_LONG, READ_ERROR };

  explicit LineReader(std::FILE* p_file) : m_p_file(p_file), m_good(true) {}

  // TOO_LONG past MAX_SPRITE_LINE characters; READ_ERROR when the file could
  // not be read (a folder, an I/O error), which is not the end of a file.
  Result read(std::string& buffer) {
    if (!m_good) return LINE;
    buffer.clear();
    bool ended_by_line_feed = false;
    for (;;) {
      const int c = std::getc(m_p_file);
      if (c == EOF) {
        m_good = false;
        if (std::ferror(m_p_file)) return READ_ERROR;
        break;
      }
      if (c == '\n') {
        ended_by_line_feed = true;
        break;
      }
      if (buffer.size() >= static_cast<std::size_t>(MAX_SPRITE_LINE)) {
        m_good = false;
        return TOO_LONG;
      }
      buffer.push_back(static_cast<char>(c));
    }
    // CR LF reads as LF.
    if (ended_by_line_feed && !buffer.empty() && buffer.back() == '\r') buffer.pop_back();
    return LINE;
  }

  bool good() const { return m_good; }

 private:
  std::FILE* m_p_file;
  bool m_good;
};

// The atoi rule: leading white space, an optional sign, then digits up to the
// first other character; no number reads 0. Values beyond int saturate
// instead of overflowing.
int readInt(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) i++;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
    negative = line[i] == '-';
    i++;
  }
  long long value = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; i++) {
    value = value * 10 + (line[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return static_cast<int>(value);
}

bool colorFromWord(const std::string& word, Color& color) {
  static const struct {
    const char* word;
    Color color;
  } kColors[] = {{"black", BLACK}, {"red", RED},         {"green", GREEN}, {"yellow", YELLOW},
                 {"blue", BLUE},   {"magenta", MAGENTA}, {"cyan", CYAN},   {"white", WHITE}};
  for (const auto& entry : kColors) {
    if (word == entry.word) {
      color = entry.color;
      return true;
    }
  }
  return false;
}

long long atLeastOne(int value) { return value < 1 ? 1 : value; }

// frames x width x height within MAX_SPRITE_CELLS, each counted as at least
// 1; multiplied step by step so that no product can overflow.
bool withinCellBound(int frames, int width, int height) {
  const long long area = atLeastOne(width) * atLeastOne(height);
  return area <= MAX_SPRITE_CELLS && area * atLeastOne(frames) <= MAX_SPRITE_CELLS;
}

}  // namespace

ResourceManager& ResourceManager::getInstance() {
  static ResourceManager instance;
  return instance;
}

ResourceManager::ResourceManager() : m_p_sprite(), m_sprite_count(0), m_sound_count(0), m_music_count(0) {
  setType("ResourceManager");
}

ResourceManager::~ResourceManager() {
  // Sprites still held at exit (shutDown never ran) are freed here too, so
  // that nothing leaks.
  for (int i = 0; i < m_sprite_count; i++) {
    delete m_p_sprite[i];
    m_p_sprite[i] = nullptr;
  }
}

int ResourceManager::startUp() {
  m_sprite_count = 0;
  m_sound_count = 0;
  m_music_count = 0;
  // Without an audio device every audio call fails and complains, again and
  // again from a music's streaming thread, and asks the system for a device
  // once more: ask once here, and keep audio off for the run.
  const bool audible = SoundClip::deviceOpens();
  if (!audible)
    LogManager::getInstance().writeLog(
        "ResourceManager::startUp(): No audio device could be opened. The game plays without sound.\n");
  for (Sound& sound : m_sound) sound.setAudible(audible);
  for (Music& music : m_music) music.setAudible(audible);
  m_is_started = true;
  return 0;
}

void ResourceManager::shutDown() {
  for (int i = 0; i < m_sprite_count; i++) {
    delete m_p_sprite[i];
    m_p_sprite[i] = nullptr;
  }
  // Nothing can be found after this, so nothing may go on playing: a music
  // stream left running would outlive the engine on its own thread.
  for (int i = 0; i < m_sound_count; i++) m_sound[i].stop();
  for (int i = 0; i < m_music_count; i++) m_music[i].stop();
  m_sprite_count = 0;
  m_sound_count = 0;
  m_music_count = 0;
  m_is_started = false;
}

int ResourceManager::loadSprite(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (m_sprite_count == MAX_SPRITES) {
    log.writeLog("ResourceManager::loadSprite(): sprite array is full. %s could not be loaded.\n",
                 filename.c_str());
    return -1;
  }
  std::FILE* p_file = std::fopen(filename.c_str(), "r");
  if (p_file == nullptr) {
    log.writeLog("ResourceManager::loadSprite(): Sprite file %s could not be opened.\n", filename.c_str());
    return -1;
  }
  LineReader reader(p_file);
  std::string line;
  auto fail = [&](Sprite* p_sprite) {
    delete p_sprite;
    std::fclose(p_file);
    return -1;
  };
  auto unreadable = [&](LineReader::Result result, Sprite* p_sprite) {
    if (result == LineReader::TOO_LONG)
      log.writeLog("ResourceManager::loadSprite(): %s has a line longer than %d characters.\n", filename.c_str(),
                   MAX_SPRITE_LINE);
    else
      log.writeLog("ResourceManager::loadSprite(): Sprite file %s could not be read.\n", filename.c_str());
    return fail(p_sprite);
  };

  // Header.
  int frames = 0;
  int width = 0;
  int height = 0;
  int slowdown = 1;
  Color color = WHITE;
  for (int line_number = 1; line_number <= 5 && reader.good(); line_number++) {
    const LineReader::Result result = reader.read(line);
    if (result != LineReader::LINE) return unreadable(result, nullptr);
    switch (line_number) {
      case 1: frames = readInt(line); break;
      case 2: width = readInt(line); break;
      case 3: height = readInt(line); break;
      case 4: slowdown = readInt(line); break;
      default:
        if (!colorFromWord(line, color)) {
          log.writeLog("ResourceManager::loadSprite(): no valid color was provided.\n");
          log.writeLog("ResourceManager::loadSprite(): Sprite file %s has no valid color.\n", filename.c_str());
          return fail(nullptr);
        }
    }
    std::printf("%s\n", line.c_str());
  }

  if (frames < 0 || width < 0 || height < 0) {
    log.writeLog("ResourceManager::loadSprite(): %s has a negative frame count, width or height (%d, %d, %d).\n",
                 filename.c_str(), frames, width, height);
    return fail(nullptr);
  }
  if (frames > MAX_SPRITE_FRAMES || !withinCellBound(frames, width, height)) {
    log.writeLog(
        "ResourceManager::loadSprite(): %s is too large: %d frames of %d x %d characters "
        "(at most %d frames and %lld characters).\n",
        filename.c_str(), frames, width, height, MAX_SPRITE_FRAMES, MAX_SPRITE_CELLS);
    return fail(nullptr);
  }
  if (static_cast<long long>(width) * height > MAX_FRAME_CELLS) {
    log.writeLog("ResourceManager::loadSprite(): %s has frames of %d x %d characters (at most %lld a frame).\n",
                 filename.c_str(), width, height, MAX_FRAME_CELLS);
    return fail(nullptr);
  }
  if (static_cast<long long>(frames) * height > MAX_SPRITE_ROWS) {
    log.writeLog("ResourceManager::loadSprite(): %s has too many rows: %d frames of %d rows (at most %lld rows).\n",
                 filename.c_str(), frames, height, MAX_SPRITE_ROWS);
    return fail(nullptr);
  }

  Sprite* p_sprite = new Sprite(frames);
  p_sprite->setWidth(width);
  p_sprite->setHeight(height);
  p_sprite->setSlowdown(slowdown);
  p_sprite->setColor(color);

  // Frames. Missing rows repeat the last line read (empty after a final line
  // feed), as the reader keeps its buffer once the file has run out.
  long long text_total = 0;
  for (int f = 0; f < frames; f++) {
    std::string text;
    for (int row = 0; row < height; row++) {
      const LineReader::Result result = reader.read(line);
      if (result != LineReader::LINE) return unreadable(result, p_sprite);
      text_total += static_cast<long long>(line.size());
      if (text_total > MAX_SPRITE_TEXT) {
        log.writeLog("ResourceManager::loadSprite(): the frames of %s hold more than %lld characters.\n",
                     filename.c_str(), MAX_SPRITE_TEXT);
        return fail(p_sprite);
      }
      text += line;
      std::printf("%s\n", line.c_str());
    }
    p_sprite->insertFrame(Frame(width, height, std::move(text)));
  }

  std::fclose(p_file);  // a failure to close changes nothing
  p_sprite->setLabel(std::move(label));
  m_p_sprite[m_sprite_count] = p_sprite;
  m_sprite_count++;
  log.writeLog("ResourceManager::loadSprite(): Sprite successfully loaded from %s.\n", filename.c_str());
  return 0;
}

Sprite* ResourceManager::getSprite(std::string label) const {
  for (int i = 0; i < m_sprite_count; i++)
    if (m_p_sprite[i] != nullptr && m_p_sprite[i]->getLabel() == label) return m_p_sprite[i];
  return nullptr;
}

int ResourceManager::loadSound(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (m_sound_count == MAX_SOUNDS) {
    log.writeLog("ResourceManager::loadSound(): sound array is full. %s could not be loaded.\n", filename.c_str());
    return -1;
  }
  if (m_sound[m_sound_count].loadSound(filename) == -1) {
    log.writeLog("ResourceManager::loadSound(): Unable to load sound from file %s.\n", filename.c_str());
    return -1;
  }
  m_sound[m_sound_count].setLabel(std::move(label));
  m_sound_count++;
  return 0;
}

Sound* ResourceManager::getSound(std::string label) {
  for (int i = 0; i < m_sound_count; i++)
    if (m_sound[i].getLabel() == label) return &m_sound[i];
  return nullptr;
}

int ResourceManager::loadMusic(std::string filename, std::string label) {
  LogManager& log = LogManager::getInstance();
  if (m_music_count == MAX_MUSIC) {
    log.writeLog("ResourceManager::loadMusic(): music array is full. %s could not be loaded.\n", filename.c_str());
    return -1;
  }
  if (label.empty()) {
    log.writeLog("ResourceManager::loadMusic(): music could be loaded with label of \"\".\n");
    return -1;
  }
  if (m_music[m_music_count].loadMusic(filename) == -1) {
    log.writeLog("ResourceManager::loadMusic(): Unable to associate music object with file %s.\n",
                 filename.c_str());
    return -1;
  }
  m_music[m_music_count].setLabel(std::move(label));
  m_music_count++;
  return 0;
}

Music* ResourceManager::getMusic(std::string label) {
  for (int i = 0; i < m_music_count; i++)
    if (m_music[i].getLabel() == label) return &m_music[i];
  return nullptr;
}

void ResourceManager::pauseAudio() {
  for (int i = 0; i < m_sound_count; i++) m_sound[i].pause();
  for (int i = 0; i < m_music_count; i++) m_music[i].pause();
}

void ResourceManager::resumeAudio() {
  for (int i = 0; i < m_sound_count; i++) m_sound[i].resume();
  for (int i = 0; i < m_music_count; i++) m_music[i].resume();
}

}  // namespace lk
