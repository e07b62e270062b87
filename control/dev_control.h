#pragma once
// The behaviour of the client control: one channel of the manager mirrored
// as properties, commands sent with DoUpdate, an Update after every CUpdate of
// the bound channel.
//
// The control does nothing on its own: it binds only inside DoUpdate, and a
// change of Channel only marks the new channel for a fresh bind, so the updates
// of the channel bound before keep arriving until the next DoUpdate. All of it
// runs on the host's thread; the waits for the manager keep dispatching events,
// so the control's own echo and other controls' updates arrive during them.
// Every failure reaches the host as a RunTimeError of the call.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "control/manager_link.h"

namespace tarvex {

class MessageBox;
class PropertyBag;

class DevControl : public QObject {
  Q_OBJECT
public:
  // Channels of the manager: 0 to 32.
  static constexpr int kChannelCount = 33;
  // Tries of a bind before DoUpdate fails with the last error.
  static constexpr int kConnectAttempts = 5;
  // Runs of the update handler while the binding is missing.
  static constexpr int kHandlerRuns = 5;

  DevControl(ManagerSession& session, MessageBox& messages, QObject* parent = nullptr);
  ~DevControl() override;

  QString DeviceDesc() const { return DeviceDesc_; }
  double Gross() const { return Gross_; }
  double Tare() const { return Tare_; }
  double Net() const { return Net_; }
  std::int32_t ScaleStat() const { return ScaleStat_; }
  std::int32_t Cmd() const { return Cmd_; }
  std::int32_t CmdStat() const { return CmdStat_; }
  double CmdParm() const { return CmdParm_; }
  std::int32_t Channel() const { return Channel_; }

  // Each stores the value and then reports the property's name.
  void SetDeviceDesc(const QString& New_DeviceDesc);
  void SetGross(double New_Gross);
  void SetTare(double New_Tare);
  void SetNet(double New_Net);
  void SetScaleStat(std::int32_t New_ScaleStat);
  void SetCmd(std::int32_t New_Cmd);
  void SetCmdStat(std::int32_t New_CmdStat);
  void SetCmdParm(double New_CmdParm);
  // Stores and reports even a value outside 0 to 32, then fails with error 9;
  // otherwise makes the next DoUpdate bind that channel anew.
  void SetChannel(std::int32_t New_Channel);

  // Binds when needed, sends CmdStat, Cmd and CmdParm to the channel's Device
  // and raises its CUpdate; returns 0 once the control's own echo arrived.
  std::int32_t DoUpdate();

  // The saved properties. Initialising and reading store straight into the
  // fields: no notification, no bind.
  void InitProperties();
  void ReadProperties(PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // The control has been bound to this channel since it was last selected.
  bool Connected(int channel) const;

Q_SIGNALS:
  // A property was set; the name is its key in the property bag.
  void PropertyChanged(const QString& name);
  // The properties took the values of a CUpdate of the bound channel.
  void Update();

private:
  void Connect();
  void Bind(std::unique_ptr<DeviceLink> device);
  void OnCUpdate();
  DeviceValues BoundValues() const;

  ManagerSession& session_;
  MessageBox& messages_;

  QString DeviceDesc_;
  double Gross_ = 0;
  double Tare_ = 0;
  double Net_ = 0;
  std::int32_t ScaleStat_ = 0;
  std::int32_t Cmd_ = 0;
  std::int32_t CmdStat_ = 0;
  double CmdParm_ = 0;
  std::int32_t Channel_ = 0;

  std::unique_ptr<ManagerConnector> Conn;
  std::unique_ptr<DeviceLink> X;
  std::array<bool, kChannelCount> Connected_{};
};

}  // namespace tarvex
