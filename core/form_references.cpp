#include "form_references.h"

namespace tarvex {

void FormReferences::ReleaseAll() {
  frmTVM.reset();
  frmTarvexStdSetup.reset();
  frmSQLDetail.reset();
  frmDetail.reset();
  ZELVAR.reset();
  frmTarvexStartup.reset();
  frmRefresh.reset();
  for (auto& topic : DDEForm) topic.reset();
}

}  // namespace tarvex
