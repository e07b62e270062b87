// A text's measured width is its advance, the one TextOut uses, per font and
// per text: a text drawn right-aligned at x ends at x and covers the same
// pixels as the same text drawn left-aligned at x minus its width, in each of two
// fonts, for texts of one length and different widths, and still after more
// distinct texts have been measured than the drawing layer remembers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

// A window the texts are drawn on, read back from its canvas.
struct TextWindow {
  explicit TextWindow(Gdi& g) : gdi(g), canvas(QSize(200, 30)), window(gdi.RegisterWindow(canvas)) {
    dc = gdi.GetDC(window);
    gdi.SetBkMode(dc, BkMode::Transparent);
  }
  ~TextWindow() {
    gdi.ReleaseDC(window, dc);
    gdi.UnregisterWindow(window);
  }
  QImage Drawn(GdiHandle font, unsigned align, int x, const std::string& text) {
    canvas.Image().fill(Qt::white);
    gdi.SelectObject(dc, font);
    gdi.SetTextAlign(dc, align);
    gdi.TextOut(dc, x, 5, text);
    return canvas.Image().copy();
  }
  Gdi& gdi;
  WindowCanvas canvas;
  GdiHandle window;
  GdiHandle dc = 0;
};

// The box of the pixels that are not white.
QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

GdiHandle Arial(Gdi& gdi, int height, int width) {
  LogFont font;
  font.Height = height;
  font.Width = width;
  font.Weight = 500;
  font.FaceName = "Arial";
  return gdi.CreateFontIndirect(font);
}

TEST(TextExtent, aMeasuredWidthIsTheAdvanceTheTextIsDrawnWith) {
  testing::EnsureGuiApplication();
  Gdi gdi;
  TextWindow window(gdi);
  const GdiHandle fonts[] = {Arial(gdi, 12, 5), Arial(gdi, 16, 7)};
  // Same lengths, different widths: a width remembered by length, or for the
  // other font, shows.
  const std::vector<std::string> texts = {"iiii", "WWWW", "1.25", "-888", "0", "Packet Error", "Ready..."};
  const int right = 150;

  const auto check = [&](const char* when, std::vector<int>& widths) {
    SCOPED_TRACE(when);
    for (GdiHandle font : fonts) {
      for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        gdi.SelectObject(window.dc, font);
        QSize extent;
        ASSERT_EQ(gdi.GetTextExtentPoint32(window.dc, text, extent), 1);
        ASSERT_GT(extent.width(), 0);
        ASSERT_GT(extent.height(), 0);
        widths.push_back(extent.width());
        const QImage drawn = window.Drawn(font, TextAlign::Right, right, text);
        EXPECT_EQ(drawn, window.Drawn(font, TextAlign::Left, right - extent.width(), text));
        // Right-aligned, the text's ink ends at x, within its last glyph's bearing.
        const QRect ink = InkBox(drawn);
        EXPECT_LE(ink.right(), right - 1);
        EXPECT_GE(ink.right(), right - 4);
        EXPECT_GE(ink.left(), right - extent.width() - 1);
      }
    }
    // The fonts and texts are told apart.
    EXPECT_NE(widths[0], widths[1]);
    EXPECT_NE(widths[0], widths[texts.size()]);
  };
  std::vector<int> first;
  check("measured first", first);
  ASSERT_EQ(first.size(), 2 * texts.size());
  // More distinct texts than are remembered, in both fonts.
  for (GdiHandle font : fonts) {
    gdi.SelectObject(window.dc, font);
    for (int n = 0; n < 5000; ++n) {
      QSize extent;
      gdi.GetTextExtentPoint32(window.dc, std::to_string(n) + ".5", extent);
    }
  }
  std::vector<int> again;
  check("after many other texts", again);
  EXPECT_EQ(again, first);

  // An unknown context measures nothing and leaves the size as it was.
  QSize untouched(7, 9);
  EXPECT_EQ(gdi.GetTextExtentPoint32(0x0BADF00D, "1.25", untouched), 0);
  EXPECT_EQ(untouched, QSize(7, 9));
}

}  // namespace
}  // namespace tarvex
