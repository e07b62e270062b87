#pragma once
// The windows that are loaded at this moment, in the order in which they were
// loaded. A window joins when it is loaded and leaves when it is unloaded; an
// unload can unload other windows on its way, so a walk over the list must ask
// again, at each turn, whether the window is still loaded.
#include <vector>

#include "core/form.h"

namespace tarvex {

class FormRegistry {
public:
  // Adds the window at the end and runs its load work. A window that is
  // already loaded is left alone. When the load work fails the window is not
  // loaded and the error goes on to the caller.
  void Load(Form& form);

  // Runs the window's unload work and removes it. Returns false, doing
  // nothing, for a window that is not loaded or whose unload is already under
  // way. When the unload work fails the window stays loaded and the error goes
  // on to the caller.
  bool Unload(Form& form);

  bool IsLoaded(const Form& form) const;
  bool IsUnloading(const Form& form) const;

  // The loaded windows, earliest loaded first.
  std::vector<Form*> Loaded() const;

  // Stops the timers of every loaded window, in load order.
  void StopAllTimers();

private:
  struct Entry {
    Form* form;
    bool unloading;
  };
  Entry* find(const Form& form);
  const Entry* find(const Form& form) const;

  std::vector<Entry> entries_;
};

}  // namespace tarvex
