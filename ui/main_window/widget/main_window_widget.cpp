#include "ui/main_window/widget/main_window_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "core/grid/grid_background.h"
#include "platform/tray/window_manager.h"

namespace tarvex {

namespace {

// The modifier bits of the original key events: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftBits(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

MainWindowWidget::MainWindowWidget(const GridLayout& layout, int maxChannel, Gdi& gdi)
    : places_(MainWindowPlacesFor(layout)), canvas_(places_.client), gdi_(gdi) {
  setObjectName(QStringLiteral("frmTVM"));
  setWindowTitle(QStringLiteral("Tarvex Manager - Channels"));
  setFixedSize(places_.client);
  PaintGridBackground(canvas_.Image(), layout, maxChannel);
  hWnd_ = gdi_.RegisterWindow(canvas_);
  canvasWidget_ = new CanvasWidget(canvas_, this);
  canvasWidget_->setObjectName(QStringLiteral("i800600Weighscreen"));
  canvasWidget_->setMouseTracking(true);
  canvasWidget_->installEventFilter(this);
  connect(canvasWidget_, &CanvasWidget::exposedAnew, this, [this] {
    if (window_) window_->Form_Paint();
  });

  QFont font = this->font();
  font.setPixelSize(places_.fontPixels);
  setFont(font);
  setStyleSheet(QStringLiteral("QPushButton { padding: 0px 1px; }"));

  for (int index = 0; index < ChannelButtonCount; ++index) {
    const QString suffix = QStringLiteral("(%1)").arg(index);
    cmdSetup_[static_cast<size_t>(index)] =
        button(QStringLiteral("cmdSetup") + suffix, QStringLiteral("<< Setup..."),
               QStringLiteral("Setup Tarvex Interface For This Scale Device Channel (Row)..."), places_.setup[index]);
    cmdDetail_[static_cast<size_t>(index)] =
        button(QStringLiteral("cmdDetail") + suffix, QStringLiteral("<< Detail..."),
               QStringLiteral("Display Device Detail For This Scale Device Channel (Row)..."), places_.detail[index]);
    cmdSetup_[static_cast<size_t>(index)]->setVisible(index <= maxChannel);
    cmdDetail_[static_cast<size_t>(index)]->setVisible(index <= maxChannel);
    connect(cmdSetup_[static_cast<size_t>(index)], &QPushButton::clicked, this, [this, index] {
      if (window_) window_->cmdSetup_Click(index);
    });
    connect(cmdDetail_[static_cast<size_t>(index)], &QPushButton::clicked, this, [this, index] {
      if (window_) window_->cmdDetail_Click(index);
    });
  }
  cmdRefresh_ = button(QStringLiteral("cmdRefresh"), QStringLiteral("&Refresh..."), QString(), places_.cmdRefresh);
  CmdHelp_ = button(QStringLiteral("CmdHelp"), QStringLiteral("&Help..."),
                    QStringLiteral("Display/Print Tarvex Information And Help..."), places_.CmdHelp);
  cmdPutInTray_ = button(QStringLiteral("cmdPutInTray"), QStringLiteral("__"),
                         QStringLiteral("Run Tarvex In Background Mode..."), places_.cmdPutInTray);
  cmdEnd_ = button(QStringLiteral("cmdEnd"), QStringLiteral("X"), QStringLiteral("Shut Off Tarvex Manager..."),
                   places_.cmdEnd);
  connect(cmdRefresh_, &QPushButton::clicked, this, [this] {
    if (window_) window_->cmdRefresh_Click();
  });
  connect(cmdPutInTray_, &QPushButton::clicked, this, [this] {
    if (window_) window_->cmdPutInTray_Click();
  });
  connect(cmdEnd_, &QPushButton::clicked, this, [this] {
    if (window_) window_->cmdEnd_Click();
  });

  QLabel* title = label(QStringLiteral("lTitle"), QStringLiteral("Tarvex Manager"), places_.lTitle);
  QFont titleFont = title->font();
  titleFont.setPixelSize(places_.lTitle.height() - 8);
  titleFont.setBold(true);
  title->setFont(titleFont);
  title->setStyleSheet(QStringLiteral("color: #000080;"));
  lDebugMode_ = label(QStringLiteral("lDebugMode"), QStringLiteral("DEBUG MODE"), places_.lDebugMode);
  lDebugMode_->setAlignment(Qt::AlignCenter);
  lDebugMode_->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold;"));
  lDebugMode_->hide();
  lRevision_ = label(QStringLiteral("lRevision"), QString(), places_.lRevision);
  lfx_ = label(QStringLiteral("lfx"), QString(), places_.lfx);
  lfy_ = label(QStringLiteral("lfy"), QString(), places_.lfy);
}

MainWindowWidget::~MainWindowWidget() { gdi_.UnregisterWindow(hWnd_); }

QPushButton* MainWindowWidget::button(const QString& name, const QString& caption, const QString& toolTip,
                                      const QRect& place) {
  auto* created = new QPushButton(caption, this);
  created->setObjectName(name);
  if (!toolTip.isEmpty()) created->setToolTip(toolTip);
  created->setGeometry(place);
  created->installEventFilter(this);
  return created;
}

QLabel* MainWindowWidget::label(const QString& name, const QString& text, const QRect& place) {
  auto* created = new QLabel(text, this);
  created->setObjectName(name);
  created->setGeometry(place);
  created->setAttribute(Qt::WA_TransparentForMouseEvents);
  return created;
}

void MainWindowWidget::Render(const MainWindowControls& controls) {
  keyPreview_ = controls.KeyPreview;
  setEnabled(controls.Enabled);
  if (controls.MousePointer == MousePointer::Hourglass) setCursor(Qt::WaitCursor);
  else unsetCursor();
  for (size_t index = 0; index < cmdSetup_.size(); ++index) {
    cmdSetup_[index]->setEnabled(controls.cmdSetupEnabled[index]);
    cmdDetail_[index]->setEnabled(controls.cmdDetailEnabled[index]);
  }
  cmdRefresh_->setEnabled(controls.cmdRefreshEnabled);
  CmdHelp_->setEnabled(controls.CmdHelpEnabled);
  cmdPutInTray_->setEnabled(controls.cmdPutInTrayEnabled);
  cmdEnd_->setEnabled(controls.cmdEndEnabled);
  lDebugMode_->setVisible(controls.lDebugModeVisible);
  lRevision_->setText(QString::fromStdString(controls.lRevision));
  lfx_->setText(QString::fromStdString(controls.lfx));
  lfy_->setText(QString::fromStdString(controls.lfy));
  if (controls.Visible && !isVisible()) {
    // Every show, from the tray or at Continue, puts the window on screen in
    // its normal state, also after it was minimised and restored.
    ShowNormalOnNextMap(*this);
    show();
    raise();
    activateWindow();
  } else if (!controls.Visible && isVisible()) {
    hide();
  }
}

void MainWindowWidget::ProcessEvents() { QCoreApplication::processEvents(); }

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  // The window is hidden, never closed, while the program runs: End does that.
  event->ignore();
  if (window_) window_->CloseRequested();
}

void MainWindowWidget::forwardKey(const QKeyEvent& event) {
  const int key = event.key();
  if (window_ && key >= 0 && key <= 0xFF) window_->Form_KeyDown(key, ShiftBits(event.modifiers()));
}

void MainWindowWidget::keyPressEvent(QKeyEvent* event) {
  forwardKey(*event);
  QWidget::keyPressEvent(event);
}

bool MainWindowWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && keyPreview_ && watched != this) {
    // The keys the window acts on stop here; the rest go on to the button
    // (and, when it leaves them, up to the window, where they do nothing).
    const auto& key = static_cast<const QKeyEvent&>(*event);
    forwardKey(key);
    if (ShiftBits(key.modifiers()) != 0 && (key.key() == Qt::Key_M || key.key() == Qt::Key_X)) return true;
  } else if (event->type() == QEvent::MouseMove && watched == canvasWidget_ && window_) {
    const QPointF at = static_cast<const QMouseEvent&>(*event).position();
    window_->Form_MouseMove(static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvex
