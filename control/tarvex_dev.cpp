#include "control/tarvex_dev.h"

#include "control/bus_manager_session.h"
#include "platform/qt_message_box.h"

namespace tarvex {

TarvexDev::TarvexDev(QWidget* parent)
    : QWidget(parent),
      ownSession_(std::make_unique<BusManagerSession>()),
      ownMessages_(MakeMessageBox()),
      control_(std::make_unique<DevControl>(*ownSession_, *ownMessages_)) {
  Attach();
}

TarvexDev::TarvexDev(ManagerSession& session, MessageBox& messages, QWidget* parent)
    : QWidget(parent), control_(std::make_unique<DevControl>(session, messages)) {
  Attach();
}

// The control goes before the session and message box it uses.
TarvexDev::~TarvexDev() { control_.reset(); }

void TarvexDev::Attach() {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Explicitly hidden, it stays hidden when the host shows its form.
  hide();
  connect(control_.get(), &DevControl::PropertyChanged, this, &TarvexDev::PropertyChanged);
  connect(control_.get(), &DevControl::Update, this, &TarvexDev::Update);
}

// The size of the control's toolbox picture.
QSize TarvexDev::sizeHint() const { return QSize(16, 15); }

}  // namespace tarvex
