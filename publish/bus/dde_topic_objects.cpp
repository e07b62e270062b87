#include "publish/bus/dde_topic_objects.h"

#include "platform/ansi_text.h"
#include "platform/run_time_error.h"
#include "publish/bus/bus_interfaces.h"
#include "publish/bus/bus_names.h"

namespace tarvex::bus {

namespace {

constexpr std::array<BusProperty, DdeItemCount> DdeItems{{
    {QLatin1StringView("Gross"), 's', false},
    {QLatin1StringView("Tare"), 's', false},
    {QLatin1StringView("Net"), 's', false},
    {QLatin1StringView("ScaleStat"), 's', false},
    {QLatin1StringView("Cmd"), 's', false},
    {QLatin1StringView("CmdParm"), 's', false},
    {QLatin1StringView("CmdStat"), 's', false},
}};

QString TopicName(int channel) { return QString(DdeTopicPrefix) + QString::number(channel); }

}  // namespace

DdeTopicObjects::DdeTopicObjects()
    : BusObjectFamily(QString(DdePath), DdeTopicInterface, DdeTopicInterfaceXml, DdeItems) {}

QString DdeTopicObjects::PathOf(int channel) { return QString(DdePath) + QLatin1Char('/') + TopicName(channel); }

void DdeTopicObjects::SetItems(int channel, const DdeItemTexts& texts) {
  if (channel < 0 || channel >= DdeTopicCount) return;
  items_[static_cast<size_t>(channel)] = texts;
  const QString node = TopicName(channel);
  SendSignal(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
             {QString(DdeTopicInterface), AllProperties(node), QStringList()});
}

const DdeItemTexts& DdeTopicObjects::Items(int channel) const {
  CheckSubscript(channel, 0, DdeTopicCount - 1, "DDE topics");
  return items_[static_cast<size_t>(channel)];
}

int DdeTopicObjects::ChannelOf(const QString& node) const {
  for (int channel = 0; channel < DdeTopicCount; ++channel) {
    if (node == TopicName(channel)) return channel;
  }
  return -1;
}

bool DdeTopicObjects::HasNode(const QString& node) const { return ChannelOf(node) >= 0; }

QStringList DdeTopicObjects::NodeNames() const {
  QStringList names;
  for (int channel = 0; channel < DdeTopicCount; ++channel) names << TopicName(channel);
  return names;
}

QVariant DdeTopicObjects::ReadProperty(const QString& node, int index) const {
  return FromAnsi(items_[static_cast<size_t>(ChannelOf(node))][static_cast<size_t>(index)]);
}

QDBusMessage DdeTopicObjects::CallMethod(const QString&, const QDBusMessage& message) {
  // A topic only publishes; it has no methods of its own.
  return message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ") + message.member());
}

}  // namespace tarvex::bus
