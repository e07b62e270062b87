#include "startup_artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tarvex {

namespace {

const QColor Navy(0x1f, 0x3a, 0x68);
const QColor Steel(0x8a, 0x9b, 0xb4);
const QColor Amber(0xf2, 0xa9, 0x00);

bool Large(ScreenLayout layout) { return layout == ScreenLayout::Width1024; }

// A transparent picture of the size to draw on.
QPixmap Blank(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A balance: a post, a beam and two hanging pans, inside the given box.
void DrawBalance(QPainter& painter, const QRectF& box, const QColor& colour) {
  QPen pen(colour, box.width() / 28.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const qreal cx = box.center().x();
  const qreal top = box.top() + box.height() * 0.12;
  const qreal beamY = box.top() + box.height() * 0.25;
  const qreal left = box.left() + box.width() * 0.12;
  const qreal right = box.right() - box.width() * 0.12;
  painter.drawLine(QPointF(cx, top), QPointF(cx, box.bottom() - box.height() * 0.08));
  painter.drawLine(QPointF(cx - box.width() * 0.2, box.bottom() - box.height() * 0.08),
                   QPointF(cx + box.width() * 0.2, box.bottom() - box.height() * 0.08));
  painter.drawLine(QPointF(left, beamY), QPointF(right, beamY));
  const qreal panY = box.top() + box.height() * 0.62;
  const qreal panHalf = box.width() * 0.13;
  for (qreal x : {left, right}) {
    painter.drawLine(QPointF(x, beamY), QPointF(x - panHalf, panY));
    painter.drawLine(QPointF(x, beamY), QPointF(x + panHalf, panY));
    QPainterPath pan;
    pan.moveTo(x - panHalf, panY);
    pan.quadTo(x, panY + box.height() * 0.16, x + panHalf, panY);
    pan.closeSubpath();
    painter.drawPath(pan);
  }
}

}  // namespace

QSize LogoSize(ScreenLayout layout) { return Large(layout) ? QSize(220, 150) : QSize(170, 116); }

QSize MenuSize(ScreenLayout layout) { return Large(layout) ? QSize(300, 230) : QSize(240, 184); }

QPixmap DrawMakerLogo(ScreenLayout layout) {
  const QSize size = LogoSize(layout);
  QPixmap pixmap = Blank(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);

  const QRectF disc(size.width() * 0.5 - size.height() * 0.33, size.height() * 0.04, size.height() * 0.66,
                    size.height() * 0.66);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Navy);
  painter.drawEllipse(disc);
  painter.setBrush(Amber);
  painter.drawPie(disc.adjusted(disc.width() * 0.08, disc.height() * 0.08, -disc.width() * 0.08,
                                -disc.height() * 0.08),
                  30 * 16, 120 * 16);
  DrawBalance(painter, disc.adjusted(disc.width() * 0.18, disc.height() * 0.18, -disc.width() * 0.18,
                                     -disc.height() * 0.12),
              Qt::white);

  QFont font(QStringLiteral("Arial"));
  font.setBold(true);
  font.setPixelSize(size.height() / 8);
  font.setLetterSpacing(QFont::PercentageSpacing, 115);
  painter.setFont(font);
  painter.setPen(Navy);
  const QRectF nameBox(0, size.height() * 0.74, size.width(), size.height() * 0.16);
  painter.drawText(nameBox, Qt::AlignCenter, QStringLiteral("VELMAR ORINDA"));
  font.setBold(false);
  font.setPixelSize(size.height() / 14);
  painter.setFont(font);
  painter.setPen(Steel);
  painter.drawText(QRectF(0, size.height() * 0.88, size.width(), size.height() * 0.12), Qt::AlignCenter,
                   QStringLiteral("industrial weighing"));
  return pixmap;
}

QPixmap DrawMainChoicePanel(ScreenLayout layout) {
  const QSize size = MenuSize(layout);
  QPixmap pixmap = Blank(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);

  const QRectF panel = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
  QLinearGradient shade(panel.topLeft(), panel.bottomLeft());
  shade.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
  shade.setColorAt(1, QColor(0xd6, 0xde, 0xea));
  painter.setPen(QPen(Steel, 2));
  painter.setBrush(shade);
  const qreal radius = size.height() / 14.0;
  painter.drawRoundedRect(panel, radius, radius);

  // A weighing terminal: a housing with a lit display and three keys.
  const QRectF housing(size.width() * 0.18, size.height() * 0.1, size.width() * 0.64, size.height() * 0.42);
  painter.setPen(QPen(Navy, 2));
  painter.setBrush(QColor(0x3b, 0x4a, 0x63));
  painter.drawRoundedRect(housing, radius / 2, radius / 2);
  const QRectF display = housing.adjusted(housing.width() * 0.08, housing.height() * 0.12, -housing.width() * 0.08,
                                          -housing.height() * 0.45);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x10, 0x24, 0x14));
  painter.drawRect(display);
  QFont digits(QStringLiteral("DejaVu Sans Mono"));
  digits.setBold(true);
  digits.setPixelSize(int(display.height() * 0.7));
  painter.setFont(digits);
  painter.setPen(QColor(0x5c, 0xf0, 0x7a));
  painter.drawText(display.adjusted(0, 0, -display.width() * 0.05, 0), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("0.00 kg"));
  const qreal keyY = housing.top() + housing.height() * 0.68;
  const qreal keySize = housing.height() * 0.2;
  const QColor keys[] = {QColor(0x4c, 0xb0, 0x50), Amber, QColor(0xd8, 0x43, 0x3b)};
  for (int k = 0; k < 3; ++k) {
    painter.setBrush(keys[k]);
    painter.drawEllipse(QRectF(housing.left() + housing.width() * (0.22 + 0.22 * k), keyY, keySize, keySize));
  }

  QFont caption(QStringLiteral("Arial"));
  caption.setPixelSize(size.height() / 13);
  painter.setFont(caption);
  painter.setPen(Navy);
  painter.drawText(QRectF(0, size.height() * 0.55, size.width(), size.height() * 0.12), Qt::AlignCenter,
                   QStringLiteral("Start the channel manager"));
  return pixmap;
}

}  // namespace tarvex
