#pragma once
// The 32 DDE topic windows, until their own module exists: named, hidden
// objects that are loaded in channel order and have no load or unload work.
#include <QObject>

#include "core/form.h"
#include "core/form_references.h"
#include "core/form_registry.h"

namespace tarvex {

class PlaceholderTopicWindow final : public QObject, public Form {
public:
  explicit PlaceholderTopicWindow(int channel);
  std::string Name() const override { return objectName().toStdString(); }
};

// Creates DDEForm0 .. DDEForm31 into their references and loads them in that order.
void LoadPlaceholderTopicWindows(FormRegistry& registry, FormReferences& references);

}  // namespace tarvex
