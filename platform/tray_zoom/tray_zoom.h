#pragma once
// The zoom between a window and the tray icon that makes hiding to the tray
// and restoring from it look like a minimise and a restore. There is no
// taskbar window to look up on Linux: the tray end of the zoom is the tray
// icon's own geometry, which a tray may not report.
#include <QRect>
#include <optional>
#include <vector>

namespace tarvex {

class TrayZoom {
public:
  virtual ~TrayZoom() = default;
  // The tray icon's rectangle on the screen; none when the tray gives none.
  virtual std::optional<QRect> TrayIconRect() = 0;
  // Draws the zoom of an outline from one screen rectangle to the other. It
  // returns at once; the zoom runs on in the event loop.
  virtual void Zoom(const QRect& from, const QRect& to) = 0;
};

// A tray at a fixed place (or none) that remembers every zoom instead of
// drawing it.
class RecordingTrayZoom final : public TrayZoom {
public:
  struct Drawn {
    QRect from;
    QRect to;
    bool operator==(const Drawn&) const = default;
  };

  explicit RecordingTrayZoom(std::optional<QRect> tray) : tray_(tray) {}

  std::optional<QRect> TrayIconRect() override {
    ++trayLookups_;
    return tray_;
  }
  void Zoom(const QRect& from, const QRect& to) override { drawn_.push_back({from, to}); }

  const std::vector<Drawn>& drawn() const noexcept { return drawn_; }
  int trayLookups() const noexcept { return trayLookups_; }

private:
  std::optional<QRect> tray_;
  std::vector<Drawn> drawn_;
  int trayLookups_ = 0;
};

}  // namespace tarvex
