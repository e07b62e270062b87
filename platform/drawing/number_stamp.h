#pragma once
// Draws the texts of numbers (digits, signs, points, commas and blanks) in one
// font with exactly the pixels QPainter::drawText gives them, without shaping
// each text anew: the grid shows over a thousand new weights a second, and
// laying out each through the text engine cost more than all the rest of
// composing its cell.
//
// What it must cope with: the font's advances are fractions of a pixel and
// pairs of digits are kerned ("11" is narrower than two "1"), so a glyph's
// place, and with it the pixels drawText gives it, depends on everything
// before it in the text. Policy: the advance of each character, and of each
// character followed by each other one (its kerning), is taken from the text
// engine once, in the engine's own units (1/64 pixel); a text's glyphs then
// lie where the engine would put them. Each character's pixels are taken
// from drawText itself, once per fraction of a pixel it is met at, so a glyph
// is drawn as drawText draws it at that place. Before it draws anything the
// stamp draws every pair of its characters both ways and compares; a font
// where any pair differs, whose glyphs are not drawn in plain pixels of the
// pen's colour (antialiased), or that underlines or strikes out its texts, is
// never stamped, and every text is left to drawText.
#include <QFont>
#include <QImage>
#include <QRgb>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tarvex {

class NumberStamp {
public:
  // font as drawText gets it, with the ascent of its character cell; a text
  // drawn at top has its baseline at top + ascent.
  NumberStamp(const QFont& font, int ascent);

  // Draws text with its character cell's left edge at left and top at top in
  // colour, as drawText would; false (nothing drawn) for a text with another
  // character, or when the font failed the check.
  bool Draw(QImage& target, int left, int top, std::string_view text, QRgb colour);

  // The advance of the text as QFontMetrics::horizontalAdvance gives it, or
  // none where Draw would refuse the text.
  std::optional<int> Advance(std::string_view text);

  bool Usable() const noexcept { return usable_; }

private:
  static constexpr std::string_view Characters = "0123456789+-., ";
  static constexpr int CharacterCount = static_cast<int>(Characters.size());
  static constexpr int Fractions = 64;  // the text engine's units per pixel

  // One run of pixels in one row of a glyph, from the pen's whole pixel and
  // the top of the character cell; x1 is one past the run's last pixel.
  struct Run {
    std::int16_t y;
    std::int16_t x0;
    std::int16_t x1;
  };
  struct Glyph {
    bool made = false;
    std::vector<Run> runs;
  };

  static QLatin1Char Character(int index) { return QLatin1Char(Characters[static_cast<std::size_t>(index)]); }
  // The index of each byte among Characters, or -1.
  int IndexOf(char byte) const noexcept;
  bool Indexes(std::string_view text, std::vector<int>& indexes) const;
  // The pen position of each glyph of the text in 1/64 pixel; the total
  // advance after the last glyph.
  std::int64_t Positions(const std::vector<int>& indexes, std::vector<std::int64_t>* positions) const;
  const Glyph& GlyphAt(int character, int fraction);
  // False, with nothing drawn, when a glyph turns out not to be plain.
  bool Stamp(QImage& target, int left, int top, const std::vector<int>& indexes, QRgb colour);
  bool PairsMatch();

  QFont font_;
  int ascent_;
  int cellHeight_;
  bool usable_ = false;
  // Advance of each character alone, and of each followed by each other
  // (kerned), in 1/64 pixel.
  std::array<std::int64_t, CharacterCount> advance_{};
  std::array<std::array<std::int64_t, CharacterCount>, CharacterCount> kernedAdvance_{};
  std::vector<Glyph> glyphs_;  // character * Fractions + fraction
  std::vector<int> indexes_;   // reused by each text
  std::vector<std::int64_t> positions_;
};

}  // namespace tarvex
