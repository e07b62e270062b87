#pragma once
// The 32 DDE topics of the manager on the bus: /DDE/DDEForm0 to
// /DDE/DDEForm31, each with its seven items as read-only text properties,
// empty until the channel's first refresh. Each refresh sets all seven and
// sends one PropertiesChanged that carries all seven. Without a bus the topics
// still hold their texts.
#include "publish/bus/bus_object.h"
#include "publish/dde_topics.h"

namespace tarvex::bus {

class DdeTopicObjects final : public BusObjectFamily, public DdeTopics {
  Q_OBJECT

public:
  DdeTopicObjects();

  // Error 9 for a topic outside 0 to 31, with nothing set or sent.
  void SetItems(int32_t topic, const DDEItemTexts& texts) override;
  const DDEItemTexts& Items(int32_t topic) const { return store_.Items(topic); }

  static QString PathOf(int32_t topic);

protected:
  bool HasNode(const QString& node) const override { return TopicOf(node) >= 0; }
  QStringList NodeNames() const override;
  QVariant ReadProperty(const QString& node, int index) const override;
  void WriteProperty(const QString&, int, const QVariant&) override {}
  QDBusMessage CallMethod(const QString& node, const QDBusMessage& message) override;

private:
  static int32_t TopicOf(const QString& node);

  DdeTopicStore store_;
};

}  // namespace tarvex::bus
