#pragma once
// TarvexDev, the control a host application places on a form to follow one
// channel of the manager. It is invisible at run time: the widget keeps itself
// hidden, takes no focus and no input, and only carries the control's
// properties, DoUpdate and the Update signal (see DevControl, which holds the
// behaviour). Properties are exposed to Qt's property system for hosts that
// list them; Gross is kept out of property browsers.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "control/dev_control.h"

namespace tarvex {

class ManagerSession;
class MessageBox;
class PropertyBag;

class TarvexDev : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString DeviceDesc READ DeviceDesc WRITE SetDeviceDesc)
  Q_PROPERTY(double Gross READ Gross WRITE SetGross DESIGNABLE false)
  Q_PROPERTY(double Tare READ Tare WRITE SetTare)
  Q_PROPERTY(double Net READ Net WRITE SetNet)
  Q_PROPERTY(std::int32_t ScaleStat READ ScaleStat WRITE SetScaleStat)
  Q_PROPERTY(std::int32_t Cmd READ Cmd WRITE SetCmd)
  Q_PROPERTY(std::int32_t CmdStat READ CmdStat WRITE SetCmdStat)
  Q_PROPERTY(double CmdParm READ CmdParm WRITE SetCmdParm)
  Q_PROPERTY(std::int32_t Channel READ Channel WRITE SetChannel)
public:
  // Reaches the manager on the user's session bus; failures of the update
  // handler are shown in a message box.
  explicit TarvexDev(QWidget* parent = nullptr);
  // With the given ways to the manager and to the user.
  TarvexDev(ManagerSession& session, MessageBox& messages, QWidget* parent = nullptr);
  ~TarvexDev() override;

  QString DeviceDesc() const { return control_->DeviceDesc(); }
  double Gross() const { return control_->Gross(); }
  double Tare() const { return control_->Tare(); }
  double Net() const { return control_->Net(); }
  std::int32_t ScaleStat() const { return control_->ScaleStat(); }
  std::int32_t Cmd() const { return control_->Cmd(); }
  std::int32_t CmdStat() const { return control_->CmdStat(); }
  double CmdParm() const { return control_->CmdParm(); }
  std::int32_t Channel() const { return control_->Channel(); }

  void SetDeviceDesc(const QString& New_DeviceDesc) { control_->SetDeviceDesc(New_DeviceDesc); }
  void SetGross(double New_Gross) { control_->SetGross(New_Gross); }
  void SetTare(double New_Tare) { control_->SetTare(New_Tare); }
  void SetNet(double New_Net) { control_->SetNet(New_Net); }
  void SetScaleStat(std::int32_t New_ScaleStat) { control_->SetScaleStat(New_ScaleStat); }
  void SetCmd(std::int32_t New_Cmd) { control_->SetCmd(New_Cmd); }
  void SetCmdStat(std::int32_t New_CmdStat) { control_->SetCmdStat(New_CmdStat); }
  void SetCmdParm(double New_CmdParm) { control_->SetCmdParm(New_CmdParm); }
  void SetChannel(std::int32_t New_Channel) { control_->SetChannel(New_Channel); }

  Q_INVOKABLE std::int32_t DoUpdate() { return control_->DoUpdate(); }

  void InitProperties() { control_->InitProperties(); }
  void ReadProperties(PropertyBag& bag) { control_->ReadProperties(bag); }
  void WriteProperties(PropertyBag& bag) const { control_->WriteProperties(bag); }

  QSize sizeHint() const override;

Q_SIGNALS:
  void PropertyChanged(const QString& name);
  void Update();

private:
  void Attach();

  std::unique_ptr<ManagerSession> ownSession_;
  std::unique_ptr<MessageBox> ownMessages_;
  std::unique_ptr<DevControl> control_;
};

}  // namespace tarvex
