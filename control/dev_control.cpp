#include "control/dev_control.h"

#include <QCoreApplication>
#include <QLocale>
#include <QVariant>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "control/property_bag.h"
#include "platform/ansi_text.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr int kObjectVariableNotSet = 91;

// Bag keys, in the order the properties are read and written.
const QString kDeviceDescKey = QStringLiteral("DeviceDesc");
const QString kGrossKey = QStringLiteral("Gross");
const QString kTareKey = QStringLiteral("Tare");
const QString kNetKey = QStringLiteral("Net");
const QString kScaleStatKey = QStringLiteral("ScaleStat");
const QString kCmdKey = QStringLiteral("Cmd");
const QString kCmdStatKey = QStringLiteral("CmdStat");
const QString kCmdParmKey = QStringLiteral("CmdParm");
const QString kChannelKey = QStringLiteral("Channel");

const QVariant kNumberDefault = QVariant::fromValue<std::int16_t>(0);
const QVariant kTextDefault = QVariant(QString());

RunTimeError BagMismatch(const QString& key, const QVariant& value) {
  return RunTimeError(ErrorNumber::TypeMismatch,
                      StandardErrorDescription(ErrorNumber::TypeMismatch) + " (saved property \"" +
                          ToAnsi(key) + "\" holds \"" + ToAnsi(value.toString()) + "\")");
}

// A saved value as a Double: numbers and Booleans (True is -1) as they are,
// texts when they hold a number and nothing else; empty means 0.
double BagDouble(const QString& key, const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::UnknownType: return 0;
    case QMetaType::Bool: return value.toBool() ? -1 : 0;
    case QMetaType::QString:
    case QMetaType::QByteArray: {
      bool ok = false;
      const double d = QLocale::c().toDouble(value.toString().trimmed(), &ok);
      if (!ok) throw BagMismatch(key, value);
      return d;
    }
    default: {
      bool ok = false;
      const double d = value.toDouble(&ok);
      if (!ok) throw BagMismatch(key, value);
      return d;
    }
  }
}

// A saved value as a Long: rounded half to even, error 6 beyond 32 bits.
std::int32_t BagLong(const QString& key, const QVariant& value) {
  const double d = std::nearbyint(BagDouble(key, value));
  if (!(d >= std::numeric_limits<std::int32_t>::min() &&
        d <= std::numeric_limits<std::int32_t>::max())) {
    throw RunTimeError(ErrorNumber::Overflow, StandardErrorDescription(ErrorNumber::Overflow) +
                                                  " (saved property \"" + ToAnsi(key) + "\")");
  }
  return static_cast<std::int32_t>(d);
}

QString BagString(const QString& key, const QVariant& value) {
  if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList ||
      value.typeId() == QMetaType::QVariantMap || !value.canConvert<QString>()) {
    throw BagMismatch(key, value);
  }
  return value.toString();
}

// The 16-bit integer the manager's Device holds; error 6 outside its range.
std::int16_t Narrow(std::int32_t value, const char* field) {
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    throw RunTimeError(ErrorNumber::Overflow, StandardErrorDescription(ErrorNumber::Overflow) +
                                                  " (" + field + " " + std::to_string(value) +
                                                  " does not fit a 16-bit integer)");
  }
  return static_cast<std::int16_t>(value);
}

void YieldToHost() { QCoreApplication::processEvents(); }

}  // namespace

DevControl::DevControl(ManagerSession& session, MessageBox& messages, QObject* parent)
    : QObject(parent), session_(session), messages_(messages) {}

DevControl::~DevControl() = default;

void DevControl::SetDeviceDesc(const QString& New_DeviceDesc) {
  DeviceDesc_ = New_DeviceDesc;
  Q_EMIT PropertyChanged(kDeviceDescKey);
}

void DevControl::SetGross(double New_Gross) {
  Gross_ = New_Gross;
  Q_EMIT PropertyChanged(kGrossKey);
}

void DevControl::SetTare(double New_Tare) {
  Tare_ = New_Tare;
  Q_EMIT PropertyChanged(kTareKey);
}

void DevControl::SetNet(double New_Net) {
  Net_ = New_Net;
  Q_EMIT PropertyChanged(kNetKey);
}

void DevControl::SetScaleStat(std::int32_t New_ScaleStat) {
  ScaleStat_ = New_ScaleStat;
  Q_EMIT PropertyChanged(kScaleStatKey);
}

void DevControl::SetCmd(std::int32_t New_Cmd) {
  Cmd_ = New_Cmd;
  Q_EMIT PropertyChanged(kCmdKey);
}

void DevControl::SetCmdStat(std::int32_t New_CmdStat) {
  CmdStat_ = New_CmdStat;
  Q_EMIT PropertyChanged(kCmdStatKey);
}

void DevControl::SetCmdParm(double New_CmdParm) {
  CmdParm_ = New_CmdParm;
  Q_EMIT PropertyChanged(kCmdParmKey);
}

void DevControl::SetChannel(std::int32_t New_Channel) {
  Channel_ = New_Channel;
  Q_EMIT PropertyChanged(kChannelKey);
  CheckSubscript(New_Channel, 0, kChannelCount - 1, "Channel");
  Connected_[static_cast<size_t>(New_Channel)] = false;
}

