#pragma once
// How the control reaches the manager: the three things it uses of it.
//
// A ManagerSession creates Connectors (creating one reaches the running
// manager or starts it); a Connector hands out the shared Device of a channel;
// a DeviceLink is the control's binding to one Device. Every manager raises
// CUpdate on a Device with the values it holds at that moment; the link keeps
// the latest of them, so the control's update handler reads a consistent set
// without asking the manager again. Every failure is a RunTimeError carrying
// the number a host sees (429 cannot create, 462 manager gone, 9 bad index,
// 440 any other failure of the manager's side).
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

namespace tarvex {

// The values of a Device as one CUpdate carried them.
struct DeviceValues {
  QString CDeviceDesc;
  double CGross = 0;
  double CTare = 0;
  double CNet = 0;
  std::int16_t CScaleStat = 0;
  std::int16_t CCmd = 0;
  double CCmdParm = 0;
  std::int16_t CCmdStat = 0;
};

class DeviceLink : public QObject {
  Q_OBJECT
public:
  ~DeviceLink() override = default;

  // The Device's values as of the latest CUpdate this link received, or as
  // read when it was bound.
  virtual DeviceValues Values() const = 0;

  // Writes the three command fields into the Device and raises CUpdate on it,
  // in one call, so a scan pass cannot come between the writes. Returns once
  // the manager answered and this link has delivered its own CUpdate; while it
  // waits, other CUpdates are delivered too.
  virtual void CommandUpdate(std::int16_t cmdStat, std::int16_t cmd, double cmdParm) = 0;

Q_SIGNALS:
  // The bound Device raised CUpdate; Values() now holds what it carried.
  void CUpdate();
};

class ManagerConnector {
public:
  virtual ~ManagerConnector() = default;
  // The shared Device of a channel, 0 to 32, bound for its CUpdates.
  virtual std::unique_ptr<DeviceLink> Device(std::int16_t index) = 0;
};

class ManagerSession {
public:
  virtual ~ManagerSession() = default;
  // Reaches the running manager or starts it.
  virtual std::unique_ptr<ManagerConnector> CreateConnector() = 0;
};

}  // namespace tarvex
