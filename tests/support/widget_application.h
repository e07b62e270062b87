#pragma once
// The QApplication that widget tests need, made once per test program before
// anything would make a plain GUI application; and the pictures of a widget
// that a test saves when TARVEX_SCREENSHOTS names a folder.
#include <QApplication>
#include <QDir>
#include <QWidget>

namespace tarvex::test {

inline void EnsureWidgetApplication() {
  static int argc = 1;
  static char name[] = "tarvex-widget-tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);
}

// A base that makes the application before the fixtures after it in a class's
// bases are built.
class WidgetApplication {
protected:
  WidgetApplication() { EnsureWidgetApplication(); }
};

// Saves the widget as <name> in the folder TARVEX_SCREENSHOTS names, if any.
inline void SaveScreenshot(QWidget& widget, const char* name) {
  const QByteArray folder = qgetenv("TARVEX_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  widget.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QLatin1String(name));
}

}  // namespace tarvex::test
