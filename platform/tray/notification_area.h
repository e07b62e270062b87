#pragma once
// The notification-area icon of the main window: one record added, modified
// and deleted as a whole, and the operator's mouse on the icon reported back
// as the window message's notification number.
//
// What it must cope with: a desktop may have no notification area at all (no
// tray, the offscreen platform); and Linux has two kinds of tray. An XEmbed
// tray reports clicks, double-clicks and the right button; a StatusNotifier
// host reports an activation (the click on the item), a request for the
// context menu and a middle click, but never a double-click.
//
// Policy: the backend reports the operator's gestures as the notifications
// the window procedure knows: a double-click under XEmbed, and the
// activation of a StatusNotifier item (its one restore gesture), arrive as
// LeftDoubleClick; the context menu as RightButtonDown; everything else as a
// notification the window ignores. A modify or delete of an icon that was
// never added, or was deleted, fails as the shell's does and creates nothing;
// a second add of a present icon fails too.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvex {

// The pictures of the main window: idle, receive and transmit (iIdle, iRcv, iXmit).
enum class TrayPicture { Idle, Receive, Transmit };

const char* TrayPictureName(TrayPicture picture);

// The fields of the icon's record that change what is shown.
struct TrayIconData {
  TrayPicture hIcon = TrayPicture::Idle;
  std::string szTip;
  bool operator==(const TrayIconData&) const = default;
};

// The window message numbers of the mouse on the icon.
namespace TrayNotification {
constexpr int MouseMove = 0x200;
constexpr int LeftButtonDown = 0x201;
constexpr int LeftButtonUp = 0x202;
constexpr int LeftDoubleClick = 0x203;
constexpr int RightButtonDown = 0x204;
constexpr int RightButtonUp = 0x205;
constexpr int MiddleButtonUp = 0x208;
}  // namespace TrayNotification

class NotificationArea {
public:
  using Handler = std::function<void(int notification)>;
  virtual ~NotificationArea() = default;
  // There is a notification area to put an icon in.
  virtual bool Available() = 0;
  // Shell_NotifyIcon NIM_ADD, NIM_MODIFY, NIM_DELETE; false when refused.
  virtual bool Add(const TrayIconData& data) = 0;
  virtual bool Modify(const TrayIconData& data) = 0;
  virtual bool Delete() = 0;
  // Where the notifications of the icon go.
  void SetHandler(Handler handler) { handler_ = std::move(handler); }

protected:
  void Notify(int notification) {
    if (handler_) handler_(notification);
  }

private:
  Handler handler_;
};

// A notification area (or none) that records every call in one ordered list
// and lets a test send the icon's notifications.
class RecordingNotificationArea final : public NotificationArea {
public:
  explicit RecordingNotificationArea(std::vector<std::string>& trace, bool available = true)
      : trace_(trace), available_(available) {}

  bool Available() override { return available_; }
  bool Add(const TrayIconData& data) override {
    if (shown_) return Refused("add");
    shown_ = data;
    trace_.push_back("tray add " + Describe(data));
    return true;
  }
  bool Modify(const TrayIconData& data) override {
    if (!shown_) return Refused("modify");
    shown_ = data;
    trace_.push_back("tray modify " + Describe(data));
    return true;
  }
  bool Delete() override {
    if (!shown_) return Refused("delete");
    shown_.reset();
    trace_.push_back("tray delete");
    return true;
  }

  // The operator's mouse on the icon.
  void Send(int notification) { Notify(notification); }
  bool IconShown() const { return shown_.has_value(); }
  const std::optional<TrayIconData>& Shown() const { return shown_; }
  int Refusals() const { return refusals_; }

private:
  static std::string Describe(const TrayIconData& data) {
    return std::string(TrayPictureName(data.hIcon)) + " \"" + data.szTip + "\"";
  }
  bool Refused(const char*) {
    ++refusals_;
    return false;
  }

  std::vector<std::string>& trace_;
  bool available_;
  std::optional<TrayIconData> shown_;
  int refusals_ = 0;
};

}  // namespace tarvex