bool DevControl::Connected(int channel) const {
  return channel >= 0 && channel < kChannelCount && Connected_[static_cast<size_t>(channel)];
}

std::int32_t DevControl::DoUpdate() {
  const std::int32_t channel = Channel();
  CheckSubscript(channel, 0, kChannelCount - 1, "Channel");
  if (!Connected_[static_cast<size_t>(channel)]) Connect();
  // Both codes are narrowed before anything is sent: the one call either
  // carries the whole command or nothing reaches the Device.
  const std::int16_t cmdStat = Narrow(CmdStat_, "CmdStat");
  const std::int16_t cmd = Narrow(Cmd_, "Cmd");
  X->CommandUpdate(cmdStat, cmd, CmdParm_);
  return 0;
}

// A failed creation is retried from the creation: a Device request on the
// Connector held from before would reach a manager that may be gone. A failed
// Device request is retried on the new Connector.
void DevControl::Connect() {
  bool created = false;
  std::optional<RunTimeError> last;
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    try {
      if (!created) {
        Conn = session_.CreateConnector();
        created = true;
      }
      YieldToHost();
      const std::int32_t channel = Channel();
      Bind(Conn->Device(Narrow(channel, "Channel")));
      if (channel >= 0 && channel < kChannelCount) Connected_[static_cast<size_t>(channel)] = true;
      return;
    } catch (const RunTimeError& error) {
      last = error;
    }
  }
  throw *last;
}

void DevControl::Bind(std::unique_ptr<DeviceLink> device) {
  if (X) {
    // The old link may be delivering the CUpdate whose handler led here.
    X->disconnect(this);
    X.release()->deleteLater();
  }
  X = std::move(device);
  connect(X.get(), &DeviceLink::CUpdate, this, &DevControl::OnCUpdate);
}

DeviceValues DevControl::BoundValues() const {
  if (!X) {
    throw RunTimeError(kObjectVariableNotSet, "Object variable or With block variable not set");
  }
  return X->Values();
}

// Every property is set through its own setter, so the host hears of all
// eight on every CUpdate, changed or not. Each value is fetched from the link
// anew: a rebind during the yield makes the handler copy the new channel.
void DevControl::OnCUpdate() {
  for (int run = 1;; ++run) {
    try {
      YieldToHost();
      SetGross(BoundValues().CGross);
      SetTare(BoundValues().CTare);
      SetNet(BoundValues().CNet);
      SetCmdStat(BoundValues().CCmdStat);
      SetCmd(BoundValues().CCmd);
      SetCmdParm(BoundValues().CCmdParm);
      SetScaleStat(BoundValues().CScaleStat);
      SetDeviceDesc(BoundValues().CDeviceDesc);
      Q_EMIT Update();
      return;
    } catch (const RunTimeError& error) {
      if (error.number() == kObjectVariableNotSet && run < kHandlerRuns) continue;
      messages_.Show(std::to_string(error.number()) + "   " + error.description(),
                     MsgBoxStyle::OkOnly, std::string());
      return;
    }
  }
}

void DevControl::InitProperties() {
  DeviceDesc_.clear();
  Gross_ = Tare_ = Net_ = CmdParm_ = 0;
  ScaleStat_ = Cmd_ = CmdStat_ = Channel_ = 0;
}

void DevControl::ReadProperties(PropertyBag& bag) {
  DeviceDesc_ = BagString(kDeviceDescKey, bag.ReadProperty(kDeviceDescKey, kTextDefault));
  Gross_ = BagDouble(kGrossKey, bag.ReadProperty(kGrossKey, kNumberDefault));
  Tare_ = BagDouble(kTareKey, bag.ReadProperty(kTareKey, kNumberDefault));
  Net_ = BagDouble(kNetKey, bag.ReadProperty(kNetKey, kNumberDefault));
  ScaleStat_ = BagLong(kScaleStatKey, bag.ReadProperty(kScaleStatKey, kNumberDefault));
  Cmd_ = BagLong(kCmdKey, bag.ReadProperty(kCmdKey, kNumberDefault));
  CmdStat_ = BagLong(kCmdStatKey, bag.ReadProperty(kCmdStatKey, kNumberDefault));
  CmdParm_ = BagDouble(kCmdParmKey, bag.ReadProperty(kCmdParmKey, kNumberDefault));
  Channel_ = BagLong(kChannelKey, bag.ReadProperty(kChannelKey, kNumberDefault));
}

void DevControl::WriteProperties(PropertyBag& bag) const {
  bag.WriteProperty(kDeviceDescKey, DeviceDesc_, kTextDefault);
  bag.WriteProperty(kGrossKey, Gross_, kNumberDefault);
  bag.WriteProperty(kTareKey, Tare_, kNumberDefault);
  bag.WriteProperty(kNetKey, Net_, kNumberDefault);
  bag.WriteProperty(kScaleStatKey, ScaleStat_, kNumberDefault);
  bag.WriteProperty(kCmdKey, Cmd_, kNumberDefault);
  bag.WriteProperty(kCmdStatKey, CmdStat_, kNumberDefault);
  bag.WriteProperty(kCmdParmKey, CmdParm_, kNumberDefault);
  bag.WriteProperty(kChannelKey, Channel_, kNumberDefault);
}

}  // namespace tarvex
