#include "app/window_seams.h"

#include <QPainter>
#include <QPixmap>

namespace tarvex {

namespace {

// A round lamp of the colour on a transparent square.
QIcon Lamp(const QColor& colour) {
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 2));
  painter.setBrush(colour);
  painter.drawEllipse(3, 3, 26, 26);
  painter.end();
  return QIcon(picture);
}

QIcon Picture(ActivityImage image) {
  static const QIcon iRcv = Lamp(QColor(0, 192, 0));
  static const QIcon iXmit = Lamp(QColor(224, 0, 0));
  static const QIcon iIdle = Lamp(QColor(160, 160, 160));
  switch (image) {
    case ActivityImage::Receive: return iRcv;
    case ActivityImage::Transmit: return iXmit;
    case ActivityImage::Idle: break;
  }
  return iIdle;
}

}  // namespace

void WindowActivityIcons::SetWindowIcon(ActivityImage image) {
  current_ = image;
  if (window_) window_->setWindowIcon(Picture(image));
}

void WindowActivityIcons::ShowWindowIconInTray() {
  if (showInTray_) showInTray_(Picture(current_));
}

}  // namespace tarvex
