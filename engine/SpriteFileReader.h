// Reads one sprite file into a new sprite: five header lines (frames, width,
// height, slowdown, colour word), then the rows of every frame in turn.
#ifndef LK_SPRITE_FILE_READER_H
#define LK_SPRITE_FILE_READER_H

#include <cstdio>
#include <string>

#include "Sprite.h"

namespace lk {

/// Reads one sprite file into a new, unlabelled sprite, echoing every line
/// it takes to standard output. Its log lines carry the name of
/// ResourceManager::loadSprite(), the operation a game calls.
class SpriteFileReader {
 public:
  /// A reader for the named file; nothing is opened until read().
  explicit SpriteFileReader(std::string filename);
  ~SpriteFileReader();
  SpriteFileReader(const SpriteFileReader&) = delete;
  SpriteFileReader& operator=(const SpriteFileReader&) = delete;

  /// Reads the whole file; the new sprite (the caller owns it), or null with
  /// a log line when the file cannot be opened or read, has no valid colour
  /// word or breaks the size bounds.
  Sprite* read();

 private:
  enum LineResult { LINE, TOO_LONG, READ_ERROR };

  LineResult readLine();
  Sprite* fail(Sprite* p_sprite);
  Sprite* unreadable(LineResult result, Sprite* p_sprite);
  bool sizesAllowed(int frames, int width, int height);
  void checkRowWidth(int width);
  void reportRowWidths(int width) const;

  std::string m_filename;
  std::FILE* m_p_file;
  bool m_good;
  std::string m_line;
  int m_line_number;
  int m_odd_rows;
  int m_first_odd_line;
  int m_first_odd_length;
  int m_missing_rows;
};

}  // namespace lk

#endif
