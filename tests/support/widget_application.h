#pragma once
// The QApplication that widget tests need, made once per test program before
// anything would make a plain GUI application.
#include <QApplication>

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

}  // namespace tarvex::test
