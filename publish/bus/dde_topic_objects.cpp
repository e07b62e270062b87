#include "publish/bus/dde_topic_objects.h"

#include "platform/ansi_text.h"
#include "publish/bus/bus_interfaces.h"
#include "publish/bus/bus_names.h"

namespace tarvex::bus {

namespace {

constexpr std::array<BusProperty, DDEItemNames.size()> DdeItemProperties = [] {
  std::array<BusProperty, DDEItemNames.size()> properties{};
  for (size_t i = 0; i < DDEItemNames.size(); ++i) {
    properties[i] = {QLatin1StringView(DDEItemNames[i].data(), static_cast<qsizetype>(DDEItemNames[i].size())), 's',
                     false};
  }
  return properties;
}();

QString TopicNode(int32_t topic) { return QString::fromStdString(DDETopicName(topic)); }

}  // namespace

DdeTopicObjects::DdeTopicObjects()
    : BusObjectFamily(QString(DdePath), DdeTopicInterface, DdeTopicInterfaceXml, DdeItemProperties) {}

QString DdeTopicObjects::PathOf(int32_t topic) { return QString(DdePath) + QLatin1Char('/') + TopicNode(topic); }

void DdeTopicObjects::SetItems(int32_t topic, const DDEItemTexts& texts) {
  store_.SetItems(topic, texts);
  const QString node = TopicNode(topic);
  SendSignal(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
             {QString(DdeTopicInterface), AllProperties(node), QStringList()});
}

int32_t DdeTopicObjects::TopicOf(const QString& node) {
  for (int32_t topic = 0; topic < DDETopicCount; ++topic) {
    if (node == TopicNode(topic)) return topic;
  }
  return -1;
}

QStringList DdeTopicObjects::NodeNames() const {
  QStringList names;
  for (int32_t topic = 0; topic < DDETopicCount; ++topic) names << TopicNode(topic);
  return names;
}

QVariant DdeTopicObjects::ReadProperty(const QString& node, int index) const {
  return FromAnsi(store_.Items(TopicOf(node))[static_cast<size_t>(index)]);
}

QDBusMessage DdeTopicObjects::CallMethod(const QString&, const QDBusMessage& message) {
  // A topic only publishes; it has no methods of its own.
  return message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ") + message.member());
}

}  // namespace tarvex::bus
