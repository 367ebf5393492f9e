#include "ScreenReader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "WindowProbe.h"

namespace lktest {
namespace e2e {

namespace {

// References are drawn this many whole pixels right of and below their
// screen place, so the cells of row 0 and column 0 are not cut; the cell
// grid repeats its sub-pixel placement every 3 rows (64 pixels).
const int MARGIN = 8;
const int ROW_PERIOD = 3;
const int ROW_PERIOD_PIXELS = 64;
const unsigned int REFERENCE_WIDTH = 1024 + 2 * MARGIN;
const unsigned int REFERENCE_HEIGHT = ROW_PERIOD_PIXELS + 2 * MARGIN;
// The same character differs by nothing, different ones by 15 or more; a
// glyph of the row below reaching into the cell adds a few.
const double SAME_CHARACTER = 12.0;

sf::Uint8 brightness(const sf::Color& c) { return std::max(c.r, std::max(c.g, c.b)); }

std::string colorName(sf::Color c) {
  const int top = brightness(c);
  if (top < 40) return "black";
  // Each channel is either on (near the brightest) or off.
  static const char* const names[8] = {"black", "blue", "green", "cyan", "red", "magenta", "yellow", "white"};
  return names[(c.r * 2 > top ? 4 : 0) + (c.g * 2 > top ? 2 : 0) + (c.b * 2 > top ? 1 : 0)];
}

// Calls `visit` for every pixel of the area that lies on the image.
void forEachPixel(const sf::Image& shot, sf::IntRect area, const std::function<void(int, int, sf::Color)>& visit) {
  const int width = static_cast<int>(shot.getSize().x), height = static_cast<int>(shot.getSize().y);
  for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, height); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, width); ++x)
      visit(x, y, shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)));
}

}  // namespace

bool SpriteFile::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.size() < 5) return false;
  frames = std::atoi(lines[0].c_str());
  width = std::atoi(lines[1].c_str());
  height = std::atoi(lines[2].c_str());
  color = lines[4];
  rows.assign(lines.begin() + 5, lines.end());
  return frames > 0 && width > 0 && height > 0;
}

sf::IntRect cellsRect(float col0, float row0, float col1, float row1) {
  // Pixels whose centres fall in the cells' background rectangles.
  const auto edge = [](float at) { return static_cast<int>(std::ceil(at - 0.5f)); };
  const int x0 = edge(CELL_WIDTH * (col0 - 0.1f)), x1 = edge(CELL_WIDTH * (col1 + 0.9f));
  const int y0 = edge(CELL_HEIGHT * (row0 - 0.2f)), y1 = edge(CELL_HEIGHT * (row1 + 0.8f));
  return sf::IntRect(x0, y0, x1 - x0, y1 - y0);
}

std::string inkColor(const sf::Image& shot, sf::IntRect area) {
  long r = 0, g = 0, b = 0, count = 0;
  forEachPixel(shot, area, [&](int, int, sf::Color c) {
    if (brightness(c) < 160) return;
    r += c.r, g += c.g, b += c.b, ++count;
  });
  if (count == 0) return "black";
  return colorName(sf::Color(sf::Uint8(r / count), sf::Uint8(g / count), sf::Uint8(b / count)));
}

int colorCount(const sf::Image& shot, sf::IntRect area, const std::string& color) {
  int count = 0;
  forEachPixel(shot, area, [&](int, int, sf::Color c) { count += brightness(c) >= 160 && colorName(c) == color; });
  return count;
}

ScreenReader::ScreenReader(const std::string& font_file) {
  m_ok = m_font.loadFromFile(font_file) && m_target.create(REFERENCE_WIDTH, REFERENCE_HEIGHT);
  keepGraphicsDriverLoaded();
  // The HUD's characters are drawn now, before the game is timed.
  for (char c : std::string(" -|:0123456789DucksMiedROUNPoint")) reference(c);
}

