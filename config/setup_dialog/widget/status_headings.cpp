#include "config/setup_dialog/widget/status_headings.h"

#include <QFont>
#include <QPainter>

namespace tarvex {

namespace {

constexpr double TwipsPerPixel = 15.0;

}  // namespace

StatusHeadings::StatusHeadings(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Picture1")); }

void StatusHeadings::paintEvent(QPaintEvent*) {
  static const struct {
    int x;
    const char* text;
  } headings[] = {{108, "1st Char."}, {228, "Position"}, {450, "Field"},   {570, "Length"},
                  {770, "Validation"}, {890, "Bit Mask"}, {1100, "Enable"}, {1220, "Field"}};
  QPainter painter(this);
  QFont font(QStringLiteral("Lucida Sans"));
  // A character height of 120 twips in pixels.
  font.setPixelSize(qRound(120.0 / TwipsPerPixel));
  painter.setFont(font);
  for (const auto& heading : headings) {
    painter.save();
    painter.translate(heading.x / TwipsPerPixel, height());
    painter.rotate(-90);  // the text runs upward
    painter.drawText(QRectF(0, 0, height(), font.pixelSize() + 2), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromLatin1(heading.text));
    painter.restore();
  }
}

}  // namespace tarvex
