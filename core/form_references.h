#pragma once
// The process-wide references to the window objects. A window object exists
// from its first use until its reference is released at the end; releasing an
// empty reference does nothing. Objects are shared so that a window whose own
// code runs the release stays alive until that code returns.
#include <array>
#include <memory>

#include "core/form.h"
#include "core/main_screen.h"
#include "core/startup_screen.h"

namespace tarvex {

constexpr int DDETopicCount = 32;

struct FormReferences {
  std::shared_ptr<MainScreen> frmTVM;
  std::shared_ptr<Form> frmTarvexStdSetup;
  std::shared_ptr<Form> frmSQLDetail;
  std::shared_ptr<Form> frmDetail;
  std::shared_ptr<Form> ZELVAR;
  std::shared_ptr<StartupScreen> frmTarvexStartup;
  std::shared_ptr<Form> frmRefresh;
  std::array<std::shared_ptr<Form>, DDETopicCount> DDEForm;

  // Releases every reference in this order: frmTVM, frmTarvexStdSetup,
  // frmSQLDetail, frmDetail, ZELVAR, frmTarvexStartup, frmRefresh, then
  // DDEForm0 to DDEForm31.
  void ReleaseAll();
};

}  // namespace tarvex
