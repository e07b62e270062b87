#pragma once
#include "screen.h"

namespace tarvex {

// The primary screen of the running QGuiApplication; 0 when there is none.
class QtScreen final : public Screen {
public:
  int PrimaryWidth() const override;
};

}  // namespace tarvex
