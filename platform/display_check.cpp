#include "display_check.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace tarvex {

namespace {

bool Set(const EnvironmentLookup& environment, const char* name) {
  const char* value = environment(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

std::string MissingDisplay(const EnvironmentLookup& environment) {
  const char* platforms = environment("QT_QPA_PLATFORM");
  // Unset, Qt takes xcb, or wayland in a Wayland session: either will do.
  std::string_view rest = platforms != nullptr && *platforms != '\0' ? platforms : "xcb;wayland";
  std::vector<std::string_view> missing;
  while (!rest.empty()) {
    const size_t end = rest.find(';');
    std::string_view platform = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    platform = platform.substr(0, platform.find(':'));  // "xcb:option=..." carries options
    std::string_view needs;
    if (platform == "xcb") {
      needs = "DISPLAY";
    } else if (platform.substr(0, 7) == "wayland") {
      needs = "WAYLAND_DISPLAY";
    } else if (!platform.empty()) {
      return {};
    }
    if (needs.empty()) continue;
    if (Set(environment, needs.data())) return {};
    if (std::find(missing.begin(), missing.end(), needs) == missing.end()) missing.push_back(needs);
  }
  if (missing.empty()) return {};  // nothing but empty names: Qt's own default
  std::string what = missing.size() > 1 ? "neither " : "";
  for (size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) what += " nor ";
    what += missing[i];
  }
  return "no display to show the windows on: " + what +
         " is set (when the session bus starts the manager, give its activation environment the display: "
         "dbus-update-activation-environment DISPLAY XAUTHORITY WAYLAND_DISPLAY)";
}

}  // namespace tarvex
