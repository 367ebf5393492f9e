#include "ScreenReader.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace lktest {
namespace e2e {

namespace {

// The reference rows are drawn this many whole pixels right of and below
// their screen place, so that the rectangles of row 0 and column 0, which
// start above and left of the window, are not cut; whole pixels keep the
// sub-pixel placement, and so the rasterisation, the same.
const int MARGIN = 8;
// The cell grid repeats its sub-pixel placement every 3 rows (64 pixels).
const int ROW_PERIOD = 3;
const int ROW_PERIOD_PIXELS = 64;
const unsigned int REFERENCE_WIDTH = 1024 + 2 * MARGIN;
const unsigned int REFERENCE_HEIGHT = ROW_PERIOD_PIXELS + 2 * MARGIN;
const unsigned int CHARACTER_SIZE = 15;
// The same character drawn the same way differs by nothing, different
// characters by 15 or more on average; a glyph of the row below that
// reaches into the cell adds a few.
const double SAME_CHARACTER = 12.0;
// Reading takes the closest character, as long as it is this close.
const double READABLE_DIFFERENCE = 20.0;

const char* const READABLE =
    " -|:+#@.,!?()[]<>/\\_=*'\"~^`;"
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

sf::Uint8 brightness(const sf::Color& c) { return std::max(c.r, std::max(c.g, c.b)); }

// Pixel range [first, last) whose centres fall in [from, to).
void pixelSpan(float from, float to, int& first, int& last) {
  first = static_cast<int>(std::ceil(from - 0.5f));
  last = static_cast<int>(std::ceil(to - 0.5f));
}

}  // namespace

bool SpriteFile::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.size() < 5) return false;
  frames = std::atoi(lines[0].c_str());
  width = std::atoi(lines[1].c_str());
  height = std::atoi(lines[2].c_str());
  slowdown = std::atoi(lines[3].c_str());
  color = lines[4];
  rows.assign(lines.begin() + 5, lines.end());
  return frames > 0 && width > 0 && height > 0;
}

char SpriteFile::at(int frame, int x, int y) const {
  // Rows are joined, so a cell is found by its index in the frame's text.
  std::string text;
  for (int r = 0; r < height; ++r) {
    const std::size_t i = static_cast<std::size_t>(frame * height + r);
    if (i < rows.size()) text += rows[i];
  }
  const std::size_t index = static_cast<std::size_t>(y * width + x);
  return index < text.size() ? text[index] : ' ';
}

sf::Color SpriteFile::sfColor() const {
  if (color == "black") return sf::Color::Black;
  if (color == "red") return sf::Color::Red;
  if (color == "green") return sf::Color::Green;
  if (color == "yellow") return sf::Color::Yellow;
  if (color == "blue") return sf::Color::Blue;
  if (color == "magenta") return sf::Color::Magenta;
  if (color == "cyan") return sf::Color::Cyan;
  return sf::Color::White;
}