const std::vector<sf::Uint8>& ScreenReader::reference(char c) {
  auto found = m_references.find(c);
  if (found != m_references.end()) return found->second;
  m_target.clear(sf::Color::Black);
  sf::RectangleShape background(sf::Vector2f(CELL_WIDTH, CELL_HEIGHT));
  background.setFillColor(sf::Color::Black);
  sf::Text text(sf::String(std::string(1, c)), m_font, 15);
  text.setStyle(sf::Text::Bold);
  for (int row = 0; row < ROW_PERIOD; ++row)
    for (int col = 0; col < 120; ++col) {
      const float px = CELL_WIDTH * static_cast<float>(col) + MARGIN;
      const float py = CELL_HEIGHT * static_cast<float>(row) + MARGIN;
      background.setPosition(px - CELL_WIDTH / 10, py - CELL_HEIGHT / 5);
      m_target.draw(background);
      text.setPosition(px, py);
      m_target.draw(text);
    }
  m_target.display();
  const sf::Image image = m_target.getTexture().copyToImage();
  std::vector<sf::Uint8> pixels;
  for (unsigned int y = 0; y < REFERENCE_HEIGHT; ++y)
    for (unsigned int x = 0; x < REFERENCE_WIDTH; ++x) pixels.push_back(brightness(image.getPixel(x, y)));
  return m_references.emplace(c, std::move(pixels)).first->second;
}

double ScreenReader::difference(const sf::Image& shot, int col, int row, char c) {
  const std::vector<sf::Uint8>& ref = reference(c);
  const int shift = (row / ROW_PERIOD) * ROW_PERIOD_PIXELS;
  long total = 0, count = 0;
  forEachPixel(shot, cellsRect(float(col), float(row), float(col), float(row)), [&](int x, int y, sf::Color seen) {
    total += std::abs(ref[std::size_t(y - shift + MARGIN) * REFERENCE_WIDTH + std::size_t(x + MARGIN)] -
                      brightness(seen));
    ++count;
  });
  return count == 0 ? 255.0 : static_cast<double>(total) / static_cast<double>(count);
}

std::string ScreenReader::readText(const sf::Image& shot, int row, int first_col, const std::string& expected) {
  std::string text = expected;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (difference(shot, first_col + static_cast<int>(i), row, text[i]) >= SAME_CHARACTER) text[i] = '?';
  return text;
}

double ScreenReader::spriteMatch(const sf::Image& shot, const SpriteFile& sprite, int col, int row) {
  double best = 0;
  for (int frame = 0; frame < sprite.frames; ++frame) {
    int cells = 0, matching = 0;
    for (int y = 0; y < sprite.height; ++y) {
      const std::size_t line = static_cast<std::size_t>(frame * sprite.height + y);
      for (int x = 0; x < sprite.width && line < sprite.rows.size(); ++x) {
        const char c = static_cast<std::size_t>(x) < sprite.rows[line].size() ? sprite.rows[line][x] : ' ';
        const int screen_col = col + x - sprite.width / 2, screen_row = row + y - sprite.height / 2;
        if (c == ' ' || screen_col < 0 || screen_col >= 120 || screen_row < 0 || screen_row >= 36) continue;
        ++cells;
        matching += difference(shot, screen_col, screen_row, c) < SAME_CHARACTER;
      }
    }
    if (cells > 0) best = std::max(best, static_cast<double>(matching) / cells);
  }
  return best;
}

std::string HudItem::expected() const {
  const std::string rule(text().size() + 2, '-');
  return rule + "\n|" + text() + "|\n" + rule;
}

std::string HudItem::read(ScreenReader& reader, const sf::Image& shot) const {
  std::istringstream likely(expected());
  std::string seen, row_text;
  for (int row = 0; row < 3 && std::getline(likely, row_text); ++row)
    seen += (row > 0 ? "\n" : "") + reader.readText(shot, row, firstColumn() - 1, row_text);
  return seen;
}

}  // namespace e2e
}  // namespace lktest
