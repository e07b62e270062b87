#include "qt_screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tarvex {

int QtScreen::PrimaryWidth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().width() : 0;
}

}  // namespace tarvex
