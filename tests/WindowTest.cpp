// On a real window: colours, transparency and the fast path against the reference.
#include "Sprite.h"
#include "Support.h"
#include "ViewObject.h"

using lkt::Entries, lkt::world;

// Scenes drawn by the fast path and by the per-cell reference: HUD boxes, transparency, every
// colour and byte at whole and fractional places, later backgrounds cutting glyphs from every
// side, a screen of every character. Cut texture coordinates may round otherwise: at most 2
// levels on at most 0.1% of the pixels.
TEST(Window, ColoursAndTransparencyShowAndTheFastPathDrawsTheReferencePicture) {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  lk::LogManager::getInstance().startUp();
  // Without a window nothing is drawn, and each call says so.
  EXPECT_EQ(display.drawCh(lk::Vector(61, 1), '#', lk::RED), -1);
  EXPECT_EQ(display.swapBuffer(), -1);
  const Entries said = lkt::logLines();
  EXPECT_EQ(Entries(said.end() - 2, said.end()),
            (Entries{"DisplayManager::drawCh(): Could not draw. The SFML window is not allocated.",
                     "DisplayManager::swapBuffer(): Could not swap buffers. The SFML window is not allocated."}));
  const lk::Vector middle = lk::pixelsToCells(lk::Vector(512, 384));
  EXPECT_NEAR(middle.getX(), 60, 1e-3);
  EXPECT_NEAR(middle.getY(), 18, 1e-3);
  // Without the font the start fails, and fails again when asked again; with it, it succeeds.
  for (int attempt = 0; attempt < 2; ++attempt) ASSERT_EQ(display.startUp(), -1) << attempt;
  EXPECT_FALSE(display.isStarted());
  lkt::stageAssets();
  ASSERT_EQ(display.startUp(), 0);
  world().startUp();
  const char* labels[] = {"Ducks Missed:", "ROUND", "Points:"};
  for (int i = 0; i < 3; ++i) {
    lk::ViewObject* p = new lk::ViewObject;
    p->setViewString(labels[i]), p->setLocation(lk::ViewObjectLocation(i)), p->setValue(i == 2 ? -2300 : i), p->setColor(i == 1 ? lk::WHITE : lk::YELLOW);
  }
  lk::Sprite block(1), front(1);
  block.setColor(lk::GREEN), front.setColor(lk::RED), front.setTransparency('@');
  block.insertFrame(lk::Frame(5, 3, std::string(15, '#')));
  front.insertFrame(lk::Frame(3, 3, "@#@###  @"));
  const auto scene = [&] {
    world().draw();
    for (int k = -1; k <= 8; ++k) display.drawCh(lk::Vector(60 + 4 * k + 6, 3), '#', lk::Color(k));
    block.draw(0, lk::Vector(90, 10)), front.draw(0, lk::Vector(90, 10));
    block.draw(0, lk::Vector(98.5f, 10.5f)), front.draw(0, lk::Vector(99, 10.25f));
    for (int b = 0; b < 256; ++b)
      display.drawCh(lk::Vector(62 + (b % 64) * 1.75f, 22 + (b / 64) * 1.5f + 0.125f * (b % 3)), char(b), lk::Color(b % 8));
    for (int pass = 0; pass < 3; ++pass)
      for (int i = 0; i < 72; ++i) {
        const int k = pass == 2 ? 71 - i : i;
        display.drawCh(lk::Vector(130 + k % 12 + (pass == 1 ? 0.5f : 0), 4 + k / 12 + (pass == 1 ? 0.5f : 0)),
                       "gjpqy_|WM@#%&QJ,;(){}[]"[(k * 7 + pass) % 23], lk::Color(1 + (k + pass) % 7));
      }
  };
  const auto everyCharacter = [&] {
    for (int n = 0; n < 120 * 36; ++n) display.drawCh(lk::Vector(60 + n % 120, n / 120), char(' ' + n % 95), lk::Color(n / 95 % 8));
  };
  const auto picture = [&] {  // what the window shows, then the next frame begun
    display.flush();
    sf::Texture texture;
    texture.create(1024, 768), texture.update(*display.getWindow());
    display.swapBuffer();
    return texture.copyToImage();
  };
  sf::Image shot[2];
  for (const auto& draw : {std::function<void()>(everyCharacter), std::function<void()>(scene)}) {
    for (int reference = 0; reference < 2; ++reference) {
      display.setReferenceDrawing(reference == 1);
      draw();
      shot[reference] = picture();
    }
    int differing = 0, most = 0;
    for (unsigned i = 0; i < 1024 * 768; ++i) {
      const sf::Color a = shot[0].getPixel(i % 1024, i / 1024), b = shot[1].getPixel(i % 1024, i / 1024);
      const int by = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      differing += by > 0, most = std::max(most, by);
    }
    EXPECT_GT(lkt::count(shot[1], {0, 0, 1024, 768}, [](sf::Color c) { return c.r + c.g + c.b > 0; }), 10000);
    EXPECT_LE(most, 2);
    EXPECT_LE(differing, 1024 * 768 / 1000);
    std::printf("%d pixels differ from the reference drawing, by at most %d\n", differing, most);
  }
  display.setReferenceDrawing(false);
  // Each colour shows itself and only its shades; others are white.
  const auto cell = [](int col, int row, int inset) {
    return sf::IntRect(col * 1024 / 120 + inset, row * 768 / 36 + inset, 1024 / 120 - 2 * inset, 768 / 36 - 2 * inset);
  };
  const sf::Color table[] = {sf::Color::Black, sf::Color::Red, sf::Color::Green, sf::Color::Yellow,
                             sf::Color::Blue, sf::Color::Magenta, sf::Color::Cyan, sf::Color::White};
  for (int k = -1; k <= 8; ++k) {
    const sf::Color e = k >= 0 && k <= 7 ? table[k] : sf::Color::White;
    EXPECT_GT(lkt::count(shot[0], cell(4 * k + 6, 3, 0), [&](sf::Color c) { return c == e; }), 10) << k;
    EXPECT_EQ(lkt::count(shot[0], cell(4 * k + 6, 3, 0), [&](sf::Color c) { return (!e.r && c.r) || (!e.g && c.g) || (!e.b && c.b); }), 0) << k;
  }
  // The front sprite's '@' cells leave the green block showing; its blanks are drawn.
  std::string seen;
  for (int i = 0; i < 9; ++i) {
    const int red = lkt::count(shot[0], cell(29 + i % 3, 9 + i / 3, 2), [](sf::Color c) { return c.r > 150 && c.g < 90; });
    const int green = lkt::count(shot[0], cell(29 + i % 3, 9 + i / 3, 2), [](sf::Color c) { return c.g > 150 && c.r < 90; });
    seen += red > 8 && red > 4 * green ? 'R' : green > 8 && green > 4 * red ? 'G' : '.';
  }
  EXPECT_EQ(seen, "GRGRRR..G");
  // Every glyph keeps inside its cell: later backgrounds right and below take little of its ink.
  sf::Image alone[2];
  for (int cover = 0; cover < 2; ++cover) {
    for (int c = 0; c < 95; ++c) {
      const float x = float(61 + c % 30 * 4), y = float(1 + c / 30 * 4);
      display.drawCh(lk::Vector(x, y), char(' ' + c), lk::WHITE);
      for (int n = 0; n < 4 * cover; ++n) display.drawCh(lk::Vector(x + float(n % 3 - 1), y + float(n > 0)), ' ', lk::WHITE);
    }
    alone[cover] = picture();
  }
  double worst = 0;
  for (int c = 1; c < 95; ++c) {
    const sf::IntRect around = cell(c % 30 * 4, c / 30 * 4, 0);
    long ink[2] = {0, 0};
    for (int cover = 0; cover < 2; ++cover)
      lkt::count(alone[cover], {around.left - 9, around.top - 22, 27, 64}, [&](sf::Color p) { return ink[cover] += p.r, false; });
    worst = std::max(worst, 1 - double(ink[1]) / double(std::max(ink[0], 1L)));
    EXPECT_GT(ink[0], 0) << char(' ' + c);
  }
  std::printf("the glyph most cut by the next cells' backgrounds loses %.1f %% of its ink\n", 100 * worst);
  EXPECT_LT(worst, 0.05);
  world().shutDown(), display.shutDown();
}
