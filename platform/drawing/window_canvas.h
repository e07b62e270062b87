#pragma once
// The retained picture of a window's client area. Everything the grid draws
// onto "the window" lands in this image; the window itself only paints the
// image. Each change names its rectangle so that the window repaints just that.
#include <QImage>
#include <QRect>
#include <QSize>
#include <functional>

namespace tarvex {

class WindowCanvas {
public:
  explicit WindowCanvas(QSize clientSize);

  QImage& Image() noexcept { return image_; }
  const QImage& Image() const noexcept { return image_; }

  // Called with the changed rectangle (clipped to the image) after every
  // change reported through Changed; the window asks for a repaint there.
  void SetRepaintRequest(std::function<void(const QRect&)> request) { request_ = std::move(request); }
  void Changed(const QRect& area);

private:
  QImage image_;
  std::function<void(const QRect&)> request_;
};

}  // namespace tarvex
