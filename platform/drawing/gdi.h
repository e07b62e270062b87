#pragma once
// A small drawing layer in the manner of the classic window graphics calls the
// grid is written against: device contexts of a window and of memory surfaces,
// compatible bitmaps, solid pens and brushes and fonts, all reached through
// opaque handles, drawn with QPainter into QImages.
//
// What it must cope with: the grid releases its objects step by step and
// reports every step that fails, so a call must fail (result 0, nothing
// changed) exactly where the classic calls fail: a handle that is unknown or
// of the wrong kind, a bitmap selected into a second context, an object
// deleted while a context still holds it. Handles are ids in a table, never
// pointers, and are never reused, so a stale or corrupted handle is detected
// and touches nothing.
//
// Drawing conventions kept: a text's y is the top of its character cell; a
// right-aligned text ends at x; an ellipse's bounding box excludes its right
// and bottom edge; shapes and texts are drawn without antialiasing. The
// stock objects a new context holds (a 1 x 1 bitmap, a black pen, a white
// brush, a default font) are never counted as live and never deleted.
//
// Cost: the grid copies every cell it is asked to draw onto the window many
// times a second, mostly with pixels that are already there. A block
// transfer copies rows of pixels directly (every surface is 32-bit RGB), and
// one onto a window that changes none of its pixels asks for no repaint, so
// a window whose picture stays the same is never painted again.
// Numbers are drawn from glyphs taken once per font (NumberStamp), not
// shaped anew by the text engine, and an ellipse on a small surface from
// the pixels it painted the first time: the grid draws over a thousand new
// weights and lamps a second, each with the pixels QPainter gives it.
#include <QFont>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/drawing/number_stamp.h"

namespace tarvex {

class WindowCanvas;

using GdiHandle = std::uint32_t;  // 0 is "no handle"
using ColorRef = std::uint32_t;   // 0x00BBGGRR

constexpr ColorRef ColorOf(int red, int green, int blue) {
  return static_cast<ColorRef>(red & 0xFF) | (static_cast<ColorRef>(green & 0xFF) << 8) |
         (static_cast<ColorRef>(blue & 0xFF) << 16);
}
constexpr ColorRef InvalidColor = 0xFFFFFFFF;

namespace BkMode {
constexpr int Transparent = 1;
constexpr int Opaque = 2;
}  // namespace BkMode

namespace TextAlign {
constexpr unsigned Left = 0;
constexpr unsigned Right = 2;
constexpr unsigned Invalid = 0xFFFFFFFF;
}  // namespace TextAlign

namespace PenStyle {
constexpr int Solid = 0;
}

namespace BrushStyle {
constexpr unsigned Solid = 0;
}

constexpr std::uint32_t SourceCopy = 0x00CC0020;

struct LogBrush {
  unsigned Style = BrushStyle::Solid;
  ColorRef Color = 0;
  std::uintptr_t Hatch = 0;
};

// A font description. Height > 0 is the height of the character cell, < 0
// the height of the em, 0 a default; Width > 0 is the average character
// width, 0 the font's own.
struct LogFont {
  int Height = 0;
  int Width = 0;
  int Escapement = 0;
  int Orientation = 0;
  int Weight = 0;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  std::uint8_t CharSet = 0;
  std::uint8_t OutPrecision = 0;
  std::uint8_t ClipPrecision = 0;
  std::uint8_t Quality = 0;
  std::uint8_t PitchAndFamily = 0;
  std::string FaceName;  // ANSI bytes
};

// The font a description stands for, as the drawing layer draws with it.
QFont MakeFont(const LogFont& description);

class Gdi {
public:
  Gdi();
  Gdi(const Gdi&) = delete;
  Gdi& operator=(const Gdi&) = delete;

  // A window whose client area is the canvas; its handle stands for the
  // window in GetDC and ReleaseDC.
  GdiHandle RegisterWindow(WindowCanvas& canvas);
  void UnregisterWindow(GdiHandle hWnd);

  // The context of a window's client area, for one operation at a time.
  GdiHandle GetDC(GdiHandle hWnd);
  int ReleaseDC(GdiHandle hWnd, GdiHandle hDC);

  GdiHandle CreateCompatibleDC(GdiHandle hDC);
  GdiHandle CreateCompatibleBitmap(GdiHandle hDC, int width, int height);
  GdiHandle CreatePen(int style, int width, ColorRef color);
  GdiHandle CreateBrushIndirect(const LogBrush& brush);
  GdiHandle CreateFontIndirect(const LogFont& font);

  // Returns the object of the same kind the context held before, or 0.
  GdiHandle SelectObject(GdiHandle hDC, GdiHandle object);
  // Pens, brushes, fonts and bitmaps; fails while a context holds the object.
  int DeleteObject(GdiHandle object);
  // Memory contexts only.
  int DeleteDC(GdiHandle hDC);

