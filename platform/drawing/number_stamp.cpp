#include "number_stamp.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr QRgb Paper = 0xFFFFFFFF;
constexpr QRgb Ink = 0xFF000000;

// A scratch picture a glyph or a pair is drawn into: room on every side of
// the character cell for bearings and overhangs.
struct Scratch {
  Scratch(int cellHeight, int ascent) : cell(cellHeight), baseline(ascent) {
    image = QImage(8 * cell + 32, 3 * cell, QImage::Format_RGB32);
  }
  int OriginX() const { return 2 * cell; }
  int OriginY() const { return cell; }
  void Clear() { image.fill(Paper); }
  // drawText as the drawing layer's TextOut calls it, the pen 1/64 pixel
  // units right of the origin.
  void DrawText(const QFont& font, const QString& text, int fraction) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(QColor(Qt::black));
    if (fraction == 0) {
      painter.drawText(QPoint(OriginX(), OriginY() + baseline), text);
    } else {
      painter.drawText(QPointF(OriginX() + fraction / 64.0, OriginY() + baseline), text);
    }
  }
  // True when the picture holds paper and ink only, none of it on the edge.
  bool PlainAndInside() const {
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if (row[x] == Paper) continue;
        if (row[x] != Ink) return false;
        if (x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1) return false;
      }
    }
    return true;
  }
  QImage image;
  int cell;
  int baseline;
};

// A text engine width in its own units; none when it is not a whole number of them.
std::optional<std::int64_t> Units(qreal width) {
  const qreal units = width * 64.0;
  const qreal whole = std::round(units);
  if (std::fabs(units - whole) > 1e-6) return std::nullopt;
  return static_cast<std::int64_t>(whole);
}

// QFontMetrics rounds a width in its units half up.
int WholePixels(std::int64_t units) { return static_cast<int>((units + 32) >> 6); }

}  // namespace

NumberStamp::NumberStamp(const QFont& font, int ascent)
    : font_(font), ascent_(ascent), cellHeight_(QFontMetrics(font).height()) {
  glyphs_.resize(static_cast<std::size_t>(CharacterCount) * Fractions);
  // Above that height the text engine draws glyphs as outlines, which a
  // surface's edge cuts differently from a glyph drawn whole, and the check
  // below would grow with the square of the size: such fonts are left to it.
  if (font_.underline() || font_.strikeOut() || font_.overline() || cellHeight_ <= 0 || cellHeight_ > 48) return;
  const QFontMetricsF metrics(font_);
  for (int a = 0; a < CharacterCount; ++a) {
    const auto alone = Units(metrics.horizontalAdvance(QString(Character(a))));
    if (!alone || *alone < 0) return;
    advance_[static_cast<std::size_t>(a)] = *alone;
  }
  for (int a = 0; a < CharacterCount; ++a) {
    for (int b = 0; b < CharacterCount; ++b) {
      const auto both = Units(metrics.horizontalAdvance(QString(Character(a)) + Character(b)));
      if (!both) return;
      const auto first = static_cast<std::size_t>(a);
      const auto second = static_cast<std::size_t>(b);
      kernedAdvance_[first][second] = *both - advance_[second];
    }
  }
  usable_ = true;
  usable_ = PairsMatch();
}

int NumberStamp::IndexOf(char byte) const noexcept {
  const auto at = Characters.find(byte);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

bool NumberStamp::Indexes(std::string_view text, std::vector<int>& indexes) const {
  indexes.clear();
  for (char byte : text) {
    const int index = IndexOf(byte);
    if (index < 0) return false;
    indexes.push_back(index);
  }
  return true;
}

std::int64_t NumberStamp::Positions(const std::vector<int>& indexes, std::vector<std::int64_t>* positions) const {
  if (positions) positions->clear();
  std::int64_t pen = 0;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (positions) positions->push_back(pen);
    const auto here = static_cast<std::size_t>(indexes[i]);
    pen += i + 1 < indexes.size() ? kernedAdvance_[here][static_cast<std::size_t>(indexes[i + 1])] : advance_[here];
  }
  return pen;
}

