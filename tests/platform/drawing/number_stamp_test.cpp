// Numbers are drawn without the text engine, with the pixels drawText gives
// them: in the fonts of both grid layouts, for thousands of numbers (kerned
// digit pairs, signs, points, commas, blanks), at many places, in the grid's
// colours, cut at the picture's edges; and measured as QFontMetrics measures
// them. The grid's fonts really are stamped (a text engine path taken for
// them again shows here), a text with other characters is still drawn by
// the text engine, and a font the stamp cannot draw alike is left to it.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

#include "core/grid/grid_layout.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/number_stamp.h"
#include "platform/drawing/window_canvas.h"
#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

LogFont GridFont(int screenWidth) {
  const auto layout = GridLayoutForScreen(screenWidth);
  LogFont font;
  font.Height = layout->FontHeight;
  font.Width = layout->FontWidth;
  font.Weight = 500;
  font.FaceName = "Arial";
  return font;
}

// Numbers as scales send them and the grid shows them.
std::vector<std::string> Numbers() {
  std::vector<std::string> numbers = {"0", "1", "11", "111", "1111", "-1", "+1", "1.1", "1,1", "1 1", "-11.11",
                                      "71", "17", "77", "7.7", "-7", "0.00", "-0.00", "+0.00", "12 345.67", " 1",
                                      "1 ", "..", ",,", "--", "++", "1-1", "10,000", "", "  ", "98765432101234567890"};
  char text[32];
  for (int n = 0; n < 4000; ++n) {
    std::snprintf(text, sizeof text, "%d", n * 37 - 20000);
    numbers.emplace_back(text);
    std::snprintf(text, sizeof text, "%.2f", (n * 7919 % 200001 - 100000) / 100.0);
    numbers.emplace_back(text);
    std::snprintf(text, sizeof text, "%+.1f", n * 0.3);
    numbers.emplace_back(text);
    std::snprintf(text, sizeof text, "%d,%03d", n % 97, n);
    numbers.emplace_back(text);
  }
  return numbers;
}

// drawText as the drawing layer used it for every text.
void EngineText(QImage& image, const QFont& font, int ascent, int left, int top, const std::string& text, QRgb colour) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font);
  painter.setPen(QColor(colour));
  painter.drawText(QPoint(left, top + ascent), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

struct Place {
  int left;
  int top;
};

TEST(NumberStamp, numbersInTheGridFontsGetThePixelsAndWidthsOfTheTextEngine) {
  testing::EnsureGuiApplication();
  const std::vector<std::string> numbers = Numbers();
  // Whole pixels, cut at each edge, and beyond them.
  const Place places[] = {{0, 0}, {3, 2}, {1, 1}, {-5, 0}, {2, -4}, {4, 14}, {-200, 0}, {200, 3}, {150, 0}, {230, 0}};
  const QRgb colours[] = {qRgb(0, 0, 0), qRgb(0, 0, 128), qRgb(128, 0, 0), qRgb(255, 255, 0)};
  for (const int screenWidth : {800, 1024}) {
    SCOPED_TRACE(screenWidth);
    const QFont font = MakeFont(GridFont(screenWidth));
    const QFontMetrics metrics(font);
    NumberStamp stamp(font, metrics.ascent());
    ASSERT_TRUE(stamp.Usable()) << "the grid's font is drawn by the text engine";
    QImage expected(220, 22, QImage::Format_RGB32);
    QImage stamped(expected.size(), QImage::Format_RGB32);
    int compared = 0;
    for (std::size_t n = 0; n < numbers.size(); ++n) {
      const std::string& text = numbers[n];
      SCOPED_TRACE(text);
      const auto width = stamp.Advance(text);
      ASSERT_TRUE(width.has_value());
      ASSERT_EQ(*width, metrics.horizontalAdvance(QString::fromLatin1(text.c_str())));
      const Place& place = places[n % std::size(places)];
      const QRgb colour = colours[n % std::size(colours)];
      // A background that is not white, so the paper shows where it is kept.
      expected.fill(qRgb(200, 220, 240));
      stamped.fill(qRgb(200, 220, 240));
      EngineText(expected, font, metrics.ascent(), place.left, place.top, text, colour);
      ASSERT_TRUE(stamp.Draw(stamped, place.left, place.top, text, colour));
      ASSERT_EQ(stamped, expected) << "at " << place.left << "," << place.top;
      ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(numbers.size()));
  }
}

// Any font the stamp takes on it draws as the text engine does: its first
// check of each font must turn away every font it cannot draw alike.
TEST(NumberStamp, everyFontTheStampTakesOnIsDrawnAsTheTextEngineDrawsIt) {
  testing::EnsureGuiApplication();
  const std::vector<std::string> all = Numbers();
  std::vector<std::string> numbers(all.begin(), all.begin() + 40);
  for (std::size_t n = 40; n < all.size(); n += 61) numbers.push_back(all[n]);
  const struct {
    const char* face;
    int height;
    int weight;
    bool italic;
  } fonts[] = {
      {"Arial", 8, 400, false},          {"Arial", 13, 700, false},       {"Arial", 16, 400, true},
      {"Times New Roman", 15, 400, false}, {"Times New Roman", 20, 400, true}, {"Courier New", 14, 400, false},
      {"DejaVu Sans", 12, 400, false},   {"DejaVu Sans", 30, 700, true},  {"Arial", 48, 400, false},
      {"Arial", 64, 400, false},         {"DejaVu Sans", 80, 400, false},
  };
  const Place places[] = {{0, 0}, {2, 3}, {-4, 0}, {0, -5}, {180, 2}};
  int taken = 0;
  for (const auto& f : fonts) {
    SCOPED_TRACE(std::string(f.face) + " " + std::to_string(f.height) + (f.italic ? " italic" : ""));
    LogFont description;
    description.Height = f.height;
    description.Weight = f.weight;
    description.Italic = f.italic;
    description.FaceName = f.face;
    const QFont font = MakeFont(description);
    const QFontMetrics metrics(font);
    NumberStamp stamp(font, metrics.ascent());
    if (!stamp.Usable()) continue;
    ++taken;
    QImage expected(220, 100, QImage::Format_RGB32);
    QImage stamped(expected.size(), QImage::Format_RGB32);
    for (std::size_t n = 0; n < numbers.size(); ++n) {
      const std::string& text = numbers[n];
      SCOPED_TRACE(text);
      const Place& place = places[n % std::size(places)];
      const auto width = stamp.Advance(text);
      ASSERT_TRUE(width.has_value());
      ASSERT_EQ(*width, metrics.horizontalAdvance(QString::fromLatin1(text.c_str())));
      expected.fill(qRgb(200, 220, 240));
      stamped.fill(qRgb(200, 220, 240));
      EngineText(expected, font, metrics.ascent(), place.left, place.top, text, qRgb(0, 0, 128));
      ASSERT_TRUE(stamp.Draw(stamped, place.left, place.top, text, qRgb(0, 0, 128)));
      ASSERT_EQ(stamped, expected) << "at " << place.left << "," << place.top;
    }
  }
  // Most of these are plain pixel fonts: a stamp that takes none of them on
  // saves nothing.
  EXPECT_GE(taken, 4);
}

struct Refusal {
  const char* legend;
  bool underline;
  std::string text;
  QImage::Format format;
};

TEST(NumberStamp, whatTheStampCannotDrawAlikeIsLeftToTheTextEngine) {
  testing::EnsureGuiApplication();
  const Refusal cases[] = {
      {"letters", false, "12.5 kg", QImage::Format_RGB32},
      {"a byte beyond ASCII", false, "12\xB0", QImage::Format_RGB32},
      {"an underlined font", true, "12.5", QImage::Format_RGB32},
      {"a picture of another format", false, "12.5", QImage::Format_ARGB32},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.legend);
    LogFont description = GridFont(1024);
    description.Underline = c.underline;
    const QFont font = MakeFont(description);
    NumberStamp stamp(font, QFontMetrics(font).ascent());
    QImage picture(120, 20, c.format);
    picture.fill(Qt::white);
    const QImage before = picture.copy();
    EXPECT_FALSE(stamp.Draw(picture, 2, 2, c.text, qRgb(0, 0, 0)));
    EXPECT_EQ(picture, before) << "nothing is drawn when the stamp refuses";
    if (c.format == QImage::Format_RGB32) {
      EXPECT_FALSE(stamp.Advance(c.text).has_value());
    }
  }
}

