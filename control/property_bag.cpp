#include "control/property_bag.h"

#include <QSettings>

namespace tarvex {

namespace {
// A value equal to its default is not stored: reading it back gives the default.
bool EqualsDefault(const QVariant& value, const QVariant& defaultValue) {
  if (value.typeId() == QMetaType::QString || defaultValue.typeId() == QMetaType::QString) {
    return value.typeId() == defaultValue.typeId() && value.toString() == defaultValue.toString();
  }
  bool valueIsNumber = false;
  bool defaultIsNumber = false;
  const double v = value.toDouble(&valueIsNumber);
  const double d = defaultValue.toDouble(&defaultIsNumber);
  return valueIsNumber && defaultIsNumber && v == d;
}
}  // namespace

QVariant MemoryPropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) {
  return values_.value(key, defaultValue);
}

void MemoryPropertyBag::WriteProperty(const QString& key, const QVariant& value,
                                      const QVariant& defaultValue) {
  if (EqualsDefault(value, defaultValue)) {
    values_.remove(key);
  } else {
    values_.insert(key, value);
  }
}

SettingsPropertyBag::SettingsPropertyBag(QSettings& settings, QString group)
    : settings_(settings), group_(std::move(group)) {}

QString SettingsPropertyBag::path(const QString& key) const {
  return group_.isEmpty() ? key : group_ + QLatin1Char('/') + key;
}

QVariant SettingsPropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) {
  return settings_.value(path(key), defaultValue);
}

void SettingsPropertyBag::WriteProperty(const QString& key, const QVariant& value,
                                        const QVariant& defaultValue) {
  if (EqualsDefault(value, defaultValue)) {
    settings_.remove(path(key));
  } else {
    settings_.setValue(path(key), value);
  }
}

}  // namespace tarvex
