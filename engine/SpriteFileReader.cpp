#include "SpriteFileReader.h"

#include <cctype>
#include <climits>
#include <utility>

#include "LogManager.h"

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

SpriteFileReader::SpriteFileReader(std::string filename)
    : m_filename(std::move(filename)),
      m_p_file(nullptr),
      m_good(true),
      m_line_number(0),
      m_odd_rows(0),
      m_first_odd_line(0),
      m_first_odd_length(0),
      m_missing_rows(0) {}

SpriteFileReader::~SpriteFileReader() {
  if (m_p_file != nullptr) std::fclose(m_p_file);  // a failure to close changes nothing
}

// The rules of a text stream read by lines: a read while the stream is good
// replaces the buffer with the next line; a read that meets the end of the
// file leaves the stream not good; a read while the stream is not good leaves
// the buffer as it was. TOO_LONG past MAX_SPRITE_LINE characters; READ_ERROR
// when the file could not be read (a folder, an I/O error).
SpriteFileReader::LineResult SpriteFileReader::readLine() {
  if (!m_good) return LINE;
  m_line.clear();
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
    if (m_line.size() >= static_cast<std::size_t>(MAX_SPRITE_LINE)) {
      m_good = false;
      return TOO_LONG;
    }
    m_line.push_back(static_cast<char>(c));
  }
  // A line is in the file when it holds a character or its line feed.
  if (ended_by_line_feed || !m_line.empty()) m_line_number++;
  // CR LF reads as LF.
  if (ended_by_line_feed && !m_line.empty() && m_line.back() == '\r') m_line.pop_back();
  return LINE;
}

Sprite* SpriteFileReader::fail(Sprite* p_sprite) {
  delete p_sprite;
  return nullptr;
}

Sprite* SpriteFileReader::unreadable(LineResult result, Sprite* p_sprite) {
  LogManager& log = LogManager::getInstance();
  if (result == TOO_LONG)
    log.writeLog("ResourceManager::loadSprite(): %s has a line longer than %d characters.\n",
                 m_filename.c_str(), MAX_SPRITE_LINE);
  else
    log.writeLog("ResourceManager::loadSprite(): Sprite file %s could not be read.\n",
                 m_filename.c_str());
  return fail(p_sprite);
}

bool SpriteFileReader::sizesAllowed(int frames, int width, int height) {
  LogManager& log = LogManager::getInstance();
  const char* name = m_filename.c_str();
  if (frames < 0 || width < 0 || height < 0) {
    log.writeLog(
        "ResourceManager::loadSprite(): %s has a negative frame count, width or height (%d, %d, "
        "%d).\n",
        name, frames, width, height);
    return false;
  }
  if (frames > MAX_SPRITE_FRAMES || !withinCellBound(frames, width, height)) {
    log.writeLog(
        "ResourceManager::loadSprite(): %s is too large: %d frames of %d x %d characters "
        "(at most %d frames and %lld characters).\n",
        name, frames, width, height, MAX_SPRITE_FRAMES, MAX_SPRITE_CELLS);
    return false;
  }
  if (static_cast<long long>(width) * height > MAX_FRAME_CELLS) {
    log.writeLog(
        "ResourceManager::loadSprite(): %s has frames of %d x %d characters (at most %lld a "
        "frame).\n",
        name, width, height, MAX_FRAME_CELLS);
    return false;
  }
  if (static_cast<long long>(frames) * height > MAX_SPRITE_ROWS) {
    log.writeLog(
        "ResourceManager::loadSprite(): %s has too many rows: %d frames of %d rows (at most %lld "
        "rows).\n",
        name, frames, height, MAX_SPRITE_ROWS);
    return false;
  }
  return true;
}

// Rows are kept as they are, but a row of another length shifts every cell
// after it, which is rarely what the artist meant: counted here, said once.
void SpriteFileReader::checkRowWidth(int width) {
  if (static_cast<long long>(m_line.size()) == width) return;
  if (m_odd_rows == 0) {
    m_first_odd_line = m_line_number;
    m_first_odd_length = static_cast<int>(m_line.size());
  }
  m_odd_rows++;
}

void SpriteFileReader::reportRowWidths(int width) const {
  LogManager& log = LogManager::getInstance();
  const char* name = m_filename.c_str();
  if (m_odd_rows > 0) {
    log.writeLog(
        "ResourceManager::loadSprite(): %s line %d has %d characters; the sprite is %d wide.\n",
        name, m_first_odd_line, m_first_odd_length, width);
    if (m_odd_rows > 1)
      log.writeLog(
          "ResourceManager::loadSprite(): %s has %d rows in all that are not %d characters wide.\n",
          name, m_odd_rows, width);
  }
  if (m_missing_rows > 0)
    log.writeLog(
        "ResourceManager::loadSprite(): %s ends before its last frame is complete (missing rows: "
        "%d).\n",
        name, m_missing_rows);
}

Sprite* SpriteFileReader::read() {
  LogManager& log = LogManager::getInstance();
  m_p_file = std::fopen(m_filename.c_str(), "r");
  if (m_p_file == nullptr) {
    log.writeLog("ResourceManager::loadSprite(): Sprite file %s could not be opened.\n",
                 m_filename.c_str());
    return nullptr;
  }

  // Header.
  int frames = 0;
  int width = 0;
  int height = 0;
  int slowdown = 1;
  Color color = WHITE;
  for (int line_number = 1; line_number <= 5 && m_good; line_number++) {
    const LineResult result = readLine();
    if (result != LINE) return unreadable(result, nullptr);
    switch (line_number) {
      case 1: frames = readInt(m_line); break;
      case 2: width = readInt(m_line); break;
      case 3: height = readInt(m_line); break;
      case 4: slowdown = readInt(m_line); break;
      default:
        if (!colorFromWord(m_line, color)) {
          log.writeLog("ResourceManager::loadSprite(): no valid color was provided.\n");
          log.writeLog("ResourceManager::loadSprite(): Sprite file %s has no valid color.\n",
                       m_filename.c_str());
          return fail(nullptr);
        }
    }
    std::printf("%s\n", m_line.c_str());
  }
  if (!sizesAllowed(frames, width, height)) return fail(nullptr);

  Sprite* p_sprite = new Sprite(frames);
  p_sprite->setWidth(width);
  p_sprite->setHeight(height);
  p_sprite->setSlowdown(slowdown);
  p_sprite->setColor(color);

  // Frames. Missing rows repeat the last line read (empty after a final line
  // feed), as the buffer is kept once the file has run out.
  long long text_total = 0;
  for (int f = 0; f < frames; f++) {
    std::string text;
    for (int row = 0; row < height; row++) {
      const int line_before = m_line_number;
      const LineResult result = readLine();
      if (result != LINE) return unreadable(result, p_sprite);
      if (m_line_number == line_before)
        m_missing_rows++;
      else
        checkRowWidth(width);
      text_total += static_cast<long long>(m_line.size());
      if (text_total > MAX_SPRITE_TEXT) {
        log.writeLog(
            "ResourceManager::loadSprite(): the frames of %s hold more than %lld characters.\n",
            m_filename.c_str(), MAX_SPRITE_TEXT);
        return fail(p_sprite);
      }
      text += m_line;
      std::printf("%s\n", m_line.c_str());
    }
    p_sprite->insertFrame(Frame(width, height, std::move(text)));
  }
  reportRowWidths(width);
  return p_sprite;
}

}  // namespace lk
