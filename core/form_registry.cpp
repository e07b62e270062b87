#include "form_registry.h"

#include <algorithm>

namespace tarvex {

FormRegistry::Entry* FormRegistry::find(const Form& form) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.form == &form; });
  return it == entries_.end() ? nullptr : &*it;
}

const FormRegistry::Entry* FormRegistry::find(const Form& form) const {
  return const_cast<FormRegistry*>(this)->find(form);
}

void FormRegistry::Load(Form& form) {
  if (find(form)) return;
  entries_.push_back({&form, false});
  try {
    form.Form_Load();
  } catch (...) {
    std::erase_if(entries_, [&](const Entry& e) { return e.form == &form; });
    throw;
  }
}

bool FormRegistry::Unload(Form& form) {
  Entry* entry = find(form);
  if (!entry || entry->unloading) return false;
  entry->unloading = true;
  try {
    form.Form_Unload();
  } catch (...) {
    // The entry may have moved while the unload work ran.
    if (Entry* again = find(form)) again->unloading = false;
    throw;
  }
  std::erase_if(entries_, [&](const Entry& e) { return e.form == &form; });
  return true;
}

bool FormRegistry::IsLoaded(const Form& form) const { return find(form) != nullptr; }

bool FormRegistry::IsUnloading(const Form& form) const {
  const Entry* entry = find(form);
  return entry && entry->unloading;
}

std::vector<Form*> FormRegistry::Loaded() const {
  std::vector<Form*> forms;
  forms.reserve(entries_.size());
  for (const Entry& e : entries_) forms.push_back(e.form);
  return forms;
}

void FormRegistry::StopAllTimers() {
  for (Form* form : Loaded()) form->StopTimers();
}

}  // namespace tarvex
