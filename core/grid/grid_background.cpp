#include "core/grid/grid_background.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>

namespace tarvex {

namespace {

const QColor Face(212, 208, 200);
const QColor Shadow(128, 128, 128);
const QColor Highlight(255, 255, 255);
const QColor Socket(176, 172, 164);
const QColor Heading(0, 0, 0);

QRect Surface(const GridCellRect& place) { return QRect(place.x, place.y, place.width - 1, place.height - 1); }

// A sunken frame just outside the area: shadow above and left, highlight
// below and right.
void SunkenFrame(QPainter& painter, const QRect& area) {
  const QRect outer = area.adjusted(-1, -1, 1, 1);
  painter.setPen(Shadow);
  painter.drawLine(outer.topLeft(), outer.topRight());
  painter.drawLine(outer.topLeft(), outer.bottomLeft());
  painter.setPen(Highlight);
  painter.drawLine(outer.bottomLeft(), outer.bottomRight());
  painter.drawLine(outer.topRight(), outer.bottomRight());
}

QFont LabelFont(const GridLayout& layout) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleStrategy(QFont::NoAntialias);
  font.setPixelSize(layout.LayoutWidth == 800 ? 11 : 13);
  return font;
}

}  // namespace

QSize GridCanvasSize(const GridLayout& layout) {
  return layout.LayoutWidth == 800 ? QSize(792, 566) : QSize(1016, 736);
}

void PaintGridBackground(QImage& canvas, const GridLayout& layout, int maxChannel) {
  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.fillRect(canvas.rect(), Face);
  const int lastRow = std::clamp(maxChannel, 0, GridLayoutRows - 1);

  const QFont font = LabelFont(layout);
  const QFontMetrics metrics(font);
  painter.setFont(font);

  // Text fields end before the next field where the cells overlap, so every
  // field shows as a box of its own; a weight keeps room up to its text's end.
  const auto fieldOf = [&](int row, int column) {
    QRect field = Surface(GridCellPlace(layout, row, column));
    if (column >= GridColumn::Description && column < GridColumn::StatusText) {
      const GridCellRect next = GridCellPlace(layout, row, column + 1);
      field.setRight(std::min(field.right(), next.x - (column == GridColumn::Description ? 4 : 2)));
    }
    return field;
  };

  // The panel around the grid.
  const GridCellRect firstIndicator = GridCellPlace(layout, 0, GridColumn::ReceiveIndicator);
  const GridCellRect lastLamp = GridCellPlace(layout, lastRow, GridColumn::LastLamp);
  const int headingTop = GridRowBase(layout, 0) - metrics.height() - 4;
  const QRect panel(QPoint(firstIndicator.x - 8, headingTop - 4),
                    QPoint(lastLamp.x + lastLamp.width + 6, lastLamp.y + lastLamp.height + 4));
  painter.setPen(Shadow);
  painter.drawRect(panel);
  painter.setPen(Highlight);
  painter.drawRect(panel.adjusted(1, 1, 1, 1));

  // Headings, over the first row's cells.
  const auto heading = [&](const QRect& over, const QString& text, Qt::Alignment align) {
    painter.setPen(Heading);
    painter.drawText(QRect(over.left(), headingTop, over.width(), metrics.height()), align | Qt::AlignVCenter, text);
  };
  for (int column = GridColumn::ReceiveIndicator; column <= GridColumn::TransmitIndicator; ++column) {
    heading(Surface(GridCellPlace(layout, 0, column)), column == 0 ? QStringLiteral("R") : QStringLiteral("T"),
            Qt::AlignHCenter);
  }
  const GridCellRect transmit = GridCellPlace(layout, 0, GridColumn::TransmitIndicator);
  const GridCellRect description = GridCellPlace(layout, 0, GridColumn::Description);
  const QRect labelColumn(QPoint(transmit.x + transmit.width + 2, 0), QPoint(description.x - 4, 0));
  heading(labelColumn, QStringLiteral("Scale"), Qt::AlignHCenter);
  heading(fieldOf(0, GridColumn::Description), QStringLiteral("Description"), Qt::AlignLeft);
  heading(fieldOf(0, GridColumn::Gross), QStringLiteral("Gross"), Qt::AlignRight);
  heading(fieldOf(0, GridColumn::Tare), QStringLiteral("Tare"), Qt::AlignRight);
  heading(fieldOf(0, GridColumn::Net), QStringLiteral("Net"), Qt::AlignRight);
  heading(fieldOf(0, GridColumn::StatusText), QStringLiteral("Status"), Qt::AlignLeft);
  const GridCellRect firstLamp = GridCellPlace(layout, 0, GridColumn::FirstLamp);
  heading(QRect(QPoint(firstLamp.x, 0), QPoint(lastLamp.x + lastLamp.width - 2, 0)), QStringLiteral("Lamps"),
          Qt::AlignHCenter);

  for (int row = 0; row <= lastRow; ++row) {
    const int base = GridRowBase(layout, row);
    // The row's number stands on the same line as the row's texts.
    const QString number = QString::number(row + 1);
    painter.setPen(Heading);
    painter.drawText(QPoint(labelColumn.center().x() - metrics.horizontalAdvance(number) / 2,
                            base + layout.TextY + metrics.ascent()),
                     number);

    for (int column = GridColumn::Description; column <= GridColumn::StatusText; ++column) {
      const QRect field = fieldOf(row, column);
      painter.fillRect(field, Highlight);
      SunkenFrame(painter, field);
    }
    // Empty sockets in the shape a lit indicator or lamp fills.
    painter.setPen(Shadow);
    painter.setBrush(Socket);
    for (int column = GridColumn::ReceiveIndicator; column <= GridColumn::LastLamp; ++column) {
      const GridCellRect place = GridCellPlace(layout, row, column);
      const int top = column <= GridColumn::TransmitIndicator ? 0 : 1;
      painter.drawEllipse(QRect(place.x + 1, place.y + top, layout.LedWidth - 2, layout.LedHeight - top - 1));
    }
    painter.setBrush(Qt::NoBrush);
  }
}

}  // namespace tarvex
