#pragma once
// The manager's QApplication. A run-time error that no handler of the manager
// caught ends the program the way the original platform's run-time error
// report did: a box with the number and description, a line on stderr and a
// non-zero exit status. Events are the only way code runs after start-up, so
// the event dispatch is where such an error is caught.
#include <QApplication>
#include <exception>

#include "platform/message_box.h"

namespace tarvex {

class TarvexApplication final : public QApplication {
public:
  TarvexApplication(int& argc, char** argv, MessageBox*& messageBox);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the report of an error nothing else handled and returns the exit
  // status to end with. A RunTimeError keeps its number; anything else is an
  // internal error.
  static int ReportUncaughtError(MessageBox* box, const std::exception& error);

private:
  MessageBox*& messageBox_;
};

}  // namespace tarvex