// Through the drawing layer: each text, stamped or not, opaque or
// transparent, left or right aligned, as the text engine drew it.
TEST(NumberStamp, theDrawingLayerDrawsEveryTextAsTheTextEngineDid) {
  testing::EnsureGuiApplication();
  struct Case {
    const char* legend;
    std::string text;
    int bkMode;
    unsigned align;
    bool underline;
  };
  const Case cases[] = {
      {"a number", "-1234.56", BkMode::Transparent, TextAlign::Left, false},
      {"a number, right aligned", "1111.11", BkMode::Transparent, TextAlign::Right, false},
      {"a number on white", "0.25", BkMode::Opaque, TextAlign::Left, false},
      {"a number on white, right aligned", "71.17", BkMode::Opaque, TextAlign::Right, false},
      {"a number on white, cut at the edge", "987654321", BkMode::Opaque, TextAlign::Right, false},
      {"a status text", "Packet Error", BkMode::Transparent, TextAlign::Left, false},
      {"a number with its unit", "12.5 kg", BkMode::Opaque, TextAlign::Right, false},
      {"an underlined number", "12.5", BkMode::Opaque, TextAlign::Left, true},
  };
  for (const int screenWidth : {800, 1024}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(screenWidth) + ": " + c.legend);
      LogFont description = GridFont(screenWidth);
      description.Underline = c.underline;
      const QFont font = MakeFont(description);
      const QFontMetrics metrics(font);
      Gdi gdi;
      WindowCanvas canvas(QSize(90, 24));
      canvas.Image().fill(qRgb(10, 200, 30));
      const GdiHandle window = gdi.RegisterWindow(canvas);
      const GdiHandle dc = gdi.GetDC(window);
      const GdiHandle handle = gdi.CreateFontIndirect(description);
      gdi.SelectObject(dc, handle);
      gdi.SetBkMode(dc, c.bkMode);
      gdi.SetTextAlign(dc, c.align);
      gdi.SetTextColor(dc, ColorOf(0, 0, 128));
      const int x = c.align == TextAlign::Right ? 60 : 3;
      ASSERT_EQ(gdi.TextOut(dc, x, 4, c.text), 1);

      QImage expected(canvas.Image().size(), QImage::Format_RGB32);
      expected.fill(qRgb(10, 200, 30));
      const QString text = QString::fromLatin1(c.text.c_str());
      const int width = metrics.horizontalAdvance(text);
      const int left = c.align == TextAlign::Right ? x - width : x;
      if (c.bkMode == BkMode::Opaque) QPainter(&expected).fillRect(QRect(left, 4, width, metrics.height()), Qt::white);
      EngineText(expected, font, metrics.ascent(), left, 4, c.text, qRgb(0, 0, 128));
      EXPECT_EQ(canvas.Image(), expected);
      gdi.SelectObject(dc, handle);
      gdi.ReleaseDC(window, dc);
      gdi.UnregisterWindow(window);
    }
  }
}

}  // namespace
}  // namespace tarvex
