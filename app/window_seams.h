#pragma once
// What the engine reaches of the main window, made before the window itself:
// the engine is built at start-up, the window when the start-up window first
// launches it. Until then the grid cells are empty (nothing is drawn, every
// lamp reads off), the window calls do nothing and the refresh dialog reads
// closed; the icons keep their pictures for the window that comes.
#include <QApplication>

#include "core/grid/grid_display.h"
#include "engine/errors/scan_error_handling.h"
#include "engine/scan_window.h"
#include "platform/beep.h"
#include "publish/activity_icons.h"
#include "publish/detail_labels.h"
#include "publish/grid_cells.h"

namespace tarvex {

class GridCellsSlot final : public GridCells, public ScanErrorWindow {
public:
  void Set(GridDisplay* display) { display_ = display; }
  void SetCellDirty(int32_t ch, int col) override {
    if (display_) display_->SetCellDirty(ch, col);
  }
  bool IndicatorOn(int32_t ch, int col) const override { return display_ && display_->IndicatorOn(ch, col); }
  void SetIndicatorOn(int32_t ch, int col, bool on) override {
    if (display_) display_->SetIndicatorOn(ch, col, on);
  }
  void DrawCell(int32_t ch, int col) override {
    if (display_) display_->DrawCell(ch, col);
  }
  void MarkAllCellsDirty() override {
    if (display_) display_->MarkAllCellsDirty();
  }

private:
  GridDisplay* display_ = nullptr;
};

class ScanWindowSlot final : public ScanWindow, public TransmitRateLabel {
public:
  void Set(ScanWindow* window) { window_ = window; }
  void SetTransmitRateLabel(TransmitRateLabel* label) { transmitRate_ = label; }
  void SetMousePointer(int pointer) override {
    if (window_) window_->SetMousePointer(pointer);
  }
  void PutInTray() override {
    if (window_) window_->PutInTray();
  }
  bool RefreshDialogOpen() const override { return window_ && window_->RefreshDialogOpen(); }
  void ShowScanRate(int32_t passesPerSecond) override {
    if (window_) window_->ShowScanRate(passesPerSecond);
  }
  void ShowTransmitRate(int32_t ticksPerSecond) override {
    if (transmitRate_) transmitRate_->ShowTransmitRate(ticksPerSecond);
  }

private:
  ScanWindow* window_ = nullptr;
  TransmitRateLabel* transmitRate_ = nullptr;
};

// The window toolkit's beep.
class QtBeeper final : public Beeper {
public:
  void Beep() override { QApplication::beep(); }
};

// The window's icon (iRcv, iXmit, iIdle) and with it the tray icon, reached
// once the main window's assembly has made its tray icon. The picture asked
// for before is kept and given to the icons when they come.
class ActivityIconsSlot final : public ActivityIcons {
public:
  void Set(ActivityIcons* icons) {
    icons_ = icons;
    if (icons_) icons_->SetWindowIcon(current_);
  }
  void SetWindowIcon(ActivityImage image) override {
    current_ = image;
    if (icons_) icons_->SetWindowIcon(image);
  }
  void ShowWindowIconInTray() override {
    if (icons_) icons_->ShowWindowIconInTray();
  }

private:
  ActivityIcons* icons_ = nullptr;
  ActivityImage current_ = ActivityImage::Idle;
};

// The detail window's labels, reached once the main window's assembly has
// made the window; before that nothing shows the texts.
class DetailLabelsSlot final : public DetailLabels {
public:
  void Set(DetailLabels* labels) { labels_ = labels; }
  void SetCaption(int label, const std::string& text) override {
    if (labels_) labels_->SetCaption(label, text);
  }
  void SetCaptionLabelVisible(int label, bool visible) override {
    if (labels_) labels_->SetCaptionLabelVisible(label, visible);
  }

private:
  DetailLabels* labels_ = nullptr;
};

struct WindowSeams {
  GridCellsSlot grid;
  ScanWindowSlot window;
  ActivityIconsSlot icons;
  DetailLabelsSlot detail;
  QtBeeper beeper;
};

}  // namespace tarvex
