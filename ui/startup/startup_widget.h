#pragma once
// The start-up window on the screen: the controls of frmTarvexStartup under
// their own names, laid out for the screen's layout. It shows the state that
// the window's behaviour gives it and forwards the clicks of Continue and End.
// The window has no frame of its own; it ends only through End, so a close
// request from outside is refused.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "core/screen_layout.h"
#include "core/startup_window.h"

namespace tarvex {

class StartupWidget final : public QWidget, public StartupView {
  Q_OBJECT
public:
  explicit StartupWidget(ScreenLayout layout);

  void Render(const StartupControls& controls) override;
  void Refresh() override;
  void Close() override;

Q_SIGNALS:
  void continueClicked();
  void endClicked();

protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  QLabel* label(const QString& name, const QString& text, const QRect& geometry, QWidget* parent);
  int px(int value) const;

  double scale_;
  QFrame* Frame1_;
  QLabel* lRevision_;
  QLabel* iVOLogo800_;
  QLabel* iVOLogo1024_;
  QLabel* iMenu800_;
  QLabel* iMenu1024_;
  QPushButton* CmdContinue_;
  QPushButton* cmdEnd_;
};

}  // namespace tarvex
