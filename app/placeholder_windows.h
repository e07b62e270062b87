#pragma once
// The windows that start-up loads, until their own modules exist: 32 named,
// hidden DDE topic objects and a plain start-up window that shows and lets the
// event loop run.
#include <QObject>
#include <QWidget>
#include <memory>
#include <vector>

#include "core/startup.h"

namespace tarvex {

class PlaceholderStartupWindows final : public StartupWindows {
public:
  void LoadDDETopicWindows() override;
  void LoadStartupWindow() override;

private:
  std::vector<std::unique_ptr<QObject>> topics_;
  std::unique_ptr<QWidget> startup_;
};

}  // namespace tarvex
