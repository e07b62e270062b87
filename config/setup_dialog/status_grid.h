#pragma once
// The status grid TDBList1 in the frame fStatus, as the rest of the dialog uses
// it: bound to the status-table array, reloaded, redrawn, locked. The status
// table editor provides the real list; StatusGridState is what stands in the
// frame until then and remembers what was asked of it.
#include "config/setup_dialog/dialog_controls.h"
#include "platform/data_array.h"

namespace tarvex {

class StatusGrid {
public:
  virtual ~StatusGrid() = default;
  // The Array property: the grid shows this array's rows and columns.
  virtual void SetArray(DataArray& table) = 0;
  // Reads every cell of the bound array again.
  virtual void ReloadData() = 0;
  // Redraws from the bound array.
  virtual void Refresh() = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetForeColor(OleColour colour) = 0;
};

class StatusGridState final : public StatusGrid {
public:
  void SetArray(DataArray& table) override { array_ = &table; }
  void ReloadData() override { ++reloads_; }
  void Refresh() override { ++refreshes_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetForeColor(OleColour colour) override { foreColor_ = colour; }

  DataArray* Array() const noexcept { return array_; }
  int Reloads() const noexcept { return reloads_; }
  int Refreshes() const noexcept { return refreshes_; }
  bool Enabled() const noexcept { return enabled_; }
  OleColour ForeColor() const noexcept { return foreColor_; }

private:
  DataArray* array_ = nullptr;
  int reloads_ = 0;
  int refreshes_ = 0;
  bool enabled_ = true;
  OleColour foreColor_ = DialogColour::Black;
};

}  // namespace tarvex