ScreenReader::ScreenReader(const std::string& font_file) {
  m_ok = m_font.loadFromFile(font_file) && m_target.create(REFERENCE_WIDTH, REFERENCE_HEIGHT);
  // The GL driver that the render texture loaded leaks a little and would be
  // unloaded with the last context, before the leak check, leaving leaks of
  // an unknown module that no suppression names: keep it loaded.
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const std::string path = info->dlpi_name != nullptr ? info->dlpi_name : "";
        if (path.find("/dri/") != std::string::npos) dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

sf::IntRect ScreenReader::cellRect(int col, int row) const {
  const float px = CELL_WIDTH * static_cast<float>(col);
  const float py = CELL_HEIGHT * static_cast<float>(row);
  int x0, x1, y0, y1;
  pixelSpan(px - CELL_WIDTH / 10, px - CELL_WIDTH / 10 + CELL_WIDTH, x0, x1);
  pixelSpan(py - CELL_HEIGHT / 5, py - CELL_HEIGHT / 5 + CELL_HEIGHT, y0, y1);
  return sf::IntRect(x0, y0, x1 - x0, y1 - y0);
}

const std::vector<sf::Uint8>& ScreenReader::reference(char c) {
  auto found = m_references.find(c);
  if (found != m_references.end()) return found->second;

  m_target.clear(sf::Color::Black);
  sf::RectangleShape background(sf::Vector2f(CELL_WIDTH, CELL_HEIGHT));
  background.setFillColor(sf::Color::Black);
  sf::Text text(sf::String(std::string(1, c)), m_font, CHARACTER_SIZE);
  text.setStyle(sf::Text::Bold);
  text.setFillColor(sf::Color::White);
  for (int row = 0; row < ROW_PERIOD; ++row) {
    for (int col = 0; col < SCREEN_COLUMNS; ++col) {
      const float px = CELL_WIDTH * static_cast<float>(col) + MARGIN;
      const float py = CELL_HEIGHT * static_cast<float>(row) + MARGIN;
      background.setPosition(px - CELL_WIDTH / 10, py - CELL_HEIGHT / 5);
      m_target.draw(background);
      text.setPosition(px, py);
      m_target.draw(text);
    }
  }
  m_target.display();
  const sf::Image image = m_target.getTexture().copyToImage();
  std::vector<sf::Uint8> pixels(std::size_t(REFERENCE_WIDTH) * REFERENCE_HEIGHT);
  for (unsigned int y = 0; y < REFERENCE_HEIGHT; ++y)
    for (unsigned int x = 0; x < REFERENCE_WIDTH; ++x)
      pixels[std::size_t(y) * REFERENCE_WIDTH + x] = brightness(image.getPixel(x, y));
  return m_references.emplace(c, std::move(pixels)).first->second;
}

double ScreenReader::difference(const sf::Image& shot, int col, int row, char c) {
  const std::vector<sf::Uint8>& ref = reference(c);
  const sf::IntRect rect = cellRect(col, row);
  const int shift = (row / ROW_PERIOD) * ROW_PERIOD_PIXELS;
  const int width = static_cast<int>(shot.getSize().x);
  const int height = static_cast<int>(shot.getSize().y);
  long total = 0;
  long count = 0;
  for (int y = rect.top; y < rect.top + rect.height; ++y) {
    if (y < 0 || y >= height) continue;
    for (int x = rect.left; x < rect.left + rect.width; ++x) {
      if (x < 0 || x >= width) continue;
      const int rx = x + MARGIN;
      const int ry = y - shift + MARGIN;
      const int expected = ref[std::size_t(ry) * REFERENCE_WIDTH + std::size_t(rx)];
      const int seen = brightness(shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)));
      total += std::abs(expected - seen);
      ++count;
    }
  }
  return count == 0 ? 255.0 : static_cast<double>(total) / static_cast<double>(count);
}

char ScreenReader::readCell(const sf::Image& shot, int col, int row, char likely) {
  // Pictures drawn the same way are identical: an exact match ends the search.
  const double EXACT = 0.5;
  if (likely != 0 && difference(shot, col, row, likely) < EXACT) return likely;
  char best = '?';
  double best_difference = READABLE_DIFFERENCE;
  for (const char* p = READABLE; *p != '\0'; ++p) {
    const double d = difference(shot, col, row, *p);
    if (d < best_difference) {
      best_difference = d;
      best = *p;
      if (d < EXACT) break;
    }
  }
  return best;
}

std::string ScreenReader::readText(const sf::Image& shot, int row, int first_col, int last_col,
                                   const std::string& likely) {
  std::string text;
  for (int col = first_col; col <= last_col; ++col) {
    const std::size_t i = static_cast<std::size_t>(col - first_col);
    text += readCell(shot, col, row, i < likely.size() ? likely[i] : 0);
  }
  return text;
}