const NumberStamp::Glyph& NumberStamp::GlyphAt(int character, int fraction) {
  Glyph& glyph = glyphs_[static_cast<std::size_t>(character * Fractions + fraction)];
  if (glyph.made) return glyph;
  glyph.made = true;
  Scratch scratch(cellHeight_, ascent_);
  scratch.Clear();
  scratch.DrawText(font_, QString(Character(character)), fraction);
  if (!scratch.PlainAndInside()) {
    usable_ = false;
    return glyph;
  }
  for (int y = 0; y < scratch.image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(scratch.image.constScanLine(y));
    for (int x = 0; x < scratch.image.width();) {
      if (row[x] != Ink) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < scratch.image.width() && row[x] == Ink) ++x;
      glyph.runs.push_back(Run{static_cast<std::int16_t>(y - scratch.OriginY()),
                               static_cast<std::int16_t>(start - scratch.OriginX()),
                               static_cast<std::int16_t>(x - scratch.OriginX())});
    }
  }
  return glyph;
}

bool NumberStamp::Stamp(QImage& target, int left, int top, const std::vector<int>& indexes, QRgb colour) {
  Positions(indexes, &positions_);
  // Every glyph is made before a pixel is written: one that fails leaves the
  // target untouched for drawText.
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const std::int64_t pen = static_cast<std::int64_t>(left) * Fractions + positions_[i];
    GlyphAt(indexes[i], static_cast<int>(pen & (Fractions - 1)));
  }
  if (!usable_) return false;
  const QRgb pixel = 0xFF000000 | colour;
  const int width = target.width();
  const int height = target.height();
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const std::int64_t pen = static_cast<std::int64_t>(left) * Fractions + positions_[i];
    const int whole = static_cast<int>(pen >> 6);  // floor, also left of 0
    const Glyph& glyph = GlyphAt(indexes[i], static_cast<int>(pen & (Fractions - 1)));
    for (const Run& run : glyph.runs) {
      const int y = top + run.y;
      if (y < 0 || y >= height) continue;
      const int x0 = std::max(whole + run.x0, 0);
      const int x1 = std::min(whole + run.x1, width);
      if (x0 >= x1) continue;
      auto* row = reinterpret_cast<QRgb*>(target.scanLine(y));
      std::fill(row + x0, row + x1, pixel);
    }
  }
  return true;
}

// Every pair of characters, stamped and drawn by drawText, pixel for pixel,
// and measured alike.
bool NumberStamp::PairsMatch() {
  Scratch drawn(cellHeight_, ascent_);
  QImage stamped(drawn.image.size(), QImage::Format_RGB32);
  const QFontMetrics metrics(font_);
  std::vector<int> pair(2);
  for (int a = 0; a < CharacterCount; ++a) {
    for (int b = 0; b < CharacterCount; ++b) {
      pair[0] = a;
      pair[1] = b;
      const QString text = QString(Character(a)) + Character(b);
      if (metrics.horizontalAdvance(text) != WholePixels(Positions(pair, nullptr))) return false;
      drawn.Clear();
      drawn.DrawText(font_, text, 0);
      if (!drawn.PlainAndInside()) return false;
      stamped.fill(Paper);
      if (!Stamp(stamped, drawn.OriginX(), drawn.OriginY(), pair, 0) || stamped != drawn.image) return false;
    }
  }
  return true;
}

bool NumberStamp::Draw(QImage& target, int left, int top, std::string_view text, QRgb colour) {
  if (!usable_ || target.format() != QImage::Format_RGB32 || !Indexes(text, indexes_)) return false;
  return Stamp(target, left, top, indexes_, colour);
}

std::optional<int> NumberStamp::Advance(std::string_view text) {
  if (!usable_ || !Indexes(text, indexes_)) return std::nullopt;
  return WholePixels(Positions(indexes_, nullptr));
}

}  // namespace tarvex
