#pragma once
// The 32 DDE topics of the manager, DDEForm0 to DDEForm31, one per channel 0
// to 31, each holding its seven item texts (Gross, Tare, Net, ScaleStat, Cmd,
// CmdParm, CmdStat), empty until the channel's first refresh. On the bus they
// are /DDE/DDEForm<n> with seven read-only text properties; each refresh sets
// all seven and sends one PropertiesChanged that carries all seven.
#include <array>
#include <string>

#include "publish/bus/bus_object.h"

namespace tarvex::bus {

inline constexpr int DdeTopicCount = 32;
inline constexpr int DdeItemCount = 7;
using DdeItemTexts = std::array<std::string, DdeItemCount>;

class DdeTopicObjects final : public BusObjectFamily {
  Q_OBJECT

public:
  DdeTopicObjects();

  // Sets the seven items of channel's topic, in item order. A channel outside
  // 0 to 31 has no topic: nothing happens.
  void SetItems(int channel, const DdeItemTexts& texts);
  // The texts of a topic; error 9 outside 0 to 31.
  const DdeItemTexts& Items(int channel) const;

  static QString PathOf(int channel);

protected:
  bool HasNode(const QString& node) const override;
  QStringList NodeNames() const override;
  QVariant ReadProperty(const QString& node, int index) const override;
  void WriteProperty(const QString&, int, const QVariant&) override {}
  QDBusMessage CallMethod(const QString& node, const QDBusMessage& message) override;

private:
  int ChannelOf(const QString& node) const;

  std::array<DdeItemTexts, DdeTopicCount> items_{};
};

}  // namespace tarvex::bus
