#include "gdi.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/ansi_text.h"
#include "platform/drawing/window_canvas.h"

namespace tarvex {

namespace {

QColor ToQColor(ColorRef color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

// The average character width of a font description is the width of text in
// ordinary English: lower-case letters and the blank weighted by how often
// they occur (per thousand characters). Measuring it this way keeps a
// description's width meaning the same whichever face stands in for the
// named one.
double WeightedAverageWidth(const QFont& font) {
  static constexpr std::pair<char, int> Frequencies[] = {
      {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
      {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
      {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166}};
  const QFontMetricsF metrics(font);
  double total = 0;
  for (const auto& [character, weight] : Frequencies) {
    total += weight * metrics.horizontalAdvance(QChar(QLatin1Char(character)));
  }
  return total / 1000.0;
}

// What QPainter::fillRect gives an opaque white: the part inside the image.
void FillWhite(QImage& image, const QRect& area) {
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + inside.left(), row + inside.right() + 1, QRgb{0xFFFFFFFF});
  }
}

void PlainPainting(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
}

}  // namespace

QFont MakeFont(const LogFont& description) {
  QFont font(description.FaceName.empty() ? QStringLiteral("Arial") : FromAnsi(description.FaceName));
  font.setStyleStrategy(QFont::NoAntialias);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(description.Weight == 0 ? 400 : description.Weight, 1, 1000)));
  font.setItalic(description.Italic);
  font.setUnderline(description.Underline);
  font.setStrikeOut(description.StrikeOut);
  if (description.Height < 0) {
    font.setPixelSize(-description.Height);
  } else {
    // The largest em whose character cell (ascent plus descent) fits the height.
    const int cell = description.Height > 0 ? description.Height : 16;
    int pixels = cell;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > cell) font.setPixelSize(--pixels);
  }
  if (description.Width > 0) {
    const double natural = WeightedAverageWidth(font);
    if (natural > 0) {
      font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * description.Width / natural)), 1, 4000));
    }
  }
  return font;
}

Gdi::Gdi() {
  Object bitmap(Kind::Bitmap);
  bitmap.stock = true;
  bitmap.image = QImage(1, 1, QImage::Format_RGB32);
  bitmap.image.fill(Qt::black);
  stockBitmap_ = AddObject(std::move(bitmap));

  Object pen(Kind::Pen);
  pen.stock = true;
  pen.color = ColorOf(0, 0, 0);
  stockPen_ = AddObject(std::move(pen));

  Object brush(Kind::Brush);
  brush.stock = true;
  brush.color = ColorOf(255, 255, 255);
  stockBrush_ = AddObject(std::move(brush));

  Object font(Kind::Font);
  font.stock = true;
  font.font.Height = 16;
  font.font.Weight = 700;
  stockFont_ = AddObject(std::move(font));
}

GdiHandle Gdi::AddObject(Object object) {
  const GdiHandle handle = NewHandle();
  objects_.emplace(handle, std::move(object));
  return handle;
}

GdiHandle Gdi::AddContext(Context context) {
  context.pen = stockPen_;
  context.brush = stockBrush_;
  context.font = stockFont_;
  if (context.window == 0) {
    context.bitmap = stockBitmap_;
    context.image = &FindObject(stockBitmap_)->image;
  }
  // A new context holds stock objects only, whose selections nobody counts.
  const GdiHandle handle = NewHandle();
  if (spareContext_.empty()) {
    contexts_.emplace(handle, context);
  } else {
    // The node of the last released context, so that the grid's GetDC and
    // ReleaseDC around every cell it copies allocate nothing.
    spareContext_.key() = handle;
    spareContext_.mapped() = context;
    contexts_.insert(std::move(spareContext_));
    spareContext_ = {};
  }
  return handle;
}

bool Gdi::IsStock(GdiHandle handle) const {
  return handle == stockBitmap_ || handle == stockPen_ || handle == stockBrush_ || handle == stockFont_;
}

void Gdi::Release(GdiHandle hDC) {
  auto node = contexts_.extract(hDC);
  if (spareContext_.empty()) spareContext_ = std::move(node);
}

Gdi::Object* Gdi::FindObject(GdiHandle handle) {
  const auto found = objects_.find(handle);
  return found == objects_.end() ? nullptr : &found->second;
}

Gdi::Context* Gdi::FindContext(GdiHandle handle) {
  const auto found = contexts_.find(handle);
  return found == contexts_.end() ? nullptr : &found->second;
}