  int BitBlt(GdiHandle dest, int x, int y, int width, int height, GdiHandle source, int sourceX, int sourceY,
             std::uint32_t rop);
  int SetBkMode(GdiHandle hDC, int mode);
  ColorRef SetTextColor(GdiHandle hDC, ColorRef color);
  unsigned SetTextAlign(GdiHandle hDC, unsigned align);
  int TextOut(GdiHandle hDC, int x, int y, std::string_view text);
  // The width (the advance) and the height of the text's cell in the
  // context's font; 0 and the size unchanged on an unknown context.
  int GetTextExtentPoint32(GdiHandle hDC, std::string_view text, QSize& size);
  int Ellipse(GdiHandle hDC, int left, int top, int right, int bottom);

  // Contexts and objects made and not yet released (stock objects excluded).
  std::size_t LiveHandles() const;
  // Ellipses whose pixels are remembered, each drawn from then on without a painter.
  std::size_t RememberedEllipses() const { return figures_.size(); }

private:
  enum class Kind { Bitmap, Pen, Brush, Font };
  struct Object {
    explicit Object(Kind k) : kind(k) {}
    Kind kind;
    bool stock = false;
    int selections = 0;    // contexts that hold the object now
    QImage image;          // Bitmap
    ColorRef color = 0;    // Pen, Brush
    int penWidth = 1;      // Pen
    LogFont font;          // Font
    std::optional<QFont> resolved;  // Font, made on first use
    int ascent = 0;                 // Font, of the resolved font
    int cellHeight = 0;             // Font, of the resolved font
    // Font: the advances of texts drawn or measured lately. Shaping a text
    // costs more than drawing it, and a number is measured before it is
    // drawn; bounded, emptied when full.
    std::unordered_map<std::string, int> advances;
    // Font: numbers drawn and measured without the text engine, made with
    // the resolved font.
    std::unique_ptr<NumberStamp> stamp;
  };
  struct Context {
    GdiHandle window = 0;  // 0 for a memory context
    GdiHandle bitmap = 0;
    // A memory context's target: the pixels of the bitmap it holds, which
    // cannot be deleted while it is held. Kept so that a transfer between
    // two surfaces (the grid makes thousands a second among over a thousand
    // objects) does not look the bitmaps up.
    QImage* image = nullptr;
    GdiHandle pen = 0;
    GdiHandle brush = 0;
    GdiHandle font = 0;
    ColorRef textColor = ColorOf(0, 0, 0);
    int bkMode = BkMode::Opaque;
    unsigned textAlign = TextAlign::Left;
  };

  // An ellipse as Ellipse draws it, and its pixels remembered: the grid's
  // lamps go on and off with every frame, always the same few figures at
  // the same places of their surfaces.
  struct FigureKey {
    ColorRef pen = 0;
    ColorRef brush = 0;
    int penWidth = 1;
    int left = 0, top = 0, right = 0, bottom = 0;
    int width = 0, height = 0;  // of the target
    bool operator==(const FigureKey&) const = default;
  };
  struct FigureKeyHash {
    std::size_t operator()(const FigureKey& k) const noexcept {
      std::size_t h = std::hash<std::uint64_t>{}((std::uint64_t{k.pen} << 32) | k.brush);
      for (int part : {k.penWidth, k.left, k.top, k.right, k.bottom, k.width, k.height}) {
        h = h * 1000003u ^ static_cast<std::size_t>(part);
      }
      return h;
    }
  };
  struct FigureRun {
    std::int16_t y, x0, x1;
    QRgb colour;
  };
  static constexpr int RememberedSurfaceSide = 64;  // figures on surfaces of at most 64 x 64
  static constexpr std::size_t RememberedFigures = 64;
  static void PaintEllipse(QImage& target, const FigureKey& figure);
  const std::vector<FigureRun>& RememberedFigure(const FigureKey& figure);

  GdiHandle NewHandle() { return nextHandle_++; }
  GdiHandle AddObject(Object object);
  GdiHandle AddContext(Context context);
  Object* FindObject(GdiHandle handle);
  Context* FindContext(GdiHandle handle);
  QImage* TargetImage(const Context& context);
  static bool CopyPixels(const QImage& origin, QPoint from, QImage& target, const QRect& area);
  void TargetChanged(const Context& context, const QRect& area);
  const QFont& ResolvedFont(Object& font);
  int Advance(Object& font, std::string_view text);
  void DropSelections(const Context& context);
  bool IsStock(GdiHandle handle) const;
  void Release(GdiHandle hDC);

  GdiHandle nextHandle_ = 0x00010000;
  // Looked up on every call (the grid makes some ten calls per cell it
  // draws, with over a thousand contexts live), so by hash, not by a walk.
  std::unordered_map<GdiHandle, Object> objects_;
  std::unordered_map<GdiHandle, Context> contexts_;
  std::unordered_map<GdiHandle, WindowCanvas*> windows_;
  std::unordered_map<GdiHandle, Context>::node_type spareContext_;
  std::unordered_map<FigureKey, std::vector<FigureRun>, FigureKeyHash> figures_;
  GdiHandle stockBitmap_ = 0;
  GdiHandle stockPen_ = 0;
  GdiHandle stockBrush_ = 0;
  GdiHandle stockFont_ = 0;
};

}  // namespace tarvex
