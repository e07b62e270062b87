#include "program_windows.h"

#include <cstdio>
#include <cstdlib>

#include "app/placeholder_windows.h"
#include "core/screen_layout.h"

namespace tarvex {

void ProgramWindows::LoadDDETopicWindows() {
  LoadPlaceholderTopicWindows(services_.registry, services_.references);
}

void ProgramWindows::LoadStartupWindow() {
  startupWidget_ = std::make_unique<StartupWidget>(LayoutFor(services_.state.ScreenWidth));
  auto window = std::make_shared<StartupWindow>(services_, *startupWidget_);
  services_.references.frmTarvexStartup = window;
  const std::weak_ptr<StartupWindow> weak = window;
  QObject::connect(startupWidget_.get(), &StartupWidget::continueClicked, startupWidget_.get(), [weak] {
    if (const auto w = weak.lock()) w->CmdContinue_Click();
  });
  QObject::connect(startupWidget_.get(), &StartupWidget::endClicked, startupWidget_.get(), [weak] {
    if (const auto w = weak.lock()) w->cmdEnd_Click();
  });
  services_.registry.Load(*window);
}

void ExitProcess::End(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace tarvex
