#pragma once
// The host's store for a control's saved properties.
//
// A host saves a form by letting each control write its properties into a bag
// and restores it by letting the control read them back. A read names the key
// and the default the bag answers with when it holds no value; a write names
// the key, the value and the same default, so the bag may leave out a value
// equal to its default. Values travel as variants: a bag that keeps text
// (an ini file) hands back strings, and the control converts them.
#include <QMap>
#include <QString>
#include <QVariant>


class QSettings;

namespace tarvex {

class PropertyBag {
public:
  virtual ~PropertyBag() = default;
  virtual QVariant ReadProperty(const QString& key, const QVariant& defaultValue) = 0;
  virtual void WriteProperty(const QString& key, const QVariant& value,
                             const QVariant& defaultValue) = 0;
};

// A bag in memory, for hosts that keep forms themselves and for tests, which
// can also place values of any type in it.
class MemoryPropertyBag final : public PropertyBag {
public:
  QVariant ReadProperty(const QString& key, const QVariant& defaultValue) override;
  void WriteProperty(const QString& key, const QVariant& value,
                     const QVariant& defaultValue) override;

  QMap<QString, QVariant>& values() { return values_; }
  const QMap<QString, QVariant>& values() const { return values_; }

private:
  QMap<QString, QVariant> values_;
};

// A bag in a group of a QSettings store (an ini file or the user's settings).
// Keys are written below the group given at construction.
class SettingsPropertyBag final : public PropertyBag {
public:
  SettingsPropertyBag(QSettings& settings, QString group);

  QVariant ReadProperty(const QString& key, const QVariant& defaultValue) override;
  void WriteProperty(const QString& key, const QVariant& value,
                     const QVariant& defaultValue) override;

private:
  QString path(const QString& key) const;

  QSettings& settings_;
  QString group_;
};

}  // namespace tarvex