QImage* Gdi::TargetImage(const Context& context) {
  if (context.window != 0) {
    const auto window = windows_.find(context.window);
    return window == windows_.end() ? nullptr : &window->second->Image();
  }
  return context.image;
}

void Gdi::TargetChanged(const Context& context, const QRect& area) {
  if (context.window == 0) return;
  const auto window = windows_.find(context.window);
  if (window != windows_.end()) window->second->Changed(area);
}

const QFont& Gdi::ResolvedFont(Object& font) {
  if (!font.resolved) {
    font.resolved = MakeFont(font.font);
    const QFontMetrics metrics(*font.resolved);
    font.ascent = metrics.ascent();
    font.cellHeight = metrics.height();
    font.stamp = std::make_unique<NumberStamp>(*font.resolved, font.ascent);
  }
  return *font.resolved;
}

int Gdi::Advance(Object& font, std::string_view text) {
  ResolvedFont(font);
  if (const auto stamped = font.stamp->Advance(text)) return *stamped;
  constexpr std::size_t Remembered = 4096;
  const std::string key(text);
  if (const auto known = font.advances.find(key); known != font.advances.end()) return known->second;
  const int advance = QFontMetrics(ResolvedFont(font)).horizontalAdvance(FromAnsi(text));
  if (font.advances.size() >= Remembered) font.advances.clear();
  font.advances.emplace(key, advance);
  return advance;
}

void Gdi::DropSelections(const Context& context) {
  for (GdiHandle held : {context.pen, context.brush, context.font, context.bitmap}) {
    if (IsStock(held)) continue;
    if (Object* object = FindObject(held)) --object->selections;
  }
}

GdiHandle Gdi::RegisterWindow(WindowCanvas& canvas) {
  const GdiHandle handle = NewHandle();
  windows_.emplace(handle, &canvas);
  return handle;
}

void Gdi::UnregisterWindow(GdiHandle hWnd) { windows_.erase(hWnd); }

GdiHandle Gdi::GetDC(GdiHandle hWnd) {
  if (windows_.find(hWnd) == windows_.end()) return 0;
  Context context;
  context.window = hWnd;
  return AddContext(context);
}

int Gdi::ReleaseDC(GdiHandle hWnd, GdiHandle hDC) {
  const Context* context = FindContext(hDC);
  if (!context || hWnd == 0 || context->window != hWnd) return 0;
  DropSelections(*context);
  Release(hDC);
  return 1;
}

GdiHandle Gdi::CreateCompatibleDC(GdiHandle hDC) {
  if (hDC != 0 && !FindContext(hDC)) return 0;
  return AddContext(Context{});
}

GdiHandle Gdi::CreateCompatibleBitmap(GdiHandle hDC, int width, int height) {
  if (!FindContext(hDC) || width <= 0 || height <= 0) return 0;
  Object bitmap(Kind::Bitmap);
  bitmap.image = QImage(width, height, QImage::Format_RGB32);
  if (bitmap.image.isNull()) return 0;
  bitmap.image.fill(Qt::black);
  return AddObject(std::move(bitmap));
}

GdiHandle Gdi::CreatePen(int style, int width, ColorRef color) {
  if (style != PenStyle::Solid) return 0;
  Object pen(Kind::Pen);
  pen.color = color;
  pen.penWidth = std::max(width, 1);
  return AddObject(std::move(pen));
}

GdiHandle Gdi::CreateBrushIndirect(const LogBrush& brush) {
  if (brush.Style != BrushStyle::Solid) return 0;
  Object object(Kind::Brush);
  object.color = brush.Color;
  return AddObject(std::move(object));
}

GdiHandle Gdi::CreateFontIndirect(const LogFont& font) {
  Object object(Kind::Font);
  object.font = font;
  return AddObject(std::move(object));
}

GdiHandle Gdi::SelectObject(GdiHandle hDC, GdiHandle handle) {
  Context* context = FindContext(hDC);
  Object* object = FindObject(handle);
  if (!context || !object) return 0;
  GdiHandle* slot = nullptr;
  switch (object->kind) {
    case Kind::Bitmap:
      // Only a memory context holds a bitmap, and a bitmap sits in one context.
      if (context->window != 0) return 0;
      if (!object->stock && object->selections > 0 && context->bitmap != handle) return 0;
      slot = &context->bitmap;
      break;
    case Kind::Pen: slot = &context->pen; break;
    case Kind::Brush: slot = &context->brush; break;
    case Kind::Font: slot = &context->font; break;
  }
  const GdiHandle previous = *slot;
  if (previous == handle) return previous;
  if (!IsStock(previous)) {
    if (Object* held = FindObject(previous)) --held->selections;
  }
  if (!object->stock) ++object->selections;
  *slot = handle;
  if (object->kind == Kind::Bitmap) context->image = &object->image;
  return previous;
}

