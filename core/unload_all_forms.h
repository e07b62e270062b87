#pragma once
// The window teardown at shutdown: every loaded window is unloaded, earliest
// loaded first, so that each one's own unload work runs once; then the status
// table and every window object are released.
//
// A window that an earlier unload already took down is skipped, and so is a
// window whose unload is under way (the start-up window, which runs this from
// its own unload). Any other failure ends the teardown at once: the error goes
// to the caller and nothing further is unloaded or released.
#include "core/form_references.h"
#include "core/form_registry.h"
#include "core/startup_state.h"

namespace tarvex {

void UnloadAllForms(FormRegistry& registry, StartupState& state, FormReferences& references);

}  // namespace tarvex