bool ScreenReader::cellShows(const sf::Image& shot, int col, int row, char c) {
  return difference(shot, col, row, c) < SAME_CHARACTER;
}

sf::Color ScreenReader::litColor(const sf::Image& shot, int first_col, int last_col, int row) {
  long r = 0, g = 0, b = 0, count = 0;
  for (int col = first_col; col <= last_col; ++col) {
    const float px = CELL_WIDTH * static_cast<float>(col);
    const float py = CELL_HEIGHT * static_cast<float>(row);
    int x0, x1, y0, y1;
    pixelSpan(px - CELL_WIDTH / 10, px + CELL_WIDTH * 0.9f, x0, x1);
    pixelSpan(py - CELL_HEIGHT / 5, py + CELL_HEIGHT * 0.8f, y0, y1);
    for (int y = std::max(y0, 0); y < std::min(y1, static_cast<int>(shot.getSize().y)); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, static_cast<int>(shot.getSize().x)); ++x) {
        const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
        if (brightness(c) < 160) continue;
        r += c.r;
        g += c.g;
        b += c.b;
        ++count;
      }
  }
  if (count == 0) return sf::Color::Black;
  return sf::Color(static_cast<sf::Uint8>(r / count), static_cast<sf::Uint8>(g / count),
                   static_cast<sf::Uint8>(b / count));
}

std::string ScreenReader::colorName(sf::Color c) {
  const int top = brightness(c);
  if (top < 40) return "black";
  // Each channel is either on (near the brightest) or off.
  const bool r = c.r * 2 > top, g = c.g * 2 > top, b = c.b * 2 > top;
  static const char* const names[8] = {"black", "blue", "green", "cyan", "red", "magenta", "yellow", "white"};
  return names[(r ? 4 : 0) + (g ? 2 : 0) + (b ? 1 : 0)];
}

double ScreenReader::spriteFrameMatch(const sf::Image& shot, const SpriteFile& sprite, int frame, int col,
                                      int row, char transparent) {
  int cells = 0;
  int matching = 0;
  for (int y = 0; y < sprite.height; ++y) {
    for (int x = 0; x < sprite.width; ++x) {
      const char c = sprite.at(frame, x, y);
      if (c == ' ' || (transparent != 0 && c == transparent)) continue;
      const int screen_col = col + x - sprite.width / 2;
      const int screen_row = row + y - sprite.height / 2;
      if (screen_col < 0 || screen_col >= SCREEN_COLUMNS || screen_row < 0 || screen_row >= SCREEN_ROWS)
        continue;
      ++cells;
      if (cellShows(shot, screen_col, screen_row, c)) ++matching;
    }
  }
  return cells == 0 ? 0.0 : static_cast<double>(matching) / cells;
}

double ScreenReader::spriteMatch(const sf::Image& shot, const SpriteFile& sprite, int col, int row,
                                 char transparent) {
  double best = 0;
  for (int frame = 0; frame < sprite.frames; ++frame)
    best = std::max(best, spriteFrameMatch(shot, sprite, frame, col, row, transparent));
  return best;
}

ColorBlob findColor(const sf::Image& shot, sf::Color color, sf::IntRect area, int tolerance) {
  ColorBlob blob;
  double sx = 0, sy = 0;
  const int width = static_cast<int>(shot.getSize().x);
  const int height = static_cast<int>(shot.getSize().y);
  for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, height); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, width); ++x) {
      const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
      if (std::abs(c.r - color.r) > tolerance || std::abs(c.g - color.g) > tolerance ||
          std::abs(c.b - color.b) > tolerance)
        continue;
      ++blob.count;
      sx += x;
      sy += y;
    }
  if (blob.count > 0) {
    blob.x = static_cast<float>(sx / blob.count);
    blob.y = static_cast<float>(sy / blob.count);
  }
  return blob;
}

}  // namespace e2e
}  // namespace lktest
