#include "unload_all_forms.h"

namespace tarvex {

void UnloadAllForms(FormRegistry& registry, StartupState& state, FormReferences& references) {
  for (Form* form : registry.Loaded()) {
    if (!registry.IsLoaded(*form) || registry.IsUnloading(*form)) continue;
    registry.Unload(*form);
  }
  state.ReleaseStatusTable();
  references.ReleaseAll();
}

}  // namespace tarvex