int Gdi::DeleteObject(GdiHandle handle) {
  const Object* object = FindObject(handle);
  if (!object) return 0;
  if (object->stock) return 1;
  if (object->selections > 0) return 0;
  objects_.erase(handle);
  return 1;
}

int Gdi::DeleteDC(GdiHandle hDC) {
  const Context* context = FindContext(hDC);
  if (!context || context->window != 0) return 0;
  DropSelections(*context);
  Release(hDC);
  return 1;
}

int Gdi::BitBlt(GdiHandle dest, int x, int y, int width, int height, GdiHandle source, int sourceX, int sourceY,
                std::uint32_t rop) {
  Context* to = FindContext(dest);
  Context* from = FindContext(source);
  if (!to || !from || rop != SourceCopy) return 0;
  QImage* target = TargetImage(*to);
  QImage* origin = TargetImage(*from);
  if (!target || !origin) return 0;
  // The part of the source that exists, then the part of that which lands
  // inside the target.
  const QRect wanted(sourceX, sourceY, width, height);
  const QRect available = wanted.intersected(origin->rect());
  if (available.isEmpty()) return 1;
  const QPoint offset(x - sourceX, y - sourceY);
  const QRect landing = available.translated(offset).intersected(target->rect());
  if (landing.isEmpty()) return 1;
  if (CopyPixels(*origin, landing.translated(-offset).topLeft(), *target, landing)) TargetChanged(*to, landing);
  return 1;
}

// Copies the pixels of `area` of the target from `origin` at `from`; true
// when any pixel of the target changed. Source and target may be one image.
bool Gdi::CopyPixels(const QImage& origin, QPoint from, QImage& target, const QRect& area) {
  if (origin.format() != target.format() || origin.depth() != 32) {
    const QImage piece = origin.copy(QRect(from, area.size()));
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), piece);
    return true;
  }
  const auto rowBytes = static_cast<std::size_t>(area.width()) * 4;
  // Rows go bottom up when a copy within one image moves its pixels down, so
  // no row is overwritten before it has been read.
  const bool upwards = &origin == &target && area.y() > from.y();
  bool changed = false;
  for (int step = 0; step < area.height(); ++step) {
    const int row = upwards ? area.height() - 1 - step : step;
    const std::size_t fromX = static_cast<std::size_t>(from.x()) * 4;
    const std::size_t toX = static_cast<std::size_t>(area.x()) * 4;
    const uchar* in = origin.constScanLine(from.y() + row) + fromX;
    // Read through the constant side first: writing access detaches an
    // image that shares its pixels.
    if (std::memcmp(in, std::as_const(target).constScanLine(area.y() + row) + toX, rowBytes) == 0) continue;
    in = origin.constScanLine(from.y() + row) + fromX;  // the detach may have moved a shared source
    std::memmove(target.scanLine(area.y() + row) + toX, in, rowBytes);
    changed = true;
  }
  return changed;
}

int Gdi::SetBkMode(GdiHandle hDC, int mode) {
  Context* context = FindContext(hDC);
  if (!context || (mode != BkMode::Transparent && mode != BkMode::Opaque)) return 0;
  return std::exchange(context->bkMode, mode);
}

ColorRef Gdi::SetTextColor(GdiHandle hDC, ColorRef color) {
  Context* context = FindContext(hDC);
  if (!context) return InvalidColor;
  return std::exchange(context->textColor, color);
}

unsigned Gdi::SetTextAlign(GdiHandle hDC, unsigned align) {
  Context* context = FindContext(hDC);
  if (!context) return TextAlign::Invalid;
  return std::exchange(context->textAlign, align);
}

int Gdi::TextOut(GdiHandle hDC, int x, int y, std::string_view text) {
  Context* context = FindContext(hDC);
  if (!context) return 0;
  QImage* target = TargetImage(*context);
  Object* fontObject = FindObject(context->font);
  if (!target || !fontObject) return 0;
  const QFont& font = ResolvedFont(*fontObject);
  const int advance = Advance(*fontObject, text);
  const int left = (context->textAlign & TextAlign::Right) != 0 ? x - advance : x;
  const QRect cell(left, y, advance, fontObject->cellHeight);
  bool stamped = false;
  if (target->format() == QImage::Format_RGB32 && fontObject->stamp->Usable()) {
    if (context->bkMode == BkMode::Opaque) FillWhite(*target, cell);
    stamped = fontObject->stamp->Draw(*target, left, y, text, ToQColor(context->textColor).rgb());
  }
  if (!stamped) {
    QPainter painter(target);
    PlainPainting(painter);
    if (context->bkMode == BkMode::Opaque) painter.fillRect(cell, Qt::white);
    painter.setFont(font);
    painter.setPen(ToQColor(context->textColor));
    painter.drawText(QPoint(left, y + fontObject->ascent), FromAnsi(text));
  }
  TargetChanged(*context, cell);
  return 1;
}

int Gdi::GetTextExtentPoint32(GdiHandle hDC, std::string_view text, QSize& size) {
  const Context* context = FindContext(hDC);
  if (!context) return 0;
  Object* fontObject = FindObject(context->font);
  if (!fontObject) return 0;
  ResolvedFont(*fontObject);
  size = QSize(Advance(*fontObject, text), fontObject->cellHeight);
  return 1;
}

int Gdi::Ellipse(GdiHandle hDC, int left, int top, int right, int bottom) {
  Context* context = FindContext(hDC);
  if (!context) return 0;
  QImage* target = TargetImage(*context);
  const Object* pen = FindObject(context->pen);
  const Object* brush = FindObject(context->brush);
  if (!target || !pen || !brush) return 0;
  if (right - left < 2 || bottom - top < 2) return 1;
  // A stroked rectangle in QPainter covers one pixel more than its size; the
  // figure here stays inside left..right-1 and top..bottom-1.
  const QRect box(left, top, right - left - 1, bottom - top - 1);
  const FigureKey key{pen->color, brush->color, pen->penWidth, left, top, right, bottom, target->width(),
                      target->height()};
  if (target->format() == QImage::Format_RGB32 && target->width() <= RememberedSurfaceSide &&
      target->height() <= RememberedSurfaceSide) {
    for (const FigureRun& run : RememberedFigure(key)) {
      auto* row = reinterpret_cast<QRgb*>(target->scanLine(run.y));
      std::fill(row + run.x0, row + run.x1, run.colour);
    }
  } else {
    PaintEllipse(*target, key);
  }
  TargetChanged(*context, box.adjusted(0, 0, 1, 1));
  return 1;
}

void Gdi::PaintEllipse(QImage& target, const FigureKey& figure) {
  QPainter painter(&target);
  PlainPainting(painter);
  QPen outline(ToQColor(figure.pen));
  outline.setWidth(figure.penWidth);
  outline.setCosmetic(figure.penWidth == 1);
  painter.setPen(outline);
  painter.setBrush(ToQColor(figure.brush));
  painter.drawEllipse(QRect(figure.left, figure.top, figure.right - figure.left - 1, figure.bottom - figure.top - 1));
}

// The figure painted once onto black and once onto white, at its own place
// on a picture of the target's size (so cut where the target cuts it): the
// pixels alike in both are the ones it paints.
const std::vector<Gdi::FigureRun>& Gdi::RememberedFigure(const FigureKey& figure) {
  if (const auto known = figures_.find(figure); known != figures_.end()) return known->second;
  if (figures_.size() >= RememberedFigures) figures_.clear();
  const QSize size(figure.width, figure.height);
  QImage onBlack(size, QImage::Format_RGB32);
  QImage onWhite(size, QImage::Format_RGB32);
  onBlack.fill(Qt::black);
  onWhite.fill(Qt::white);
  PaintEllipse(onBlack, figure);
  PaintEllipse(onWhite, figure);
  std::vector<FigureRun> runs;
  for (int y = 0; y < size.height(); ++y) {
    const auto* black = reinterpret_cast<const QRgb*>(onBlack.constScanLine(y));
    const auto* white = reinterpret_cast<const QRgb*>(onWhite.constScanLine(y));
    for (int x = 0; x < size.width();) {
      if (black[x] != white[x]) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < size.width() && black[x] == white[x] && black[x] == black[start]) ++x;
      runs.push_back(FigureRun{static_cast<std::int16_t>(y), static_cast<std::int16_t>(start),
                               static_cast<std::int16_t>(x), black[start]});
    }
  }
  return figures_.emplace(figure, std::move(runs)).first->second;
}

std::size_t Gdi::LiveHandles() const {
  const auto made = std::count_if(objects_.begin(), objects_.end(), [](const auto& entry) { return !entry.second.stock; });
  return static_cast<std::size_t>(made) + contexts_.size();
}

}  // namespace tarvex
